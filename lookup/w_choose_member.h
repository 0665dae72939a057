#pragma once
// Dialog that lets another screen pick a member from a search text: lists the matching members
// and leaves the chosen memberid (0 for none) in message when it closes (exactly in longparm, as
// message.number() reads it). A single match is handed back at once.

#include <cstdint>

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_dialog.h"

class w_choose_member : public w_dialog {
  Q_OBJECT
 public:
  explicit w_choose_member(QWidget* parent = nullptr);

  u_wsk_dw_sort* dw_1 = nullptr;  // child of the window: released with it
  int64_t il_id = 0;  // the member chosen so far; what the dialog answers

  void create() override;
  void kpo_preopen() override;
  void kpo_postopen() override;
  int kpo_default() override;
  long close_event() override;
  // dw_1's enterpressed and doubleclicked confirm the current row, as OK does, wherever the
  // double-click was.
  void dw_enterpressed(u_wsk_dw& dw) override;
  void dw_doubleclicked(u_wsk_dw& dw, int64_t row) override;
};
