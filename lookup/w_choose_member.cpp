#include "lookup/w_choose_member.h"

#include "framework/runtime/runtime.h"

w_choose_member::w_choose_member(QWidget* parent) : w_dialog(parent) {}

void w_choose_member::create() {
  w_dialog::create();
  set_title("会员选择");
  set_size_units(2843, 1448);

  dw_1 = new u_wsk_dw_sort(this);
  dw_1->setObjectName("dw_1");
  (void)dw_1->set_dataobject("dw_choose_MEMBER");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "memberid";
  dw_1->set_hscroll(true);
  place(dw_1, 0, 0, 2825, 1224);
  dw_1->raise();

  // Enter in the list confirms through dw_1, so OK must not be the dialog's default button.
  place(cb_ok, 1888, 1248, 293, 96);
  cb_ok->setDefault(false);
  cb_ok->setAutoDefault(false);
  place(cb_cancel, 2226, 1248);
  cb_help->hide();
  p_sign->hide();
}

void w_choose_member::kpo_preopen() {
  w_dialog::kpo_preopen();
  const std::string ls_name = message.stringparm;  // used as given, not trimmed
  dw_1->of_settransobject(sqlca);
  const int64_t ll_rows = dw_1->retrieve({value(ls_name)});
  if (ll_rows == 1) {
    il_id = dw_1->of_get_id(1);
    post_cancel_click();  // closes once the open sequence is over, answering il_id
  }
}

void w_choose_member::kpo_postopen() {
  w_dialog::kpo_postopen();
  dw_1->of_set_currentrow_background(u_wsk_dw::rgb(255, 255, 0));  // yellow
}

int w_choose_member::kpo_default() {
  w_dialog::kpo_default();
  const int64_t ll_row = dw_1->getrow();
  if (ll_row <= 0) return -1;
  il_id = dw_1->of_get_id(ll_row);
  return 0;
}

void w_choose_member::dw_enterpressed(u_wsk_dw& dw) {
  w_dialog::dw_enterpressed(dw);
  cb_ok_clicked();
}

void w_choose_member::dw_doubleclicked(u_wsk_dw& dw, int64_t row) {
  w_dialog::dw_doubleclicked(dw, row);
  cb_ok_clicked();
}

long w_choose_member::close_event() {
  w_dialog::close_event();
  message.set_number(il_id);
  return message.returnvalue;
}
