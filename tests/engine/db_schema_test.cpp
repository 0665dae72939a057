// The schema on both backends, the demo data, the level drop-down and the choose-member plan.
#include <gtest/gtest.h>

#include <set>

#include "data/demo_data.h"
#include "data/dw_member_levelid.h"
#include "data/schema.h"
#include "framework/dataview/definition.h"
#include "support/test_db.h"

namespace {

class db_schema_test : public db_test {};
INSTANTIATE_BOTH_BACKENDS(db_schema_test);

TEST_P(db_schema_test, create_is_repeatable_and_drop_removes_it) {
  EXPECT_TRUE(schema_exists(tr()));
  EXPECT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  EXPECT_EQ(drop_schema(admin()), 0) << admin().sqlerrtext;
  EXPECT_FALSE(schema_exists(tr()));
  EXPECT_EQ(tr().execute("SELECT * FROM t_member"), -1);
  EXPECT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  EXPECT_TRUE(schema_exists(tr()));
}

TEST_P(db_schema_test, tables_hold_what_the_module_reads) {
  // Every column the module names, spelled as its statements spell them.
  const char* queries[] = {
      "SELECT memberid, membername, memberaddr, contactphone, lastupdated, memberno, amountconsumed, "
      "levelid, integral, age, sex, siteid, ail, usercard, company, notes, medcard, available, "
      "adddate, code, birthday, mobile, marry, jones, medical FROM t_member",
      "SELECT levelid, levelname FROM t_member_level",
      "SELECT PARAMNAME, currentvalue FROM t_sys_param",
      "SELECT methodid, mdname, mdintegral, notes FROM T_MEMBER_AWARD_METHOD",
      "SELECT seqid, memberid, mdname, mdintegral, notes, timevalidated FROM T_MEMBER_AWARD_RECORD",
      "SELECT SEQID FROM T_MEMBER_AWARD_TO_UP",
      "SELECT articleid, udfcode, name, spec, manufacturer, unit, price, barcode, memberdiscount FROM t_article",
      "SELECT levelid, articleid, price FROM t_article_member_level_price",
      "SELECT billno, memberid, billdate, amount FROM t_bill_header",
  };
  for (const char* q : queries) EXPECT_EQ(admin().execute(q), 0) << q << ": " << admin().sqlerrtext;

  // Keys are required; texts are not padded; a level price per (level, article) only.
  EXPECT_EQ(admin().execute("INSERT INTO t_member (membername) VALUES ('x')"), -1);
  admin().rollback();
  exec("INSERT INTO t_member (memberid, sex, memberno) VALUES (1, '男', '12')");
  EXPECT_EQ(scalar_text("SELECT memberno || '|' || sex FROM t_member"), "12|男");
  exec("INSERT INTO t_article_member_level_price (levelid, articleid, price) VALUES (1, 1, 9.5)");
  EXPECT_EQ(admin().execute("INSERT INTO t_article_member_level_price (levelid, articleid, price) "
                         "VALUES (1, 1, 9.0)"),
            -1);
  admin().rollback();
  // An award's points are never negative, whichever program writes them.
  exec("INSERT INTO t_member_award_method (methodid, mdintegral) VALUES (1, 0)");
  EXPECT_EQ(admin().execute("UPDATE t_member_award_method SET mdintegral = -1"), -1);
  admin().rollback();
}

TEST_P(db_schema_test, lastupdated_is_stamped_on_insert_and_change) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 10)");
  value stamped = scalar("SELECT lastupdated FROM t_member WHERE memberid = 1");
  ASSERT_TRUE(stamped.is_datetime()) << stamped.to_text();
  exec("UPDATE t_member SET lastupdated = :t WHERE memberid = 1",
       {value(datetime::from_parts(2009, 7, 5, 10))});
  EXPECT_EQ(scalar_text("SELECT lastupdated FROM t_member"), "2009-07-05 10:00:00") << "set explicitly, kept";
  exec("UPDATE t_member SET integral = integral - 5 WHERE memberid = 1");
  value after = scalar("SELECT lastupdated FROM t_member WHERE memberid = 1");
  ASSERT_TRUE(after.is_datetime());
  EXPECT_GT(after.as_datetime(), datetime::from_parts(2009, 7, 5, 10));
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member"), 5);
}

