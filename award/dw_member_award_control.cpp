#include "award/dw_member_award_control.h"

namespace {
dv_column method_column(std::string name, col_type type, int length, std::string header, int x,
                        int width) {
  dv_column c;
  c.db_name = name;
  c.name = std::move(name);
  c.type = type;
  c.length = length;
  c.header = std::move(header);
  c.x = x;
  c.width = width;
  return c;
}
}  // namespace

dv_definition make_dw_member_award_control() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_award_control";
  d.sql = R"(SELECT t_member_award_method.methodid,
       t_member_award_method.mdname,
       t_member_award_method.mdintegral,
       t_member_award_method.notes
  FROM t_member_award_method
 WHERE t_member_award_method.mdintegral <= :an_mdintegral)";
  d.arguments = {{"an_mdintegral", long_t}};
  d.update_table = "t_member_award_method";

  dv_column xh;
  xh.name = "xh";
  xh.type = long_t;
  xh.expression = "getrow()";
  xh.header = "序号";
  xh.x = 9;
  xh.width = 190;

  dv_column methodid = method_column("methodid", long_t, 0, "方案代号", 208, 260);
  methodid.key = true;

  d.columns = {
      xh,
      methodid,
      method_column("mdname", string_t, 60, "奖励名称", 477, 677),
      method_column("mdintegral", long_t, 0, "所需积分", 1163, 306),
      method_column("notes", string_t, 100, "备注", 1478, 1200),
  };
  return d;
}

static dv_registration reg_dw_member_award_control(make_dw_member_award_control());
