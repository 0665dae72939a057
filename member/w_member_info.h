#pragma once
// Member information dialog: one member's whole record as a form on the tab page "基本信息";
// OK saves the changed fields of that member's row; closing otherwise with changes asks first.

#include <QGroupBox>
#include <QTabWidget>

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_dialog.h"

class w_member_info : public w_dialog {
  Q_OBJECT
 public:
  w_member_info();

  QTabWidget* tab_1 = nullptr;
  QWidget* tabpage_1 = nullptr;
  QGroupBox* gb_1 = nullptr;
  u_wsk_dw* dw_1 = nullptr;
  int64_t il_memberid = 0;

  void create() override;
  void kpo_preopen() override;
  void kpo_postopen() override;
  void kpo_refresh() override;
  int kpo_default() override;
  int kpo_save(int an_commit) override;
  // dw_1's kpo_retrieve: the row of il_memberid.
  long dw_kpo_retrieve(u_wsk_dw& dw) override;
};