TEST_P(db_schema_test, demo_data_is_complete_and_deterministic) {
  demo_options o;
  o.members = 400;
  o.articles = 60;
  o.award_records = 30;
  o.made_on = 20261209;
  ASSERT_EQ(generate_demo_data(admin(), o), 0) << admin().sqlerrtext;
  EXPECT_FALSE(admin().in_transaction());
  // Nothing happens after the day the data is made; a stored age is the birthday's age that day.
  EXPECT_EQ(scalar_long("SELECT MAX(timevalidated) FROM t_member_award_record") / 10000, 2026);
  EXPECT_LE(scalar_long("SELECT MAX(timevalidated) FROM t_member_award_record"), 20261209);
  EXPECT_LE(scalar_long("SELECT MAX(adddate) FROM t_member"), 20261209);
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_bill_header WHERE billdate >= :d",
                        {value(datetime::from_parts(2026, 12, 10))}), 0);
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member WHERE lastupdated >= :d",
                        {value(datetime::from_parts(2026, 12, 10))}), 0);
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member WHERE age IS NOT NULL AND age <> 2026 - "
                        "birthday / 10000 - CASE WHEN birthday % 10000 > 1209 THEN 1 ELSE 0 END"),
            0);
  EXPECT_GT(scalar_long("SELECT COUNT(*) FROM t_member WHERE age IS NOT NULL"), 300);
  for (auto [table, rows] : {std::pair{"t_member", 400}, {"t_member_level", 3}, {"t_article", 60},
                             {"t_member_award_record", 30}, {"t_bill_header", 100}})
    EXPECT_EQ(row_count(table), rows) << table;
  EXPECT_EQ(scalar_text("SELECT levelname FROM t_member_level WHERE levelid = 3"), "金卡会员");
  for (auto [name, v] : {std::pair{"MEMBER_SITE", 1}, {"MEMBER_MODIFY", 0}, {"MOBILE_CHECK", 1}, {"MEMBER_RATE", 10}})
    EXPECT_EQ(scalar_long("select cast(currentvalue as int) from t_sys_param where PARAMNAME = :n", {value(name)}), v)
        << name;
  EXPECT_EQ(scalar_text("SELECT memberno FROM t_member WHERE memberid = 123"), "000123");
  EXPECT_EQ(scalar_long("SELECT COUNT(DISTINCT memberno) FROM t_member"), 400);
  // Members with the condition: none of the first kind, some of the second.
  const auto members = [&](const std::string& condition) {
    return scalar_long("SELECT COUNT(*) FROM t_member WHERE " + condition);
  };
  for (const char* none : {"mobile IS NOT NULL AND LENGTH(mobile) <> 11",
                           "contactphone IS NOT NULL AND LENGTH(contactphone) <> 11",
                           "sex NOT IN ('男', '女') OR marry NOT IN ('未婚', '已婚', '离婚')"})
    EXPECT_EQ(members(none), 0) << none;
  for (const char* some : {"siteid = 2", "birthday IS NULL", "available = 1"})
    EXPECT_GT(members(some), 0) << some;
  EXPECT_GT(scalar_long("SELECT COUNT(*) FROM t_article a WHERE NOT EXISTS (SELECT 1 FROM "
                        "t_article_member_level_price p WHERE p.articleid = a.articleid AND p.levelid = 2)"),
            0)
      << "some articles have no price for a level";
  EXPECT_EQ(scalar_text("SELECT MIN(mdintegral) FROM T_MEMBER_AWARD_METHOD WHERE mdintegral > 0"), "150");

  // Texts fit the lengths the screens check (GBK bytes).
  row_collector texts;
  ASSERT_EQ(tr().query("SELECT membername, memberaddr, company, usercard FROM t_member", {}, texts), 0);
  const int limits[] = {60, 60, 40, 18};
  for (const auto& row : texts.rows)
    for (size_t c = 0; c < row.size(); ++c)
      if (!row[c].is_null()) {
        EXPECT_LE(gbk_length(row[c].as_string()), limits[c]) << row[c].as_string();
      }

  // Redemption numbers continue after the demo records.
  EXPECT_EQ(f_get_next_sequence("t_member_award", tr()), 31);

  // The same seed gives the same data.
  auto fingerprint = [&] {
    row_collector rows;
    EXPECT_EQ(tr().query("SELECT membername, memberaddr, amountconsumed, birthday, integral FROM t_member "
                         "WHERE memberid IN (1, 7, 99, 400) ORDER BY memberid",
                         {}, rows),
              0);
    std::string s;
    for (const auto& r : rows.rows)
      for (const auto& v : r) s += v.to_text() + ";";
    return s;
  };
  std::string first = fingerprint();
  ASSERT_EQ(drop_schema(admin()), 0);
  ASSERT_EQ(create_schema(admin()), 0);
  ASSERT_EQ(generate_demo_data(admin(), o), 0) << admin().sqlerrtext;
  EXPECT_EQ(fingerprint(), first);

  // Not on top of existing rows: refused, and nothing half written.
  EXPECT_EQ(generate_demo_data(admin(), o), -1);
  EXPECT_FALSE(admin().sqlerrtext.empty());
  EXPECT_EQ(row_count("t_member"), 400);
  o.members = 5;
  EXPECT_EQ(generate_demo_data(admin(), o), -1);
}

