#pragma once
// The host's sales summary of one member, opened with the memberid as its number: the member's
// bills (number, date, amount) and their total. A modal dialog; OK or Esc closes it.

#include <QLabel>

#include "framework/value/value.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_dialog.h"

class w_member_sale_sum : public w_dialog {
  Q_OBJECT
 public:
  explicit w_member_sale_sum(QWidget* parent = nullptr);

  void create() override;
  void kpo_preopen() override;
  void kpo_postopen() override;
  int kpo_default() override;  // 1: close
  // dw_1's kpo_retrieve: the bills of il_memberid.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;

  int64_t il_memberid = 0;
  QLabel* st_1 = nullptr;  // member number and name
  u_wsk_dw_sort* dw_1 = nullptr;
  QLabel* st_2 = nullptr;  // bill count and total amount

  // Sum of the listed bills' amounts, exact to the cent.
  const decimal& total() const { return id_total; }

 private:
  void wf_show_member();
  void wf_show_total();
  decimal id_total;
};
