#include "member/w_member_info.h"

#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"

w_member_info::w_member_info() { set_title("会员资料修改"); }

void w_member_info::create() {
  w_dialog::create();
  set_size_units(3058, 1796);

  tab_1 = new QTabWidget(this);
  tab_1->setObjectName("tab_1");
  tab_1->setFocusPolicy(Qt::ClickFocus);
  place(tab_1, 0, 0, 3054, 1428);
  tab_1->raise();

  tabpage_1 = new QWidget;
  tabpage_1->setObjectName("tabpage_1");
  tab_1->addTab(tabpage_1, QString::fromUtf8("基本信息"));
  tab_1->setCurrentIndex(0);

  gb_1 = new QGroupBox(tabpage_1);
  gb_1->setObjectName("gb_1");
  place(gb_1, 18, 4, 2981, 1284);

  dw_1 = new u_wsk_dw(tabpage_1);
  dw_1->setObjectName("dw_1");
  (void)dw_1->set_dataobject("dw_member_info");  // a missing data object is reported by the control
  dw_1->set_vscroll(false);
  dw_1->set_border(false);
  place(dw_1, 27, 60, 2939, 1212);
  set_saved_by_ok(dw_1);
  dw_1->raise();

  place(cb_ok, 2002, 1472);
  place(cb_cancel, 2341, 1472);
  cb_help->hide();
  cb_help->setEnabled(false);
  p_sign->hide();
}

void w_member_info::kpo_preopen() {
  w_dialog::kpo_preopen();
  il_memberid = message.number();
  dw_1->of_settransobject();
}

void w_member_info::kpo_postopen() {
  w_dialog::kpo_postopen();
  kpo_refresh();
  dw_1->setfocus();
}

void w_member_info::kpo_refresh() {
  w_dialog::kpo_refresh();
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
}

long w_member_info::dw_kpo_retrieve(u_wsk_dw& /*dw*/) { return long(dw_1->retrieve({value(il_memberid)})); }

int w_member_info::kpo_default() {
  w_dialog::kpo_default();
  return kpo_save(1);
}

int w_member_info::kpo_save(int an_commit) {
  w_dialog::kpo_save(an_commit);
  if (dw_1->accepttext() < 0) return -1;  // the refusal has been shown; nothing is saved
  // The member rows' rules refuse a phone of the wrong length as the member list does, with
  // the list's message box.
  if (dw_1->modifiedcount() > 0) {
    if (const std::string ls_refusal = dw_1->dv().row_check()(1); !ls_refusal.empty()) {
      wf_msgdlg(ls_refusal);
      return -1;
    }
  }
  // Only the fields the user changed are written, so a change made meanwhile at another
  // terminal to any other field of the member survives.
  return dw_1->kpo_update() >= 0 ? 0 : -1;
}
