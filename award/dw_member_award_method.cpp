#include "award/dw_member_award_method.h"

#include "member/dw_member_maintain.h"

dv_definition make_dw_member_award_method() {
  using enum col_type;
  dv_definition d;
  d.name = "dw_member_award_method";
  d.sql = R"(SELECT t_member_award_method.methodid,
       t_member_award_method.mdname,
       t_member_award_method.mdintegral,
       t_member_award_method.notes
  FROM t_member_award_method)";
  d.update_table = "t_member_award_method";

  dv_column xh = member_row_number(9, 137);
  xh.name = "xh";

  dv_column methodid = member_column("methodid", long_t, 0, "方案代号", 155, 229, 10);
  methodid.key = true;

  d.columns = {
      xh,
      methodid,
      member_column("mdname", string_t, 60, "名称", 393, 677, 20),
      member_column("mdintegral", long_t, 0, "积分", 1079, 306, 30),
      member_column("notes", string_t, 100, "备注", 1394, 1275, 40),
  };
  return d;
}

static dv_registration reg_dw_member_award_method(make_dw_member_award_method());
