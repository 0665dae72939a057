#include "award/w_member_award.h"

#include <QAction>
#include <QFont>
#include <string>

#include "framework/dataview/names.h"
#include "framework/expression/expression.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/window_registry.h"

w_member_award::w_member_award() = default;

void w_member_award::create() {
  w_single_dw_list::create();
  set_title("会员奖励领取");
  (void)dw_1->set_dataobject("dw_member_award");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "memberid";
  // A redeemed member who leaves the narrowed list leaves the worker at the same place in it.
  dw_1->ib_keep_place = true;
  set_dw_top(296);
  // The list is read only: rows are neither added, removed nor saved here.
  toolbar->act_insert->setEnabled(false);
  toolbar->act_delete->setEnabled(false);
  toolbar->act_save->setEnabled(false);

  st_1 = new QLabel("会员号", this);
  st_1->setObjectName("st_1");
  st_1->setFont(QFont("宋体", 9, QFont::Normal));
  place(st_1, 41, 212, 187, 48);
  st_1->raise();

  sle_1 = new u_wsk_sle(this);
  sle_1->setObjectName("sle_1");
  place(sle_1, 247, 188, 622);
  sle_1->raise();

  cbx_1 = new u_wsk_cbx(this);
  cbx_1->setObjectName("cbx_1");
  cbx_1->setText("全部");
  cbx_1->setChecked(true);
  place(cbx_1, 933, 200, 274, 72);
  cbx_1->raise();
}

void w_member_award::kpo_preopen() {
  w_single_dw_list::kpo_preopen();
  dw_1->of_settransobject();
}

void w_member_award::kpo_open() {
  w_single_dw_list::kpo_open();
  const int64_t ll_memberid = dw_1->of_get_id();
  if (ll_memberid < 1) return;
  open_window("w_member_award_control", ll_memberid);
  const int64_t ll_status = message.number();
  if (ll_status == 1) (void)dw_1->of_retrieve();  // a failed read is reported by the control
}

int w_member_award::kpo_save(int) { return 1; }

long w_member_award::sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) {
  w_single_dw_list::sle_kpo_keypressed(sle, key, keyflags);
  if (runtime::enter_down())
    find_shown_row("memberno", "会员号", std::string(trim_blanks(sle_1->text_utf8())));
  return message.returnvalue;
}

void w_member_award::cbx_clicked(u_wsk_cbx& cbx) {
  w_single_dw_list::cbx_clicked(cbx);
  if (dw_1->setfilter(cbx_1->isChecked() ? "" : "integral >= mdintegral ") < 0) {
    cbx_1->setChecked(!cbx_1->isChecked());  // the control has said why; the mark shows the rows
    return;
  }
  (void)dw_1->filter();  // a filter that was set applies
}
