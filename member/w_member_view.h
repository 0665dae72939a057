#pragma once
// 会员查看: the member list for looking members up (the shop's members and those found in the
// bills), with four editable columns; its open action shows the host's sales summary.

#include "member/w_member_maintain.h"

class w_member_view : public w_member_maintain {
  Q_OBJECT
 public:
  w_member_view();

  void kpo_preopen() override;
  void wf_dw_modify_set() override;
};
