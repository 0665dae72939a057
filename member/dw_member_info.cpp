#include "member/dw_member_info.h"

#include "member/dw_member_maintain.h"

namespace {

// The form is laid out in three columns of label + field, eleven rows (host units).
constexpr int row_top = 16, row_pitch = 108, field_height = 84;
constexpr int a_label = 30, a_field = 440;     // left column
constexpr int b_label = 1030, b_field = 1440;  // middle column
constexpr int c_label = 2010, c_field = 2290;  // right edge
constexpr int ab_width = 560, c_width = 630, label_width = 400, c_label_width = 270;
constexpr int wide_to_b = b_field + ab_width - a_field;  // a field across the first two columns
constexpr int wide_to_c = c_field + c_width - a_field;   // nearly the whole form

enum class zone { a, b, c };

dv_column field(std::string name, col_type type, int length, std::string label, int tab,
                int row, zone z, int width = 0, std::string format = "") {
  dv_column col = member_column(std::move(name), type, length, std::move(label), 0, 0, tab,
                                std::move(format));
  col.y = col.label_y = row_top + row * row_pitch;
  col.height = field_height;
  switch (z) {
    case zone::a: col.label_x = a_label; col.x = a_field; col.label_width = label_width; break;
    case zone::b: col.label_x = b_label; col.x = b_field; col.label_width = label_width; break;
    case zone::c: col.label_x = c_label; col.x = c_field; col.label_width = c_label_width; break;
  }
  col.width = width > 0 ? width : z == zone::c ? c_width : ab_width;
  return col;
}

dv_column check_box(std::string name, std::string text, int tab, int row) {
  dv_column col = field(std::move(name), col_type::long_t, 0, "", tab, row, zone::c);
  col.style = edit_style::checkbox;
  col.checkbox_text = std::move(text);
  return col;
}

}  // namespace

dv_definition make_dw_member_info() {
  using enum col_type;
  using enum zone;
  dv_definition d;
  d.name = "dw_member_info";
  d.presentation = dv_presentation::freeform;
  d.width = 2939;
  d.height = 1212;
  d.sql = R"(SELECT t_member.memberid,
       t_member.membername,
       t_member.memberaddr,
       t_member.contactphone,
       t_member.lastupdated,
       t_member.memberno,
       t_member.amountconsumed,
       t_member.integral,
       t_member.age,
       t_member.sex,
       t_member.usercard,
       t_member.ail,
       t_member.company,
       t_member.notes,
       t_member.medcard,
       t_member.available,
       t_member.levelid,
       t_member.mobile,
       t_member.birthday,
       t_member.code,
       t_member.siteid,
       t_member.adddate,
       t_member.marry,
       t_member.jones,
       t_member.medical
  FROM t_member
 WHERE t_member.memberid = :an_id)";
  d.arguments = {{"an_id", long_t}};
  d.update_table = "t_member";

  dv_column memberid = field("memberid", long_t, 0, "会员代号:", 0, 0, a, 0, "[general]");
  memberid.key = true;

  dv_column levelid = field("levelid", long_t, 0, "会员等级代号:", 150, 1, b);
  levelid.style = edit_style::dddw;
  levelid.dddw_name = "dw_member_levelid";
  levelid.dddw_display = "levelname";
  levelid.dddw_data = "levelid";

  d.columns = {
      memberid,
      field("membername", string_t, 60, "会员名称:", 10, 0, b),
      field("memberaddr", string_t, 60, "会员地址:", 30, 2, a, wide_to_b),
      field("contactphone", string_t, 20, "联系电话:", 40, 3, a),
      field("lastupdated", datetime_t, 0, "更新日期", 0, 1, c, 0, "[general]"),
      field("memberno", string_t, 20, "会员号:", 20, 1, a, 0, "[general]"),
      field("amountconsumed", decimal_t, 0, "累计消费金额:", 50, 4, a, 0, "0.00"),
      field("integral", long_t, 0, "积分", 60, 4, b, 0, "[General]"),
      field("age", long_t, 0, "年龄", 70, 5, b),
      field("sex", string_t, 4, "性别", 80, 5, a),
      field("usercard", string_t, 18, "身份证", 90, 6, b),
      field("ail", string_t, 40, "病例", 100, 6, a),
      field("company", string_t, 40, "工作单位", 110, 7, a, wide_to_b),
      field("notes", string_t, 100, "备注", 120, 8, a, wide_to_b),
      check_box("medcard", "是否医保卡", 130, 6),
      check_box("available", "做废", 140, 7),
      levelid,
      field("mobile", string_t, 11, "移动电话", 160, 3, b),
      field("birthday", long_t, 0, "出生日期", 170, 4, c),
      field("code", string_t, 20, "代码", 180, 5, c),
      field("siteid", long_t, 0, "门店代号", 0, 0, c),
      field("adddate", long_t, 0, "发卡日期", 190, 3, c),
      field("marry", string_t, 10, "婚姻状况", 200, 2, c),
      field("jones", string_t, 100, "爱好", 210, 9, a, wide_to_c),
      field("medical", string_t, 100, "过敏史", 220, 10, a, wide_to_c),
  };
  return d;
}

static dv_registration reg_dw_member_info(make_dw_member_info());
