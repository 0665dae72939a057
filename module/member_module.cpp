#include "module/member_module.h"

#include "award/dw_member_award.h"
#include "award/dw_member_award_control.h"
#include "award/dw_member_award_method.h"
#include "award/dw_member_award_record.h"
#include "data/demo_data.h"
#include "data/dw_member_levelid.h"
#include "data/schema.h"
#include "framework/dataview/definition.h"
#include "lookup/dw_choose_member.h"
#include "lookup/dw_member_price_query.h"
#include "member/dw_member_info.h"
#include "member/dw_member_maintain.h"
#include "member/dw_member_view.h"

// Generated from member_module.json: registers the windows it lists.
void register_member_windows();

void member_module::init() {
  for (dv_definition (*make)() :
       {make_dw_member_levelid, make_dw_member_maintain, make_dw_member_view, make_dw_member_info,
        make_dw_choose_member, make_dw_member_price_query, make_dw_member_award,
        make_dw_member_award_control, make_dw_member_award_method, make_dw_member_award_record}) {
    register_definition(make());
  }
  register_member_windows();
}

std::string member_module::missing_table(uo_transaction& tr) {
  return ::schema_exists(tr) ? "" : "t_member";
}
int member_module::create_schema(uo_transaction& tr) { return ::create_schema(tr); }
int member_module::drop_schema(uo_transaction& tr) { return ::drop_schema(tr); }
int member_module::stored_schema_version(uo_transaction& tr) { return member_schema_version(tr); }
int member_module::schema_version() const { return member_schema().version; }

std::string member_module::schema_summary(uo_transaction& tr) {
  return tr.kind() == backend::postgres
             ? "the member tables and the role " + std::string(terminal_role) + " with its rights"
             : "the member tables";
}

int64_t member_module::data_rows(uo_transaction& tr) {
  std::vector<value> into;
  if (tr.select_into("SELECT COUNT(*) FROM t_member", {}, into) != 0 || into.empty()) return -1;
  return into[0].as_long();
}

int member_module::generate_demo_data(uo_transaction& tr, int64_t members, int64_t made_on) {
  demo_options opt;
  opt.members = members;
  opt.made_on = made_on;
  return ::generate_demo_data(tr, opt);
}
