#include "member/dw_member_view.h"

#include "framework/dataview/columns.h"
#include "member/member_site.h"

dv_definition make_dw_member_view() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_view";
  d.arguments = {{"an_siteid", col_type::long_t}};
  d.update_table = "t_member";

  d.columns = {
      row_number().x(9).width(151),
      stored("memberid", integer).header("会员代号").x(169).width(247).format("[general]").key(),
      stored("memberno", text(20)).header("会员号").x(425).width(306),
      stored("membername", text(60)).header("会员名称").x(741).width(366).format("[general]"),
      stored("amountconsumed", decimal_places(2)).header("累计消费金额").x(1115).width(357)
          .format("0.00"),
      stored("integral", integer).header("积分").x(1481).width(274).format("[General]"),
      // The level's number is shown, not its name.
      stored("levelid", integer).header("会员等级代号").x(1765).width(370)
          .dropdown("dw_member_levelid", "levelid", "levelid"),
      // Shown only: the database stamps it, and a new row leaves it to the table's default.
      queried("lastupdated", date_time).header("最后更新时间").x(2144).width(384)
          .format("[general]"),
      stored("sex", text(4)).header("性别").x(2537).width(183).tab(10),  // free text here
      stored("ail", text(40)).header("病例").x(2729).width(315).tab(20),
      stored("available", integer).header("做废").x(3054).width(192).tab(30).checkbox(),
      stored("code", text(20)).header("代码").x(3255).width(425).tab(40),
      stored("siteid", integer).header("门店代号").x(3689).width(315),
      stored("age", integer).header("年龄").hidden(),
  };
  // A member who has bills counts as this shop's too.
  d.sql = select_from("t_member", d.columns) + "\n WHERE " +
          member_site_condition("(t_member.memberid in (select distinct memberid from t_bill_header))");
  return d;
}
