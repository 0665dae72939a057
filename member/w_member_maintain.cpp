#include "member/w_member_maintain.h"

#include "member/member_rules.h"

w_member_maintain::w_member_maintain()
    : w_member_list("会员维护", "dw_member_maintain", "w_member_info") {}

void w_member_maintain::kpo_preopen() {
  w_member_list::kpo_preopen();
  if (sys_param_is_one("MEMBER_MODIFY")) wf_dw_modify_set();
}

void w_member_maintain::wf_dw_modify_set() {
  // The first property the view refuses stops here: the control has said which one.
  for (const char* property :
       {"memberid.TabSequence=10", "memberno.TabSequence=20", "membername.TabSequence=30",
        "memberaddr.TabSequence=40", "contactphone.TabSequence=50", "integral.TabSequence=70"})
    if (!dw_1->modify(property).empty()) return;
}
