// The terminals' role on PostgreSQL: exactly the rights the windows use, and a statement beyond
// them refused by the database, its message shown, nothing of the unit kept.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/schema.h"
#include "support/test_db.h"

namespace {

class db_terminal_role_test : public db_test {
 protected:
  void SetUp() override {
    if (GetParam() != backend::postgres) GTEST_SKIP() << "SQLite has no roles";
    db_test::SetUp();
  }
  // "table privilege" lines of the role's grants in this schema, sorted.
  std::vector<std::string> grants(const std::string& sql) {
    row_collector rows;
    EXPECT_EQ(admin().query(sql, {}, rows), 0) << admin().sqlerrtext;
    std::vector<std::string> out;
    for (const auto& r : rows.rows) out.push_back(r[0].to_text() + " " + r[1].to_text());
    std::sort(out.begin(), out.end());
    return out;
  }
};
INSTANTIATE_BOTH_BACKENDS(db_terminal_role_test);

TEST_P(db_terminal_role_test, rights_are_what_the_windows_use_and_stay_so_when_set_up_again) {
  // A cluster from before PostgreSQL 15 lets every role create in public and make temporary
  // tables; the set-up takes that from the terminals.
  exec("GRANT CREATE ON SCHEMA public TO PUBLIC");
  exec("DO $$ BEGIN EXECUTE format('GRANT TEMPORARY ON DATABASE %I TO PUBLIC', current_database()); END $$");
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(grants("SELECT table_name, privilege_type FROM information_schema.table_privileges "
                     "WHERE grantee = 'member_terminal' AND table_schema = current_schema()"),
              (std::vector<std::string>{
                  "t_article SELECT", "t_article_member_level_price SELECT",
                  "t_bill_header SELECT", "t_member DELETE", "t_member SELECT",
                  "t_member_award_method DELETE", "t_member_award_method INSERT",
                  "t_member_award_method SELECT", "t_member_award_method UPDATE",
                  "t_member_award_record INSERT", "t_member_award_record SELECT",
                  "t_member_award_to_up INSERT", "t_member_level SELECT", "t_schema_version SELECT",
                  "t_sys_param SELECT"}));
    // Column rights on the register: every column but the database's time stamp, and the shop
    // number is never changed.
    EXPECT_EQ(grants("SELECT privilege_type, count(*) FROM information_schema.column_privileges "
                     "WHERE grantee = 'member_terminal' AND table_schema = current_schema() AND "
                     "table_name = 't_member' AND privilege_type IN ('INSERT', 'UPDATE') GROUP BY 1"),
              (std::vector<std::string>{"INSERT 24", "UPDATE 23"}));
    EXPECT_EQ(scalar_text(
                  "SELECT has_column_privilege('member_terminal', 't_member', 'integral', 'UPDATE')::text || "
                  "has_column_privilege('member_terminal', 't_member', 'lastupdated', 'UPDATE')::text || "
                  "has_column_privilege('member_terminal', 't_member', 'siteid', 'UPDATE')::text || "
                  "has_sequence_privilege('member_terminal', 't_member_award_seq', 'USAGE')::text || "
                  "has_sequence_privilege('member_terminal', 't_member_award_seq', 'UPDATE')::text || "
                  "has_schema_privilege('member_terminal', current_schema(), 'CREATE')::text || "
                  "has_schema_privilege('member_terminal', 'public', 'CREATE')::text || "
                  "has_database_privilege('member_terminal', current_database(), 'TEMP')::text || "
                  "has_database_privilege('member_terminal', current_database(), 'CONNECT')::text || "
                  "has_function_privilege('member_terminal', 'lo_create(oid)', 'EXECUTE')::text"),
              "truefalsefalsetruefalsefalse" "false" "false" "true" "false");
    ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  }
}

TEST_P(db_terminal_role_test, statement_beyond_the_rights_fails_with_the_database_message) {
  std::vector<std::string> shown;
  set_sql_error_reporter([&](const std::string& title, const std::string& text) {
    shown.push_back(title + ": " + text);
  });
  exec("INSERT INTO t_member (memberid, integral, siteid) VALUES (1, 100, 1)");
  exec("INSERT INTO t_member_award_record (seqid, memberid, mdintegral) VALUES (1, 1, 50)");
  const struct {
    const char* sql;
    const char* message;
  } refused[] = {
      {"UPDATE t_member SET lastupdated = LOCALTIMESTAMP(0) WHERE memberid = 1", "permission denied for table t_member"},
      {"UPDATE t_member SET siteid = 9 WHERE memberid = 1", "permission denied for table t_member"},
      {"DELETE FROM t_member_award_record", "permission denied for table t_member_award_record"},
      {"UPDATE t_member_award_record SET mdintegral = 0", "permission denied for table t_member_award_record"},
      {"SELECT seqid FROM t_member_award_to_up", "permission denied for table t_member_award_to_up"},
      {"INSERT INTO t_member_level (levelid) VALUES (9)", "permission denied for table t_member_level"},
      {"SELECT setval('t_member_award_seq', 1)", "permission denied for sequence t_member_award_seq"},
      {"CREATE TABLE t_mine (a INT)", "permission denied for schema"},
      {"DROP TABLE t_member_award_to_up", "must be owner of table t_member_award_to_up"},
      {"ALTER TABLE t_member ADD COLUMN x INT", "must be owner of table t_member"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.sql);
    // A unit that has already written something the role may write.
    ASSERT_EQ(tr().execute("UPDATE t_member SET notes = 'kept?' WHERE memberid = 1"), 0) << tr().sqlerrtext;
    tr().execute(r.sql);
    EXPECT_FALSE(f_check_sql(true, true, true, "会员维护", "保存失败", tr()));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(r.message), std::string::npos) << shown[0];
    shown.clear();
    EXPECT_FALSE(tr().in_transaction());
    EXPECT_EQ(scalar_text("SELECT COALESCE(notes, '-') || integral || siteid FROM t_member"), "-1001");
    EXPECT_EQ(row_count("t_member_award_record"), 1);
    EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = current_schema()"), 10);
  }
  set_sql_error_reporter(nullptr);
}

}  // namespace
