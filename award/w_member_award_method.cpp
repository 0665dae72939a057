#include "award/w_member_award_method.h"

namespace {
// Size of the dialog and of its grid, host units.
constexpr int k_width = 2770, k_height = 1400;
constexpr int k_list_x = 9, k_list_y = 12, k_list_width = 2721, k_list_height = 1180;
}  // namespace

w_member_award_method::w_member_award_method() = default;

void w_member_award_method::create() {
  w_dialog::create();
  set_title("会员奖励方案");
  set_size_units(k_width, k_height);

  dw_1 = new u_wsk_dw_sort(this);
  dw_1->setObjectName("dw_1");
  (void)dw_1->set_dataobject("dw_member_award_method");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "methodid";
  place(dw_1, k_list_x, k_list_y, k_list_width, k_list_height);
  set_saved_by_ok(dw_1);

  // The dialog has no sign and no help of its own; OK and Cancel stand below the grid.
  p_sign->hide();
  cb_help->hide();
  cb_help->setEnabled(false);
}

void w_member_award_method::kpo_preopen() {
  w_dialog::kpo_preopen();
  dw_1->of_settransobject();
}

void w_member_award_method::kpo_postopen() {
  w_dialog::kpo_postopen();
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
  dw_1->of_set_currentrow_background(u_wsk_dw::rgb(255, 255, 0));  // yellow
}

int w_member_award_method::kpo_default() {
  w_dialog::kpo_default();
  // What was typed into the grid is saved before the dialog closes, never dropped silently.
  if (kpo_save(1) < 0) return -1;
  return 0;
}

int w_member_award_method::kpo_savedata() {
  w_dialog::kpo_savedata();
  if (dw_1->accepttext() < 0) return -1;
  if (dw_1->modifiedcount() <= 0 && dw_1->deletedcount() <= 0) return 1;
  return dw_1->of_update();
}

long w_member_award_method::dw_kpo_retrieve(u_wsk_dw& /*dw*/) { return long(dw_1->retrieve()); }
