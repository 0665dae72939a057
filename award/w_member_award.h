#pragma once
// 会员奖励领取: every member with the points and the cheapest award; "全部" unchecked narrows the
// list to those who can afford it, a member number and Enter finds a member, and opening a row
// opens the redemption dialog for that member.

#include <QLabel>

#include "framework/ui/u_wsk_cbx.h"
#include "framework/ui/u_wsk_sle.h"
#include "framework/ui/w_single_dw_list.h"

class w_member_award : public w_single_dw_list {
  Q_OBJECT
 public:
  w_member_award();

  QLabel* st_1 = nullptr;
  u_wsk_sle* sle_1 = nullptr;
  u_wsk_cbx* cbx_1 = nullptr;

  void create() override;
  void kpo_preopen() override;
  void kpo_open() override;
  int kpo_save(int an_commit) override;  // the list never saves: 1
  bool has_unsaved_changes() const override { return false; }

  // sle_1's kpo_keypressed: on Enter, moves to the shown row whose memberno is the typed text.
  long sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) override;
  // cbx_1's clicked: unchecked shows only the members whose points reach the cheapest award.
  void cbx_clicked(u_wsk_cbx& cbx) override;
};
