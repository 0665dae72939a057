#include "member/dw_member_info.h"

#include "framework/dataview/columns.h"
#include "member/member_rules.h"

namespace {

using namespace dv_columns;

// The form is laid out in three zones of label + field, eleven rows (host units).
constexpr int row_top = 16, row_pitch = 108, field_height = 84;
constexpr int a_label = 30, a_field = 440;     // left zone
constexpr int b_label = 1030, b_field = 1440;  // middle zone
constexpr int c_label = 2010, c_field = 2290;  // right edge
constexpr int ab_width = 560, c_width = 630, label_width = 400, c_label_width = 270;
constexpr int wide_to_b = b_field + ab_width - a_field;  // a field across the first two zones
constexpr int wide_to_c = c_field + c_width - a_field;   // nearly the whole form

enum class zone { a, b, c };

// A field in a row and zone of the form; as wide as its zone unless `width` says otherwise.
form_place in_row(int row, zone z, int width = 0) {
  form_place p;
  p.y = row_top + row * row_pitch;
  p.height = field_height;
  switch (z) {
    case zone::a: p.label_x = a_label; p.x = a_field; p.label_width = label_width; break;
    case zone::b: p.label_x = b_label; p.x = b_field; p.label_width = label_width; break;
    case zone::c: p.label_x = c_label; p.x = c_field; p.label_width = c_label_width; break;
  }
  p.width = width > 0 ? width : z == zone::c ? c_width : ab_width;
  return p;
}

}  // namespace

dv_definition make_dw_member_info() {
  using enum zone;
  dv_definition d;
  d.name = "dw_member_info";
  d.presentation = dv_presentation::freeform;
  d.width = 2939;
  d.height = 1212;
  d.arguments = {{"an_id", col_type::long_t}};
  d.update_table = "t_member";
  d.row_rules = member_row_rules;
  d.row_names = {"memberno", "membername"};

  d.columns = {
      stored("memberid", integer).header("会员代号:").format("[general]").key()
          .on_form(in_row(0, a)),
      stored("membername", text(60)).header("会员名称:").tab(10).on_form(in_row(0, b)),
      stored("memberaddr", text(60)).header("会员地址:").tab(30).on_form(in_row(2, a, wide_to_b)),
      stored("contactphone", text(20)).header("联系电话:").tab(40).on_form(in_row(3, a)),
      stored("lastupdated", date_time).header("更新日期").format("[general]")
          .on_form(in_row(1, c)),
      stored("memberno", text(20)).header("会员号:").tab(20).format("[general]")
          .on_form(in_row(1, a)),
      stored("amountconsumed", decimal_places(2)).header("累计消费金额:").tab(50).format("0.00")
          .on_form(in_row(4, a)),
      stored("integral", integer).header("积分").tab(60).format("[General]").on_form(in_row(4, b)),
      stored("age", integer).header("年龄").tab(70).on_form(in_row(5, b)),
      stored("sex", text(4)).header("性别").tab(80).on_form(in_row(5, a)),
      stored("usercard", text(18)).header("身份证").tab(90).on_form(in_row(6, b)),
      stored("ail", text(40)).header("病例").tab(100).on_form(in_row(6, a)),
      stored("company", text(40)).header("工作单位").tab(110).on_form(in_row(7, a, wide_to_b)),
      stored("notes", text(100)).header("备注").tab(120).on_form(in_row(8, a, wide_to_b)),
      stored("medcard", integer).tab(130).checkbox("是否医保卡").on_form(in_row(6, c)),
      stored("available", integer).tab(140).checkbox("做废").on_form(in_row(7, c)),
      stored("levelid", integer).header("会员等级代号:").tab(150)
          .dropdown("dw_member_levelid", "levelname", "levelid").on_form(in_row(1, b)),
      stored("mobile", text(11)).header("移动电话").tab(160).on_form(in_row(3, b)),
      stored("birthday", date_number).header("出生日期").tab(170).on_form(in_row(4, c)),
      stored("code", text(20)).header("代码").tab(180).on_form(in_row(5, c)),
      stored("siteid", integer).header("门店代号").on_form(in_row(0, c)),
      stored("adddate", date_number).header("发卡日期").tab(190).on_form(in_row(3, c)),
      stored("marry", text(10)).header("婚姻状况").tab(200).on_form(in_row(2, c)),
      stored("jones", text(100)).header("爱好").tab(210).on_form(in_row(9, a, wide_to_c)),
      stored("medical", text(100)).header("过敏史").tab(220).on_form(in_row(10, a, wide_to_c)),
  };
  d.sql = select_from("t_member", d.columns) + "\n WHERE t_member.memberid = :an_id";
  return d;
}
