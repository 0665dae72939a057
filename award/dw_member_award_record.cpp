#include "award/dw_member_award_record.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_award_record() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_award_record";
  d.arguments = {{"starttime", col_type::long_t}, {"endtime", col_type::long_t}};
  // No update table: the cells take input, but nothing typed is ever written.

  d.columns = {
      row_number("xh").x(9).width(151),
      stored("seqid", integer).header("流水号").x(169).width(229).tab(10),
      stored("memberid", integer).header("会员ID").x(407).width(215).tab(20),
      stored("mdname", text(60)).header("会员名称").x(631).width(923).tab(30),
      stored("mdintegral", integer).header("会员积分").x(1563).width(329).tab(40),
      stored("notes", text(100)).header("备注").x(1902).width(1152).tab(50),
      stored("timevalidated", date_number).header("领取日期").x(3063).width(302).tab(60),
      stored("memberno", text(20)).as("t_member.memberno")
          .header("会员号\r\n").x(3374).width(398).tab(70),
      stored("membername", text(60)).as("t_member.membername")
          .header("").x(3781).width(471).tab(80),
      stored("usercard", text(18)).as("t_member.usercard")
          .header("身份证\r\n").x(4261).width(585).tab(90),
  };
  // The inner join leaves out a record whose member row is gone; the date range is served by
  // the index on timevalidated.
  d.sql = select_from("t_member_award_record", d.columns) + R"(, t_member
 WHERE t_member_award_record.memberid = t_member.memberid
   AND t_member_award_record.timevalidated >= :starttime
   AND t_member_award_record.timevalidated <= :endtime)";
  return d;
}
