#include "member/w_member_list.h"

#include <algorithm>
#include <filesystem>

#include "framework/dataview/names.h"
#include "framework/db/transaction.h"
#include "framework/expression/expression.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/module_font.h"
#include "framework/ui/window_registry.h"

w_member_list::w_member_list(const std::string& title, const std::string& dataobject,
                             std::string detail_window)
    : is_dataobject(dataobject), is_detail_window(std::move(detail_window)) {
  set_title(title);
}

void w_member_list::create() {
  w_single_dw_list::create();

  const QFont font = module_font();  // 宋体 9 pt, weight 400
  st_1 = new QLabel(QString::fromUtf8("会员号"), this);
  st_1->setObjectName("st_1");
  st_1->setFont(font);
  place(st_1, 41, 212, 187, 48);
  st_1->raise();

  sle_1 = new u_wsk_sle(this);
  sle_1->setObjectName("sle_1");
  sle_1->setFont(font);
  place(sle_1, 247, 188, 622);
  sle_1->raise();

  set_dw_top(296);
  (void)dw_1->set_dataobject(is_dataobject);  // a missing data object is reported by the control
  dw_1->of_settransobject(sqlca);
  dw_1->is_id_columnname = "memberid";
}

long w_member_list::dw_kpo_retrieve(u_wsk_dw& /*dw*/) {
  // The shop number is read afresh at every load: the ini file may have changed meanwhile.
  const std::string ls_ini = runtime::current_directory() + "\\util\\syncclient.ini";
  il_siteid = profileint(ls_ini, "Site", "ID", 0);
  const long ll_rc = long(dw_1->retrieve({value(il_siteid)}));
  // Without the file the shop number is 0, and a list of one shop shows none: the status line
  // says why.
  std::string ls_native = ls_ini;
  std::replace(ls_native.begin(), ls_native.end(), '\\', '/');
  if (ll_rc >= 0 && !std::filesystem::exists(ls_native))
    status->show_note(QString::fromUtf8("找不到门店号文件 %1，门店号按 0 计")
                          .arg(QString::fromStdString(ls_native)));
  return ll_rc;
}

long w_member_list::sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags) {
  w_single_dw_list::sle_kpo_keypressed(sle, key, keyflags);
  if (runtime::enter_down())
    find_shown_row("memberno", "会员号", std::string(trim_blanks(sle_1->text_utf8())));
  return message.returnvalue;
}

void w_member_list::kpo_open() {
  w_single_dw_list::kpo_open();
  const int64_t ll_id = dw_1->of_get_id();
  if (ll_id <= 0) return;
  // A dialog has closed when the call returns; a window that stays open frees itself on close.
  if (w_base* w = open_window(is_detail_window, ll_id)) {
    w->setAttribute(Qt::WA_DeleteOnClose);
    return;
  }
  // What the dialog saved shows in the member's row at once.
  if (const int64_t ll_row = dw_1->find("memberid=" + std::to_string(ll_id), 1, dw_1->rowcount());
      ll_row > 0)
    dw_1->dv().reselectrow(ll_row);
}

int w_member_list::kpo_save(int /*an_commit*/) { return kpo_savedata(); }

int w_member_list::kpo_savedata() {
  if (dw_1->accepttext() < 0) return -1;  // the refusal has been shown; nothing is saved
  if (dw_1->modifiedcount() <= 0 && dw_1->deletedcount() <= 0) return 1;
  if (wf_validation() < 0) return -1;
  wf_set_new_rows_site();
  return dw_1->of_update();
}

void w_member_list::wf_set_new_rows_site() {
  for (int64_t ll_row = 1, ll_rows = dw_1->rowcount(); ll_row <= ll_rows; ++ll_row)
    if (dw_1->dv().getitemstatus(ll_row, -1, dv_buffer::primary) == dv_status::newmodified &&
        !dw_1->getitemnumber(ll_row, "siteid"))
      (void)dw_1->setitem(ll_row, "siteid", value(il_siteid));  // a shop number: always taken
}

int w_member_list::wf_validation() {
  // The grid's row rules (the phone lengths under MOBILE_CHECK), their switch read once.
  const std::function<std::string(int64_t)> row_check = dw_1->dv().row_check();
  // From the last row up, so that deleting a row does not move the rows still to be visited.
  for (int64_t ll_row = dw_1->rowcount(); ll_row >= 1; --ll_row) {
    if (!dw_1->getitemnumber(ll_row, "memberid")) {
      const int li_answer =
          messagebox("提示：", "第" + std::to_string(ll_row) + "行会员代号为空，是否删除该行？",
                     mb_icon::information, mb_buttons::okcancel, 1);
      if (li_answer != 1) return -1;
      (void)dw_1->deleterow(ll_row);  // a row of the loop: always there
      continue;
    }
    const std::string ls_refusal = row_check(ll_row);
    if (!ls_refusal.empty()) {
      // The box keeps its fixed text; the status line says whose number it is, since the check
      // covers every row and the grid stays where it is.
      status->show_note(QString::fromStdString(
          "电话号码位数不对：第 " + std::to_string(ll_row) + " 行，会员号 " +
          dw_1->getitemstring(ll_row, "memberno").value_or("") + "，会员名称 " +
          dw_1->getitemstring(ll_row, "membername").value_or("")));
      wf_msgdlg(ls_refusal);
      return -1;
    }
  }
  return 1;
}
