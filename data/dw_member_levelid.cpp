// dw_member_levelid: the member levels, the drop-down of every grid that shows levelid.
#include "framework/dataview/definition.h"

namespace {

dv_definition make_dw_member_levelid() {
  dv_definition d;
  d.name = "dw_member_levelid";
  d.sql = "SELECT t_member_level.levelid, t_member_level.levelname FROM t_member_level";
  d.update_table = "t_member_level";

  dv_column levelid;
  levelid.name = "levelid";
  levelid.type = col_type::long_t;
  levelid.db_name = "levelid";
  levelid.key = true;
  levelid.width = 200;

  dv_column levelname;
  levelname.name = "levelname";
  levelname.type = col_type::string_t;
  levelname.length = 60;
  levelname.db_name = "levelname";
  levelname.width = 400;

  d.columns = {levelid, levelname};
  return d;
}

const dv_registration reg_dw_member_levelid(make_dw_member_levelid());

}  // namespace
