// Data view without a database: values entering cells, display text, row status, computed
// columns, tab orders, the statements update() builds and the SELECT list a table view builds.

#include <gtest/gtest.h>

#include "framework/dataview/columns.h"
#include "framework/dataview/data_view.h"
#include "framework/dataview/dml.h"
#include "support/cell_checks.h"

namespace {

dv_definition cells_def() {
  using namespace dv_columns;
  dv_definition d;
  d.name = "dw_cells";
  d.update_table = "t_member";
  d.columns = {
      row_number(),
      stored("memberid", integer).header("会员代号").key(),
      stored("membername", text(60)).header("会员名称:"),
      stored("amountconsumed", decimal_places(2)).format("0.00"),
      stored("lastupdated", date_time),
      stored("sex", text(4)).codes({{"男", "男"}, {"女", "女"}}),
      stored("marry", text(10)).codes({{"未婚", "0"}, {"已婚", "1"}}),
      stored("medcard", integer).checkbox("是否医保卡"),
      stored("birthday", date_number),
      stored("integral", integer).at_least(0),
      computed("compute_2", integer, "years_after(date(string(birthday,'####-##-##')), today())"),
      computed("compute_3", integer,
               " int(daysafter( date(string( birthday,'####-##-##' )) , today()  )   / 365)"),
  };
  return d;
}

class dataview_cells : public ::testing::Test {
 protected:
  dataview_cells() : dv(def) {}
  int c(std::string_view name) const { return def.column_index(name); }
  dv_definition def = cells_def();
  data_view dv;
};

TEST_F(dataview_cells, refused_values_keep_the_old_value_and_say_why) {
  ASSERT_EQ(dv.insertrow(0), 1);
  ASSERT_EQ(dv.setitem(1, "memberid", value(int64_t(7))), 1);
  ASSERT_EQ(dv.setitem(1, "membername", value("张三")), 1);
  ASSERT_EQ(dv.setitem(1, "amountconsumed", value(*decimal::parse("12.50"))), 1);
  ASSERT_EQ(dv.setitem(1, "lastupdated", value("2009-07-05 08:30:00")), 1);
  ASSERT_EQ(dv.setitem(1, "sex", value("男")), 1);
  ASSERT_EQ(dv.setitem(1, "medcard", value(1)), 1);

  struct refusal {
    const char* column;
    value v;
    const char* message_part;
  };
  const std::string sixty_one(61, 'a');
  const std::string thirty_one_han = [] {
    std::string s;
    for (int i = 0; i < 31; ++i) s += "张";  // 62 GBK bytes
    return s;
  }();
  const refusal cases[] = {
      {"memberid", value("abc"), "请输入有效的数字"},
      {"memberid", value("12.5"), "整数"},
      {"memberid", value(*decimal::parse("3.25")), "整数"},
      {"memberid", value(datetime::from_parts(2009, 1, 1)), "请输入有效的数字"},
      {"amountconsumed", value("12,5"), "请输入有效的数字"},
      {"amountconsumed", value(decimal{__int128(1) << 124, 0}), "数值超出范围"},  // 38 digits
      {"membername", value(sixty_one), "会员名称的长度不能超过 60 个字节"},
      {"membername", value(thirty_one_han), "会员名称的长度不能超过 60 个字节"},
      // A text is stored whole or not at all: a NUL (PostgreSQL would keep what comes before
      // it) and bytes that are not UTF-8 (stray continuation bytes counted no length) are refused.
      {"membername", value(std::string("王五\0（停用）", 19)), "空字符"},
      {"membername", value(std::string(200, '\x80')), "UTF-8"},
      {"membername", value("\xC0\xAF a\xED\xA0\x80"), "UTF-8"},  // overlong, surrogate
      {"membername", value("张\xE4\xB8"), "UTF-8"},                // cut off
      {"birthday", value(20230229), "日期"},
      {"birthday", value("99999999"), "日期"},
      {"birthday", value(1980705), "日期"},  // seven digits
      {"integral", value(-1), "不能小于 0"},
      {"lastupdated", value("2009-02-30 10:00:00"), "日期"},
      {"lastupdated", value("yesterday"), "日期"},
      {"sex", value("未知"), "男、女"},
      {"medcard", value(2), "是否医保卡"},
  };
  for (const refusal& r : cases) {
    SCOPED_TRACE(std::string(r.column) + " <- " + r.v.to_text());
    value before = dv.getitem(1, r.column);
    EXPECT_EQ(dv.setitem(1, r.column, r.v), -1);
    EXPECT_NE(dv.last_error().find(r.message_part), std::string::npos) << dv.last_error();
    EXPECT_EQ(dv.getitem(1, r.column), before);
  }
  // The same through the edit path.
  EXPECT_EQ(dv.settext(1, c("memberid"), "1x"), -1);
  EXPECT_EQ(dv.getitem(1, "memberid"), value(int64_t(7)));
}

TEST_F(dataview_cells, accepted_values_are_converted_to_the_column_type) {
  ASSERT_EQ(dv.insertrow(0), 1);
  EXPECT_EQ(dv.settext(1, c("memberid"), " 42 "), 1);
  EXPECT_EQ(dv.getitem(1, "memberid"), value(int64_t(42)));
  EXPECT_EQ(dv.setitem(1, "memberid", value(*decimal::parse("43.00"))), 1);
  EXPECT_EQ(dv.getitem(1, "memberid"), value(int64_t(43)));
  EXPECT_EQ(dv.settext(1, c("memberid"), ""), 1);  // blank into a number is null
  EXPECT_TRUE(dv.getitem(1, "memberid").is_null());

  EXPECT_EQ(dv.settext(1, c("amountconsumed"), "155"), 1);
  EXPECT_EQ(dv.gettext(1, c("amountconsumed")), "155.00");
  EXPECT_EQ(dv.setitem(1, "amountconsumed", value(int64_t(3))), 1);
  EXPECT_EQ(number_in(dv.getitemnumber(1, "amountconsumed")).to_string(), "3.00");

  std::string sixty_han_bytes;
  for (int i = 0; i < 30; ++i) sixty_han_bytes += "李";
  EXPECT_EQ(dv.setitem(1, "membername", value(sixty_han_bytes)), 1);
  EXPECT_EQ(dv.settext(1, c("lastupdated"), "2009-07-05"), 1);
  EXPECT_EQ(dv.gettext(1, c("lastupdated")), "2009-07-05 00:00:00");

  // Code table: the data value is stored, the display value shown; a display value typed is
  // taken for its data value.
  EXPECT_EQ(dv.settext(1, c("marry"), "已婚"), 1);
  EXPECT_EQ(dv.getitemstring(1, "marry"), "1");
  EXPECT_EQ(dv.gettext(1, c("marry")), "已婚");
  EXPECT_EQ(dv.settext(1, c("medcard"), "0"), 1);
  EXPECT_EQ(dv.getitem(1, "medcard"), value(int64_t(0)));

  EXPECT_EQ(dv.settext(1, c("birthday"), "20240229"), 1);
  EXPECT_EQ(dv.settext(1, c("integral"), "0"), 1);
  EXPECT_EQ(dv.settext(1, c("membername"), "𠀀 é"), 1);  // four-, two- and one-byte UTF-8
}

TEST_F(dataview_cells, empty_texts_before_any_text_was_stored) {
  // A row inserted into an empty view, a text typed and cleared, then found: no text byte is
  // held yet (the sanitizer build checks that no null pointer reaches memcpy or memcmp).
  ASSERT_EQ(dv.insertrow(0), 1);
  ASSERT_EQ(dv.settext(1, c("membername"), ""), 1);
  EXPECT_EQ(dv.getitemstring(1, "membername"), "");
  EXPECT_EQ(dv.find("membername = \"\"", 1, 1), 1);
  EXPECT_EQ(dv.find("membername <> ''", 1, 1), 0);
  ASSERT_EQ(dv.settext(1, c("membername"), "张"), 1);
  ASSERT_EQ(dv.settext(1, c("membername"), ""), 1);
  EXPECT_EQ(dv.find("membername = ''", 1, 1), 1);
}

TEST_F(dataview_cells, status_follows_edits_and_an_unchanged_value_changes_nothing) {
  ASSERT_EQ(dv.insertrow(0), 1);
  EXPECT_EQ(dv.getitemstatus(1, -1, dv_buffer::primary), dv_status::new_);
  EXPECT_EQ(dv.modifiedcount(), 0);
  EXPECT_EQ(dv.setitem(1, "memberid", value()), 1);  // null into a null cell: no change
  EXPECT_EQ(dv.getitemstatus(1, -1, dv_buffer::primary), dv_status::new_);
  EXPECT_EQ(dv.setitem(1, "memberid", value(5)), 1);
  EXPECT_EQ(dv.getitemstatus(1, -1, dv_buffer::primary), dv_status::newmodified);
  EXPECT_EQ(dv.getitemstatus(1, c("memberid"), dv_buffer::primary), dv_status::datamodified);
  EXPECT_EQ(dv.getitemstatus(1, c("membername"), dv_buffer::primary), dv_status::notmodified);
  EXPECT_EQ(dv.modifiedcount(), 1);

  // A new row that is deleted just goes: nothing to delete in the database.
  ASSERT_EQ(dv.insertrow(1), 1);
  EXPECT_EQ(dv.rowcount(), 2);
  EXPECT_EQ(dv.getrow(), 1);
  EXPECT_EQ(dv.getitem(2, "memberid"), value(int64_t(5)));
  EXPECT_EQ(dv.deleterow(2), 1);
  EXPECT_EQ(dv.rowcount(), 1);
  EXPECT_EQ(dv.deletedcount(), 0);
  EXPECT_EQ(dv.modifiedcount(), 0);
  EXPECT_EQ(dv.setitem(9, "memberid", value(1)), -1);
}

TEST_F(dataview_cells, listeners_follow_row_edits_and_the_current_row) {
  struct recorder : dv_listener {
    std::vector<std::string> seen;
    void dv_reset() override { seen.push_back("reset"); }
    void dv_rows_inserted(int64_t first, int64_t n) override { seen.push_back("ins " + std::to_string(first) + "+" + std::to_string(n)); }
    void dv_rows_removed(int64_t first, int64_t n) override { seen.push_back("del " + std::to_string(first) + "+" + std::to_string(n)); }
    void dv_row_changed(int64_t row) override { seen.push_back("chg " + std::to_string(row)); }
    void dv_current_changed(int64_t o, int64_t n) override { seen.push_back("cur " + std::to_string(o) + ">" + std::to_string(n)); }
  } r;
  dv.add_listener(&r);
  ASSERT_EQ(dv.insertrow(0), 1);
  ASSERT_EQ(dv.insertrow(0), 2);
  ASSERT_EQ(dv.setitem(2, "memberid", value(1)), 1);
  ASSERT_EQ(dv.setitem(2, "memberid", value(1)), 1);  // unchanged: not told
  ASSERT_EQ(dv.setrow(1), 1);
  ASSERT_EQ(dv.deleterow(2), 1);
  ASSERT_EQ(dv.deleterow(1), 1);
  dv.remove_listener(&r);
  const std::vector<std::string> expected = {"ins 1+1", "cur 0>1", "ins 2+1", "cur 1>2", "chg 2",
                                             "cur 2>1", "del 2+1", "cur 1>1", "del 1+1", "cur 1>0"};
  EXPECT_EQ(r.seen, expected);
  EXPECT_EQ(dv.getrow(), 0);
}

TEST_F(dataview_cells, computed_columns_give_row_numbers_and_ages_against_a_fixed_today) {
  data_view::set_today_provider([] { return datetime::from_parts(2026, 3, 14); });
  for (int i = 1; i <= 3; ++i) ASSERT_EQ(dv.insertrow(0), i);
  ASSERT_EQ(dv.setitem(1, "birthday", value(19900315)), 1);
  ASSERT_EQ(dv.setitem(2, "birthday", value(19900314)), 1);
  EXPECT_EQ(dv.setitem(3, "birthday", value(19900230)), -1);  // no such date: refused, left null
  EXPECT_EQ(dv.getitem(2, "compute_1"), value(int64_t(2)));
  EXPECT_EQ(dv.gettext(3, c("compute_1")), "3");
  EXPECT_EQ(dv.getitem(1, "compute_2"), value(int64_t(35)));
  EXPECT_EQ(dv.getitem(2, "compute_2"), value(int64_t(36)));
  EXPECT_TRUE(dv.getitem(3, "compute_2").is_null());
  EXPECT_EQ(dv.gettext(3, c("compute_2")), "");
  EXPECT_EQ(dv.getitem(1, "compute_3"), value(int64_t(36)));  // 13148 days / 365 = 36.02
  EXPECT_EQ(dv.setitem(1, "compute_1", value(9)), -1);
  data_view::set_today_provider({});
}

TEST_F(dataview_cells, modify_sets_tab_orders_and_reports_bad_properties) {
  struct listener : dv_listener {
    int changed = 0;
    void dv_columns_changed() override { ++changed; }
  } l;
  dv.add_listener(&l);
  EXPECT_EQ(dv.modify("memberid.TabSequence=10"), "");
  EXPECT_EQ(dv.modify("MEMBERNAME.tabsequence=30"), "");
  EXPECT_EQ(dv.tab_sequence(c("memberid")), 10);
  EXPECT_EQ(dv.tab_sequence(c("membername")), 30);
  EXPECT_EQ(dv.definition().columns[size_t(c("memberid"))].tab, 10);
  EXPECT_EQ(l.changed, 2);
  EXPECT_NE(dv.modify("nosuch.TabSequence=10"), "");
  EXPECT_NE(dv.modify("memberid.Width=10"), "");
  EXPECT_NE(dv.modify("memberid.TabSequence=ten"), "");
  EXPECT_EQ(dv.tab_sequence(c("memberid")), 10);
  dv.remove_listener(&l);
}

TEST_F(dataview_cells, update_without_changes_or_without_update_table) {
  EXPECT_EQ(dv.update(), 1);  // nothing to do, no transaction needed
  dv_definition ro = def;
  ro.update_table.clear();
  data_view view(ro);
  EXPECT_EQ(view.update(), 1);
  ASSERT_EQ(view.insertrow(0), 1);
  ASSERT_EQ(view.setitem(1, "memberid", value(1)), 1);
  EXPECT_EQ(view.update(), -1);
  EXPECT_NE(view.last_error().find("not updatable"), std::string::npos);
  EXPECT_EQ(view.getitemstatus(1, -1, dv_buffer::primary), dv_status::newmodified);
}

// The generated statements, text and bound values, in each backend's dialect: names quoted
// (PostgreSQL's folded to lower case, as its unquoted DDL made them), every value bound.
TEST(dataview_dml, statements_bind_every_value_and_match_originals) {
  // Static, so that the cases' lambdas reach them without captures.
  static const dml_cell key{"memberid", col_type::long_t, 0, value(7), value(7)};
  static const dml_cell phone{"contactPhone", col_type::string_t, 0, value("13800000000"), value()};
  static const dml_cell amount{"amountconsumed", col_type::decimal_t, 2, value(*decimal::parse("2.50")),
                        value(*decimal::parse("1.25"))};
  static const dml_cell new_key{"memberid", col_type::long_t, 0, value(8), value(7)};
  static const dml_cell keyword{"order", col_type::long_t, 0, value(1), value(2)};
  const value d125(*decimal::parse("1.25")), d250(*decimal::parse("2.50"));
  struct golden {
    dml_statement (*make)(backend);
    const char* sqlite;
    const char* postgres;
    std::vector<value> params;
  };
  const golden cases[] = {
      // A delete matches the row as read: a row changed meanwhile is left alone.
      {[](backend b) { return make_delete(b, "t_member", std::vector{key}, std::vector{phone, amount}); },
       R"(DELETE FROM "t_member" WHERE "memberid" = :p1 AND "contactPhone" IS NULL AND )"
       R"(ROUND("amountconsumed", 2) = ROUND(:p2, 2))",
       R"(DELETE FROM "t_member" WHERE "memberid" = :p1 AND "contactphone" IS NULL AND )"
       R"(ROUND("amountconsumed", 2) = ROUND(:p2, 2))",
       {value(7), d125}},
      {[](backend b) { return make_update(b, "t_member", std::vector{key}, std::vector{phone, amount}); },
       R"(UPDATE "t_member" SET "contactPhone" = :p1, "amountconsumed" = :p2 WHERE "memberid" = :p3 )"
       R"(AND "contactPhone" IS NULL AND ROUND("amountconsumed", 2) = ROUND(:p4, 2))",
       R"(UPDATE "t_member" SET "contactphone" = :p1, "amountconsumed" = :p2 WHERE "memberid" = :p3 )"
       R"(AND "contactphone" IS NULL AND ROUND("amountconsumed", 2) = ROUND(:p4, 2))",
       {value("13800000000"), d250, value(7), d125}},
      {[](backend b) { return make_update(b, "t_member", std::vector{new_key}, std::vector{new_key}); },
       R"(UPDATE "t_member" SET "memberid" = :p1 WHERE "memberid" = :p2)",
       R"(UPDATE "t_member" SET "memberid" = :p1 WHERE "memberid" = :p2)", {value(8), value(7)}},
      // A keyword as a column name, a schema-qualified table, a quote in a name.
      {[](backend b) { return make_insert(b, "shop.T_Member", std::vector{key, keyword}); },
       R"(INSERT INTO "shop"."T_Member" ("memberid", "order") VALUES (:p1, :p2))",
       R"(INSERT INTO "shop"."t_member" ("memberid", "order") VALUES (:p1, :p2))", {value(7), value(1)}},
      {[](backend b) { return make_count(b, "a\"b", std::vector{keyword}); },
       R"(SELECT COUNT(*) FROM "a""b" WHERE "order" = :p1)",
       R"(SELECT COUNT(*) FROM "a""b" WHERE "order" = :p1)", {value(2)}},
  };
  for (const golden& g : cases)
    for (backend b : {backend::sqlite, backend::postgres}) {
      const dml_statement got = g.make(b);
      EXPECT_EQ(got.sql, b == backend::sqlite ? g.sqlite : g.postgres);
      EXPECT_EQ(got.params, g.params) << got.sql;
    }
}

// Computed columns are not read; a column declared as an expression is selected under its name.
TEST(dataview_select, a_table_query_reads_each_declared_column_in_order) {
  using namespace dv_columns;
  const std::vector<dv_column> columns = {
      row_number(), stored("memberno", text(20)), computed("compute_2", integer, "1"),
      queried("integral", integer).as("COALESCE(t_member.integral, 0)"), stored("memberid", integer)};
  EXPECT_EQ(select_from("t_member", columns),
            "SELECT t_member.memberno,\n"
            "       COALESCE(t_member.integral, 0) AS integral,\n"
            "       t_member.memberid\n"
            "  FROM t_member");
}

}  // namespace
