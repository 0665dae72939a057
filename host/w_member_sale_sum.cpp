#include "host/w_member_sale_sum.h"

#include "framework/runtime/runtime.h"

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

w_member_sale_sum::w_member_sale_sum(QWidget* parent) : w_dialog(parent) {}

void w_member_sale_sum::create() {
  w_dialog::create();
  // Only OK closes this summary; it stands at the bottom right.
  cb_cancel->hide();
  cb_help->hide();
  cb_help->setEnabled(false);
  p_sign->hide();
  set_title("会员消费汇总");
  set_size_units(2150, 1520);

  st_1 = new QLabel(this);
  st_1->setObjectName("st_1");
  place(st_1, 40, 30, 2060, 80);

  dw_1 = new u_wsk_dw_sort(this);
  dw_1->setObjectName("dw_1");
  (void)dw_1->set_dataobject("dw_member_sale_sum");  // a missing data object is reported by the control
  place(dw_1, 40, 130, 2060, 1040);

  st_2 = new QLabel(this);
  st_2->setObjectName("st_2");
  place(st_2, 40, 1220, 1500, 80);
}

void w_member_sale_sum::kpo_preopen() {
  w_dialog::kpo_preopen();
  il_memberid = message.number();
  dw_1->of_settransobject(sqlca);
}

void w_member_sale_sum::kpo_postopen() {
  w_dialog::kpo_postopen();
  wf_show_member();
  (void)dw_1->of_retrieve();  // a failed read is reported by the control
  dw_1->of_set_currentrow_background(u_wsk_dw::rgb(255, 255, 0));  // yellow
  wf_show_total();
}

long w_member_sale_sum::dw_kpo_retrieve(u_wsk_dw& /*dw*/) {
  return long(dw_1->retrieve({value(il_memberid)}));
}

int w_member_sale_sum::kpo_default() {
  w_dialog::kpo_default();
  return 1;
}

void w_member_sale_sum::wf_show_member() {
  std::vector<value> into;
  const value id(il_memberid);
  const int rc = sqlca.select_into(
      "SELECT t_member.memberno, t_member.membername FROM t_member "
      "WHERE t_member.memberid = :an_memberid",
      std::span<const value>(&id, 1), into);
  std::string text = "会员代号：" + std::to_string(il_memberid);
  if (rc == 0) {
    text += "    会员号：" + into[0].to_text() + "    会员名称：" + into[1].to_text();
  } else if (rc == 100) {
    text += "（无此会员）";
  } else {
    text += "（读取会员失败：" + sqlca.sqlerrtext + "）";
  }
  st_1->setText(qs(text));
}

void w_member_sale_sum::wf_show_total() {
  id_total = decimal{0, 2};
  const int64_t rows = dw_1->rowcount();
  for (int64_t row = 1; row <= rows; ++row) {
    if (auto amount = dw_1->getitemnumber(row, "amount")) id_total = id_total + *amount;
  }
  id_total = *id_total.rescale(2);  // amounts of 2 places add up to 2 places
  st_2->setText(qs("共 " + std::to_string(rows) + " 张单据    合计金额：" + id_total.format(2)));
}
