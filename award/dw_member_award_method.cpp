#include "award/dw_member_award_method.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_award_method() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_award_method";
  d.update_table = "t_member_award_method";
  d.row_names = {"methodid", "mdname"};

  d.columns = {
      row_number("xh").x(9).width(137),
      stored("methodid", integer).header("方案代号").x(155).width(229).tab(10).key(),
      stored("mdname", text(60)).header("名称").x(393).width(677).tab(20),
      stored("mdintegral", integer).header("积分").x(1079).width(306).tab(30).at_least(0),
      stored("notes", text(100)).header("备注").x(1394).width(1275).tab(40),
  };
  d.sql = select_from("t_member_award_method", d.columns);
  return d;
}
