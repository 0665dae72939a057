#include "award/dw_member_award.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_award() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_award";
  d.update_table = "t_member";

  // The cheapest award is an uncorrelated scalar subquery: both backends compute it once per
  // query, not once per member.
  const std::string cheapest_award =
      "(select min(mdintegral) from t_member_award_method where mdintegral>0 )";

  d.columns = {
      row_number().x(9).width(146),
      stored("memberid", integer).header("会员代号").x(165).width(247).key(),
      stored("memberno", text(20)).header("会员号").x(421).width(366),
      stored("membername", text(60)).header("会员名称").x(796).width(398),
      stored("memberaddr", text(60)).header("会员地址").x(1203).width(880),
      stored("contactphone", text(20)).header("联系电话").x(2092).width(470),
      stored("amountconsumed", decimal_places(2)).header("累积金额").x(2571).width(320)
          .format("0.00"),
      // Worked out by the query, not columns the list could write back.
      queried("integral", integer)
          .as("CASE WHEN t_member.integral IS NULL THEN 0 ELSE t_member.integral END")
          .header("总积分").x(2900).width(274),
      queried("mdintegral", integer)
          .as("CASE WHEN " + cheapest_award + " IS NULL THEN 0 ELSE " + cheapest_award + " END")
          .header("最低奖励").x(3183).width(274),
      stored("lastupdated", date_time).header("最后更新时间").x(3466).width(790),
      stored("levelid", integer).header("会员等级代号").x(4265).width(366)
          .dropdown("dw_member_levelid", "levelid", "levelid"),
  };
  d.sql = select_from("t_member", d.columns);
  return d;
}
