#pragma once
// 会员查看: the member list for looking members up (the shop's members and those found in the
// bills), with four editable columns; its open action shows the host's sales summary. Its
// columns are fixed: MEMBER_MODIFY is not read.

#include "member/w_member_list.h"

class w_member_view : public w_member_list {
  Q_OBJECT
 public:
  w_member_view();

  // Kept with the window, but no handler calls it: the view's columns stay as declared.
  void wf_dw_modify_set();
};