TEST_P(db_schema_test, level_drop_down_is_registered_and_reads) {
  // The module registers it when it is loaded; here without a loader.
  register_definition(make_dw_member_levelid());
  const dv_definition* d = find_definition("DW_MEMBER_LEVELID");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->update_table, "t_member_level");
  ASSERT_EQ(d->columns.size(), 2u);
  EXPECT_EQ(d->columns[0].name, "levelid");
  EXPECT_TRUE(d->columns[0].key);
  EXPECT_EQ(d->columns[1].length, 60);
  EXPECT_TRUE(d->columns[0].header.empty() && d->columns[1].header.empty());
  exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员'), (2, '银卡会员')");
  row_collector rows;
  ASSERT_EQ(tr().query(d->sql, {}, rows), 0) << tr().sqlerrtext;
  ASSERT_EQ(rows.columns, (std::vector<std::string>{"levelid", "levelname"}));
  EXPECT_EQ(rows.rows.size(), 2u);
}

// The choose-member search must be served by indexes, not a scan of every member.
TEST_P(db_schema_test, choose_member_search_uses_indexes) {
  demo_options o;
  o.members = 20000;
  o.articles = 10;
  o.award_records = 10;
  ASSERT_EQ(generate_demo_data(admin(), o), 0) << admin().sqlerrtext;
  exec("ANALYZE");
  const char* queries[] = {
      "SELECT memberid FROM t_member WHERE (CAST(memberid AS VARCHAR(20)) = :aliasname OR memberno LIKE "
      ":aliasname||'%' OR membername LIKE :aliasname||'%') AND (available IS NULL OR available = 0)",
      // the same with an escape character that no keyboard types
      "SELECT memberid FROM t_member WHERE (CAST(memberid AS VARCHAR(20)) = :aliasname OR memberno LIKE "
      ":aliasname||'%' ESCAPE '\x1b' OR membername LIKE :aliasname||'%' ESCAPE '\x1b') AND "
      "(available IS NULL OR available = 0)",
  };
  const value search[] = {value("01234")};
  for (const char* q : queries) {
    row_collector plan;
    std::string explain = std::string(kind() == backend::sqlite ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + q;
    ASSERT_EQ(tr().query(explain, search, plan), 0) << tr().sqlerrtext;
    std::string text;
    for (const auto& r : plan.rows) text += r.back().to_text() + "\n";
    if (kind() == backend::sqlite) {
      EXPECT_EQ(text.find("SCAN t_member"), std::string::npos) << text;
      EXPECT_NE(text.find("ix_member_memberno"), std::string::npos) << text;
      EXPECT_NE(text.find("ix_member_memberid_text"), std::string::npos) << text;
    } else {
      EXPECT_EQ(text.find("Seq Scan"), std::string::npos) << text;
      EXPECT_NE(text.find("ix_member_memberno"), std::string::npos) << text;
      EXPECT_NE(text.find("ix_member_memberid_text"), std::string::npos) << text;
    }
    row_collector found;
    ASSERT_EQ(tr().query(q, search, found), 0) << tr().sqlerrtext;
    std::set<int64_t> ids;
    for (const auto& r : found.rows) ids.insert(r[0].as_long());
    int64_t voided = scalar_long("SELECT COUNT(*) FROM t_member WHERE memberno LIKE '01234%' AND available = 1");
    EXPECT_EQ(int64_t(ids.size()) + voided, 10) << "members 012340..012349";
    for (int64_t id : ids) EXPECT_TRUE(id >= 12340 && id <= 12349) << id;
  }
}

}  // namespace
