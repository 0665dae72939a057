#pragma once
// 会员奖励领取 of one member: the member's name and points above the award methods they reach; a
// confirmed double-click or Enter on an award, or 确定 with one selected, redeems it. Answers 1
// in message on every close, so the opener reads its list again.

#include <cstdint>

#include <QLabel>

#include "award/member_award_redeem.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_dialog.h"

class w_member_award_control : public w_dialog {
  Q_OBJECT
 public:
  w_member_award_control();

  u_wsk_dw_sort* dw_1 = nullptr;
  QLabel* st_member = nullptr;  // the member's name and current points
  int64_t il_memberid = 0;  // the member served, fixed while the dialog opens
  // The redemption of award il_redeem_methodid, kept across its retries in this dialog.
  award_redemption io_redemption;
  int64_t il_redeem_methodid = 0;

  void create() override;
  void kpo_preopen() override;
  void kpo_postopen() override;
  void kpo_refresh() override;
  // 确定: with an award selected asks whether to redeem it (否 closes as without one).
  int kpo_default() override;
  long close_event() override;

  // dw_1's kpo_retrieve: reads the member, sets the title, lists the affordable awards.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;
  // dw_1's doubleclicked: asks, redeems the current row, reports, closes on success.
  void dw_doubleclicked(u_wsk_dw& dw, int64_t row) override;
  // Enter on an award does what a double-click does.
  void dw_enterpressed(u_wsk_dw& dw) override;

  // Asks, then redeems dw_1's current award and tells the outcome: 1 redeemed, 0 not asked or
  // declined, -1 not redeemed (the list is read again: what the member can afford now).
  int wf_confirm_and_redeem();

  // Redeems the award of dw_1's row an_row: 1 done, -1 nothing written, -2 not known whether it
  // was stored (a retry of the same award looks for it first).
  int wf_member_award(int64_t an_row);
};
