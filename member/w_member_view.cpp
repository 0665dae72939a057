#include "member/w_member_view.h"


w_member_view::w_member_view() : w_member_list("会员查看", "dw_member_view", "w_member_sale_sum") {}

void w_member_view::wf_dw_modify_set() {
  // The first property the view refuses stops here: the control has said which one.
  for (const char* property :
       {"memberid.TabSequence=10", "memberno.TabSequence=20", "membername.TabSequence=30",
        "memberaddr.TabSequence=40", "contactphone.TabSequence=50", "levelid.TabSequence=60",
        "integral.TabSequence=70"})
    if (!dw_1->modify(property).empty()) return;
}
