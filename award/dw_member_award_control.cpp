#include "award/dw_member_award_control.h"

#include "framework/dataview/columns.h"

dv_definition make_dw_member_award_control() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_award_control";
  d.arguments = {{"an_mdintegral", col_type::long_t}};
  d.update_table = "t_member_award_method";

  d.columns = {
      row_number("xh").x(9).width(190),
      stored("methodid", integer).header("方案代号").x(208).width(260).key(),
      stored("mdname", text(60)).header("奖励名称").x(477).width(677),
      stored("mdintegral", integer).header("所需积分").x(1163).width(306),
      stored("notes", text(100)).header("备注").x(1478).width(1200),
  };
  d.sql = select_from("t_member_award_method", d.columns) +
          "\n WHERE t_member_award_method.mdintegral <= :an_mdintegral";
  return d;
}
