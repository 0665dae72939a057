#pragma once
// 会员奖励方案: every award method on offer in one grid, read afresh at each opening. OK saves
// cells the user edited (a failed save is reported and keeps the dialog open); Cancel with
// edits asks whether to save them.

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_dialog.h"

class w_member_award_method : public w_dialog {
  Q_OBJECT
 public:
  w_member_award_method();

  u_wsk_dw_sort* dw_1 = nullptr;

  void create() override;
  void kpo_preopen() override;
  void kpo_postopen() override;
  int kpo_default() override;
  int kpo_savedata() override;  // 1 nothing to save, -1 refused or failed, else of_update()
  // dw_1's kpo_retrieve: every award method.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;
};
