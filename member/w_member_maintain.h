#pragma once
// 会员维护: the member register of the shop in a grid, with a member-number search, the checks
// made before a save and the member form (w_member_info) for the current row. MEMBER_MODIFY 1
// makes the identity columns editable.

#include "member/w_member_list.h"

class w_member_maintain : public w_member_list {
  Q_OBJECT
 public:
  w_member_maintain();

  void kpo_preopen() override;  // then makes the identity columns editable under MEMBER_MODIFY 1
  // Makes the identity columns editable.
  void wf_dw_modify_set();
};
