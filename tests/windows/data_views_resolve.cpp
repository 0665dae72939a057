// Every registered data view against the schema on both backends: its query runs and yields each
// column it declares, its update table holds each column it writes and has a key among them,
// each drop-down names a data view with the columns it shows and stores, and no two columns
// of the module's data views that take the focus share a tab order (the grid test's own view
// repeats one on purpose).

#include <algorithm>
#include <set>

#include "data/schema.h"
#include "framework/dataview/data_view.h"
#include "support/old_layouts.h"
#include "support/test_db.h"

namespace {

void check_every_data_view(uo_transaction& tr) {
  const std::vector<std::string> names = definition_names();
  ASSERT_TRUE(std::find(names.begin(), names.end(), "dw_member_maintain") != names.end());
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const dv_definition* found = find_definition(name);
    ASSERT_NE(found, nullptr);
    const dv_definition& d = *found;
    data_view dv(d);
    dv.settransobject(&tr);
    // Null arguments read no rows, but the query is prepared and its columns matched.
    EXPECT_GE(dv.retrieve(std::vector<value>(d.arguments.size())), 0) << dv.last_error();
    const bool module_view = !name.starts_with("dw_ui_test_");
    bool keyed = false;
    std::set<int> tabs;
    for (const dv_column& c : d.columns) {
      SCOPED_TRACE(c.name);
      if (!d.update_table.empty() && !c.db_name.empty()) {
        row_collector none;
        EXPECT_EQ(tr.query("SELECT " + c.db_name + " FROM " + d.update_table + " WHERE 1 = 0", {},
                           none),
                  0)
            << tr.sqlerrtext;
        keyed = keyed || c.key;
      }
      if (c.style == edit_style::dddw) {
        const dv_definition* dddw = find_definition(c.dddw_name);
        ASSERT_NE(dddw, nullptr) << c.dddw_name;
        EXPECT_GE(dddw->column_index(c.dddw_display), 0) << c.dddw_display;
        EXPECT_GE(dddw->column_index(c.dddw_data), 0) << c.dddw_data;
      }
      if (c.style == edit_style::codetable) EXPECT_FALSE(c.codes.empty());
      if (module_view && c.tab > 0) EXPECT_TRUE(tabs.insert(c.tab).second) << "tab order " << c.tab << " twice";
    }
    if (!d.update_table.empty()) EXPECT_TRUE(keyed) << "update table without a key column";
  }
}

using data_views_resolve = db_test;
TEST_P(data_views_resolve, against_the_schema) { check_every_data_view(tr()); }
INSTANTIATE_BOTH_BACKENDS(data_views_resolve);

class data_views_on_upgraded : public db_test {
 public:
  data_views_on_upgraded() { with_schema_ = false; }
};

TEST_P(data_views_on_upgraded, a_database_of_release_1_0_0) {
  std::string error;
  ASSERT_TRUE(load_old_layout(admin(), release_1_0_0, error)) << error;
  ASSERT_TRUE(fill_old_rows(admin(), error)) << error;
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  check_every_data_view(tr());
}
INSTANTIATE_BOTH_BACKENDS(data_views_on_upgraded);

}  // namespace
