// dw_member_levelid: the member levels, the drop-down of every grid that shows levelid.
#include "data/dw_member_levelid.h"
#include "framework/dataview/columns.h"

dv_definition make_dw_member_levelid() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_member_levelid";
  d.sql = "SELECT t_member_level.levelid, t_member_level.levelname FROM t_member_level";
  d.update_table = "t_member_level";
  d.columns = {
      stored("levelid", integer).width(200).key(),
      stored("levelname", text(60)).width(400),
  };
  return d;
}
