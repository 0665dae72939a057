#include "member/w_member_view.h"


w_member_view::w_member_view() : w_member_list("会员查看", "dw_member_view", "w_member_sale_sum") {}

void w_member_view::wf_dw_modify_set() {
  dw_1->modify("memberid.TabSequence=10");
  dw_1->modify("memberno.TabSequence=20");
  dw_1->modify("membername.TabSequence=30");
  dw_1->modify("memberaddr.TabSequence=40");
  dw_1->modify("contactphone.TabSequence=50");
  dw_1->modify("levelid.TabSequence=60");
  dw_1->modify("integral.TabSequence=70");
}
