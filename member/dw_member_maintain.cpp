#include "member/dw_member_maintain.h"

dv_column member_column(std::string name, col_type type, int length, std::string header, int x,
                        int width, int tab, std::string format) {
  dv_column c;
  c.db_name = name;
  c.name = std::move(name);
  c.type = type;
  c.length = length;
  if (type == col_type::decimal_t) c.scale = 2;  // amountconsumed, the only decimal column
  c.header = std::move(header);
  c.x = x;
  c.width = width;
  c.tab = tab;
  c.format = std::move(format);
  return c;
}

dv_column member_row_number(int x, int width) {
  dv_column c;
  c.name = "compute_1";
  c.type = col_type::long_t;
  c.expression = "getrow()";
  c.header = "序号";
  c.x = x;
  c.width = width;
  return c;
}

dv_definition make_dw_member_maintain() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_maintain";
  d.sql = R"(SELECT t_member.memberid,
       t_member.membername,
       t_member.memberaddr,
       t_member.contactphone,
       t_member.lastupdated,
       t_member.memberno,
       t_member.amountconsumed,
       t_member.levelid,
       t_member.integral,
       t_member.age,
       t_member.sex,
       t_member.siteid,
       t_member.ail,
       t_member.usercard,
       t_member.company,
       t_member.notes,
       t_member.medcard,
       t_member.available,
       t_member.adddate,
       t_member.code,
       t_member.birthday,
       t_member.mobile,
       t_member.marry,
       t_member.jones,
       t_member.medical
  FROM t_member
 WHERE ( (t_member.siteid = :an_siteid
          AND (select cast(currentvalue as int) from t_sys_param where paramname='MEMBER_SITE') = 1)
      OR (select cast(currentvalue as int) from t_sys_param where paramname='MEMBER_SITE') is null ))";
  d.arguments = {{"an_siteid", long_t}};
  d.update_table = "t_member";

  dv_column memberid = member_column("memberid", long_t, 0, "会员代号", 242, 247, 0, "[general]");
  memberid.key = true;

  dv_column levelid = member_column("levelid", long_t, 0, "会员等级", 2907, 370, 0);
  levelid.style = edit_style::dddw;
  levelid.dddw_name = "dw_member_levelid";
  levelid.dddw_display = "levelname";
  levelid.dddw_data = "levelid";

  dv_column sex = member_column("sex", string_t, 4, "性别", 3858, 183, 30);
  sex.style = edit_style::codetable;
  sex.codes = {{"男", "男"}, {"女", "女"}};

  dv_column medcard = member_column("medcard", long_t, 0, "医保卡", 5966, 183, 80);
  medcard.style = edit_style::checkbox;
  dv_column available = member_column("available", long_t, 0, "做废", 6158, 192, 90);
  available.style = edit_style::checkbox;

  // Whole completed years from the birthday (yyyymmdd) to today; no age for a birthday that is
  // not a valid date.
  dv_column age_shown;
  age_shown.name = "compute_2";
  age_shown.type = long_t;
  age_shown.expression = "years_after(date(string(birthday,'####-##-##')), today())";
  age_shown.header = "年龄";
  age_shown.x = 7511;
  age_shown.width = 155;
  age_shown.format = "[General]";

  dv_column marry = member_column("marry", string_t, 10, "婚姻状况", 8000, 261, 0);
  marry.style = edit_style::codetable;
  marry.codes = {{"未婚", "未婚"}, {"已婚", "已婚"}, {"离婚", "离婚"}};

  // Shown only: the database stamps it, and a new row leaves it to the table's default.
  dv_column lastupdated =
      member_column("lastupdated", datetime_t, 0, "最后更新", 3287, 279, 0, "[general]");
  lastupdated.db_name.clear();

  // The stored age is read but not shown: the grid shows its own from the birthday.
  dv_column age = member_column("age", long_t, 0, "年龄", 0, 0, 0);
  age.visible = false;

  d.columns = {
      member_row_number(9, 224),
      memberid,
      member_column("memberno", string_t, 20, "会员号", 498, 306, 0),
      member_column("membername", string_t, 60, "会员名称", 814, 366, 0, "[general]"),
      member_column("memberaddr", string_t, 60, "会员地址", 1189, 498, 0),
      member_column("contactphone", string_t, 20, "联系电话", 1696, 434, 10),
      member_column("mobile", string_t, 11, "移动电话", 2139, 393, 20),
      member_column("amountconsumed", decimal_t, 0, "累计消费金额", 2542, 357, 0, "0.00"),
      levelid,
      lastupdated,
      member_column("integral", long_t, 0, "积分", 3575, 274, 0, "[General]"),
      sex,
      member_column("ail", string_t, 40, "病例", 4050, 315, 40),
      member_column("usercard", string_t, 18, "身份证", 4375, 581, 50),
      member_column("company", string_t, 40, "工作单位", 4965, 361, 60),
      member_column("notes", string_t, 100, "备注", 5335, 622, 70),
      medcard,
      available,
      member_column("adddate", long_t, 0, "增加日期", 6359, 357, 100),
      member_column("code", string_t, 20, "代码", 6725, 425, 110),
      member_column("birthday", long_t, 0, "出生日期", 7159, 343, 120),
      age_shown,
      member_column("siteid", long_t, 0, "门店代号", 7675, 315, 0),
      marry,
      member_column("jones", string_t, 100, "爱好", 8270, 818, 0),
      member_column("medical", string_t, 100, "过敏史", 9097, 782, 0),
      age,
  };
  return d;
}

static dv_registration reg_dw_member_maintain(make_dw_member_maintain());
