#include "member/dw_member_view.h"

#include "member/dw_member_maintain.h"

dv_definition make_dw_member_view() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_view";
  d.sql = R"(SELECT t_member.memberid,
       t_member.membername,
       t_member.lastupdated,
       t_member.memberno,
       t_member.amountconsumed,
       t_member.levelid,
       t_member.integral,
       t_member.age,
       t_member.sex,
       t_member.siteid,
       t_member.ail,
       t_member.available,
       t_member.code
  FROM t_member
 WHERE ( ((t_member.siteid = :an_siteid
           or (t_member.memberid in (select distinct memberid from t_bill_header)))
          AND (select cast(currentvalue as int) from t_sys_param where paramname='MEMBER_SITE') = 1)
      OR (select cast(currentvalue as int) from t_sys_param where paramname='MEMBER_SITE') is null ))";
  d.arguments = {{"an_siteid", long_t}};
  d.update_table = "t_member";

  dv_column memberid = member_column("memberid", long_t, 0, "会员代号", 169, 247, 0, "[general]");
  memberid.key = true;

  // The level's number is shown, not its name.
  dv_column levelid = member_column("levelid", long_t, 0, "会员等级代号", 1765, 370, 0);
  levelid.style = edit_style::dddw;
  levelid.dddw_name = "dw_member_levelid";
  levelid.dddw_display = "levelid";
  levelid.dddw_data = "levelid";

  dv_column available = member_column("available", long_t, 0, "做废", 3054, 192, 30);
  available.style = edit_style::checkbox;

  // Shown only: the database stamps it, and a new row leaves it to the table's default.
  dv_column lastupdated =
      member_column("lastupdated", datetime_t, 0, "最后更新时间", 2144, 384, 0, "[general]");
  lastupdated.db_name.clear();

  dv_column age = member_column("age", long_t, 0, "年龄", 0, 0, 0);
  age.visible = false;

  d.columns = {
      member_row_number(9, 151),
      memberid,
      member_column("memberno", string_t, 20, "会员号", 425, 306, 0),
      member_column("membername", string_t, 60, "会员名称", 741, 366, 0, "[general]"),
      member_column("amountconsumed", decimal_t, 0, "累计消费金额", 1115, 357, 0, "0.00"),
      member_column("integral", long_t, 0, "积分", 1481, 274, 0, "[General]"),
      levelid,
      lastupdated,
      member_column("sex", string_t, 4, "性别", 2537, 183, 10),  // free text here
      member_column("ail", string_t, 40, "病例", 2729, 315, 20),
      available,
      member_column("code", string_t, 20, "代码", 3255, 425, 40),
      member_column("siteid", long_t, 0, "门店代号", 3689, 315, 0),
      age,
  };
  return d;
}

static dv_registration reg_dw_member_view(make_dw_member_view());
