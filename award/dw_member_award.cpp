#include "award/dw_member_award.h"

#include "member/dw_member_maintain.h"

dv_definition make_dw_member_award() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_award";
  // The cheapest award is an uncorrelated scalar subquery: both backends compute it once per
  // query, not once per member.
  d.sql = R"(SELECT t_member.memberid,
       t_member.memberno,
       t_member.membername,
       t_member.memberaddr,
       t_member.contactphone,
       t_member.amountconsumed,
       CASE WHEN t_member.integral IS NULL THEN 0 ELSE t_member.integral END AS integral,
       CASE WHEN (select min(mdintegral) from t_member_award_method where mdintegral>0 ) IS NULL
            THEN 0
            ELSE (select min(mdintegral) from t_member_award_method where mdintegral>0 ) END
         AS mdintegral,
       t_member.lastupdated,
       t_member.levelid
  FROM t_member)";
  d.update_table = "t_member";

  dv_column memberid = member_column("memberid", long_t, 0, "会员代号", 165, 247, 0);
  memberid.key = true;

  // Computed by the query, not columns the list could write back.
  dv_column integral = member_column("integral", long_t, 0, "总积分", 2900, 274, 0);
  integral.db_name.clear();
  dv_column mdintegral = member_column("mdintegral", long_t, 0, "最低奖励", 3183, 274, 0);
  mdintegral.db_name.clear();

  dv_column levelid = member_column("levelid", long_t, 0, "会员等级代号", 4265, 366, 0);
  levelid.style = edit_style::dddw;
  levelid.dddw_name = "dw_member_levelid";
  levelid.dddw_display = "levelid";
  levelid.dddw_data = "levelid";

  d.columns = {
      member_row_number(9, 146),
      memberid,
      member_column("memberno", string_t, 20, "会员号", 421, 366, 0),
      member_column("membername", string_t, 60, "会员名称", 796, 398, 0),
      member_column("memberaddr", string_t, 60, "会员地址", 1203, 880, 0),
      member_column("contactphone", string_t, 20, "联系电话", 2092, 470, 0),
      member_column("amountconsumed", decimal_t, 0, "累积金额", 2571, 320, 0, "0.00"),
      integral,
      mdintegral,
      member_column("lastupdated", datetime_t, 0, "最后更新时间", 3466, 790, 0),
      levelid,
  };
  return d;
}

static dv_registration reg_dw_member_award(make_dw_member_award());
