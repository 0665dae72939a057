#include "member/w_member_maintain.h"

#include "member/member_rules.h"

w_member_maintain::w_member_maintain()
    : w_member_list("会员维护", "dw_member_maintain", "w_member_info") {}

void w_member_maintain::kpo_preopen() {
  w_member_list::kpo_preopen();
  if (sys_param_is_one("MEMBER_MODIFY")) wf_dw_modify_set();
}

void w_member_maintain::wf_dw_modify_set() {
  dw_1->modify("memberid.TabSequence=10");
  dw_1->modify("memberno.TabSequence=20");
  dw_1->modify("membername.TabSequence=30");
  dw_1->modify("memberaddr.TabSequence=40");
  dw_1->modify("contactphone.TabSequence=50");
  dw_1->modify("integral.TabSequence=70");
}
