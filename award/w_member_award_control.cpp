#include "award/w_member_award_control.h"

#include <string>
#include <vector>

#include "award/member_award_redeem.h"
#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"

namespace {
// Size of the dialog and its parts, host units.
constexpr int k_width = 2770, k_height = 1260;
constexpr int k_member_y = 12, k_member_height = 64;
constexpr int k_list_x = 9, k_list_y = 88, k_list_width = 2721, k_list_height = 974;
}  // namespace

w_member_award_control::w_member_award_control() = default;

void w_member_award_control::create() {
  w_dialog::create();
  set_title("会员奖励");
  set_size_units(k_width, k_height);

  dw_1 = new u_wsk_dw_sort(this);
  dw_1->setObjectName("dw_1");
  (void)dw_1->set_dataobject("dw_member_award_control");  // a missing data object is reported by the control
  dw_1->is_id_columnname = "methodid";
  place(dw_1, k_list_x, k_list_y, k_list_width, k_list_height);
  st_member = new QLabel(this);
  st_member->setObjectName("st_member");
  place(st_member, k_list_x, k_member_y, k_list_width, k_member_height);

  // cb_ok and cb_cancel keep the ancestor's place: side by side below the list, at its right.
  p_sign->hide();
  cb_help->hide();
  cb_help->setEnabled(false);
}

void w_member_award_control::kpo_preopen() {
  w_dialog::kpo_preopen();
  il_memberid = message.number();
  dw_1->of_settransobject();
}

void w_member_award_control::kpo_postopen() {
  w_dialog::kpo_postopen();
  kpo_refresh();
  dw_1->of_set_currentrow_background(u_wsk_dw::rgb(255, 255, 0));  // yellow
  dw_1->setfocus();
}

void w_member_award_control::kpo_refresh() {
  w_dialog::kpo_refresh();
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
}

int w_member_award_control::kpo_default() {
  w_dialog::kpo_default();
  return wf_confirm_and_redeem() < 0 ? -1 : 1;
}

long w_member_award_control::close_event() {
  const long result = w_dialog::close_event();
  message.set_number(1);
  return result;
}

long w_member_award_control::dw_kpo_retrieve(u_wsk_dw& /*dw*/) {
  const std::string id = std::to_string(il_memberid);
  const value member[] = {il_memberid};
  std::vector<value> into;
  sqlca.select_into(
      "select amountconsumed , memberno , integral from t_member where memberid = :il_memberid",
      member, into);
  if (!f_check_sql(true, true, true, "查找会员" + id + "的总消费金额",
                   "查找会员" + id + "的总消费金额失败", sqlca))
    return -1;
  const value& ls_no = into.at(1);
  const value& ll_integral = into.at(2);
  set_title("会员" + ls_no.to_text() + "的可领取奖励");
  // Who is served and what they hold, above the list (the name is not part of the lookup).
  std::vector<value> name;
  sqlca.select_into("select membername from t_member where memberid = :il_memberid", member, name);
  st_member->setText(QString::fromStdString(
      "会员名称：" + (name.empty() ? std::string() : name[0].to_text()) + "　　当前积分：" +
      (ll_integral.is_null() ? std::string("0") : ll_integral.to_text())));
  return dw_1->retrieve({ll_integral});
}

void w_member_award_control::dw_doubleclicked(u_wsk_dw& dw, int64_t row) {
  w_dialog::dw_doubleclicked(dw, row);
  // The current row is redeemed, wherever the double-click was.
  if (wf_confirm_and_redeem() == 1) close_window();
}

void w_member_award_control::dw_enterpressed(u_wsk_dw& dw) {
  w_dialog::dw_enterpressed(dw);
  if (wf_confirm_and_redeem() == 1) close_window();
}

int w_member_award_control::wf_confirm_and_redeem() {
  const int64_t ll_row = dw_1->getrow();
  if (ll_row < 1) return 0;
  int ll_status = messagebox("会员奖励领取", "您确定要对当前会员进行奖励领取操作吗？",
                             mb_icon::question, mb_buttons::yesno, 2);
  if (ll_status == 2) return 0;
  ll_status = wf_member_award(ll_row);
  if (ll_status == redeem_not_known) {
    wf_msgdlg("会员奖励领取结果未知：数据库没有确认本次领取是否已保存。\n请先查看该会员的积分和奖励领取"
              "记录；在本窗口再次领取同一奖励时会先查找本次的记录，不会重复保存。\n\n" +
              sqlca.sqlerrtext);
    return -1;
  }
  if (ll_status < 0) {
    wf_msgdlg("会员奖励领取操作失败！请您重新操作");
    // The points may have changed meanwhile: the list offers what they reach now.
    kpo_refresh();
    return -1;
  }
  wf_msgdlg("会员奖励领取操作成功！");
  return 1;
}

int w_member_award_control::wf_member_award(int64_t an_row) {
  const std::optional<decimal> rate = dw_1->getitemnumber(an_row, "mdintegral");
  if (!rate) return -1;  // an award without points is never listed
  const int64_t ll_rate = rate->to_long();
  const std::optional<std::string> ls_name = dw_1->getitemstring(an_row, "mdname");
  const std::optional<std::string> ls_notes = dw_1->getitemstring(an_row, "notes");
  const int64_t ll_date = runtime::today().yyyymmdd();
  // Another award is another redemption; the same one again is a retry of the last.
  const int64_t ll_methodid = dw_1->getitemnumber(an_row, "methodid").value_or(decimal()).to_long();
  if (ll_methodid != il_redeem_methodid) {
    io_redemption = award_redemption();
    il_redeem_methodid = ll_methodid;
  }
  return member_award_redeem(sqlca, io_redemption, il_memberid, ll_rate, ls_name, ls_notes,
                             ll_date);
}
