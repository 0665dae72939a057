// Units of work across terminals: implicit transactions, f_check_sql, f_get_next_sequence.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "support/test_db.h"

namespace {

class db_transaction_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    set_sql_error_reporter([this](const std::string& title, const std::string& text) {
      reports.push_back(title + "|" + text);
    });
    exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (1, '000001', 500)");
  }
  void TearDown() override {
    set_sql_error_reporter(nullptr);
    db_test::TearDown();
  }
  std::vector<std::string> reports;
};
INSTANTIATE_BOTH_BACKENDS(db_transaction_test);

TEST_P(db_transaction_test, writes_wait_for_commit_reads_do_not_hold_a_transaction) {
  auto other = connect_another();
  std::vector<value> into;
  ASSERT_EQ(tr().select_into("SELECT integral FROM t_member WHERE memberid = 1", {}, into), 0);
  EXPECT_FALSE(tr().in_transaction()) << "a read outside a transaction starts none";

  ASSERT_EQ(tr().execute("UPDATE t_member SET integral = 400 WHERE memberid = 1"), 0);
  EXPECT_TRUE(tr().in_transaction()) << "a write starts a transaction";
  ASSERT_EQ(other->select_into("SELECT integral FROM t_member WHERE memberid = 1", {}, into), 0);
  EXPECT_EQ(into[0], value(500)) << "another terminal sees only committed data";

  ASSERT_EQ(tr().rollback(), 0);
  EXPECT_FALSE(tr().in_transaction());
  ASSERT_EQ(tr().execute("UPDATE t_member SET integral = 300 WHERE memberid = 1"), 0);
  ASSERT_EQ(tr().commit(), 0);
  ASSERT_EQ(other->select_into("SELECT integral FROM t_member WHERE memberid = 1", {}, into), 0);
  EXPECT_EQ(into[0], value(300));
}

// The redemption's unit: record, queue entry, deduction; the last one fails.
TEST_P(db_transaction_test, failed_third_statement_leaves_nothing_written) {
  struct row {
    const char* third;
    std::vector<value> params;
    long code;
  } rows[] = {
      // no such member: no row updated
      {"update t_member set integral =integral- :rate where memberid = 999", {value(150)}, 100},
      // the queue entry again: duplicate key
      {"INSERT INTO T_MEMBER_AWARD_TO_UP ( SEQID ) VALUES ( :seq )", {value(7)}, -1},
  };
  for (const row& r : rows) {
    reports.clear();
    const value p[] = {value(7), value(1), value(150)};
    sqlca.execute("insert into T_MEMBER_AWARD_RECORD ( seqid , memberid , mdname , mdintegral , notes , "
                  "timevalidated ) values ( :seq , :id , '雨伞' , :rate , ' ' , 20091231 )",
                  p);
    ASSERT_TRUE(f_check_sql(true, false, true, "奖励领取", "增加会员奖励领取记录失败", sqlca)) << sqlca.sqlerrtext;
    EXPECT_TRUE(sqlca.in_transaction());
    sqlca.execute("INSERT INTO T_MEMBER_AWARD_TO_UP ( SEQID ) VALUES ( :seq )", p);
    ASSERT_TRUE(f_check_sql(true, false, true, "奖励领取", "保存待上传会员奖励记录失败", sqlca));
    sqlca.execute(r.third, r.params);
    EXPECT_FALSE(f_check_sql(true, true, true, "奖励领取", "对会员积分进行减少操作失败", sqlca));
    // The failing statement's SQLCA survives the rollback.
    EXPECT_EQ(sqlca.sqlcode, r.code) << r.third;
    EXPECT_EQ(sqlca.sqlerrtext.empty(), r.code == 100) << sqlca.sqlerrtext;
    EXPECT_FALSE(sqlca.in_transaction());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("奖励领取|对会员积分进行减少操作失败", 0), 0u) << reports[0];
    if (r.code == -1) {
      EXPECT_NE(reports[0].find(sqlca.sqlerrtext), std::string::npos) << reports[0];
    }
    // Nothing of the unit is stored, as this terminal and another one see it (the queue, which
    // no terminal reads, as the administrator sees it).
    auto other = connect_another();
    for (uo_transaction* t : {&tr(), other.get()}) {
      std::vector<value> into;
      ASSERT_EQ(t->select_into("SELECT COUNT(*) FROM t_member_award_record", {}, into), 0);
      EXPECT_EQ(into[0], value(0));
    }
    EXPECT_EQ(row_count("t_member_award_to_up"), 0);
  }
}

TEST_P(db_transaction_test, committed_unit_is_seen_by_another_terminal) {
  const value p[] = {value(int64_t(8)), value(int64_t(1)), value(int64_t(150))};
  sqlca.execute("INSERT INTO t_member_award_record (seqid, memberid, mdintegral, timevalidated) "
                "VALUES (:seq, :id, :rate, 20091231)",
                p);
  ASSERT_TRUE(f_check_sql(true, false, true, "t", "x", sqlca));
  sqlca.execute("UPDATE t_member SET integral = integral - :rate WHERE memberid = :id",
                std::vector<value>{value(int64_t(150)), value(int64_t(1))});
  ASSERT_TRUE(f_check_sql(true, true, true, "t", "x", sqlca)) << sqlca.sqlerrtext;
  EXPECT_FALSE(sqlca.in_transaction());
  EXPECT_TRUE(reports.empty());
  auto other = connect_another();
  std::vector<value> into;
  ASSERT_EQ(other->select_into("SELECT integral FROM t_member WHERE memberid = 1", {}, into), 0);
  EXPECT_EQ(into[0], value(350));
  ASSERT_EQ(other->select_into("SELECT timevalidated FROM t_member_award_record "
                               "WHERE timevalidated BETWEEN 20091201 AND 20091231", {}, into), 0);
  EXPECT_EQ(into[0], value(20091231));
}

TEST_P(db_transaction_test, f_check_sql_flags) {
  // Failure without report or rollback: false, the transaction stays for the caller to decide.
  tr().execute("UPDATE t_member SET integral = 1 WHERE memberid = 1");
  tr().execute("UPDATE t_member SET integral = 2 WHERE memberid = 2");
  EXPECT_FALSE(f_check_sql(false, false, false, "t", "x", tr()));
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(tr().in_transaction());
  EXPECT_EQ(tr().sqlcode, 100);
  // Report: title, text, and what the database said.
  EXPECT_FALSE(f_check_sql(true, false, true, "查找会员1的总消费金额", "查找会员1的总消费金额失败", tr()));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].rfind("查找会员1的总消费金额|查找会员1的总消费金额失败", 0), 0u);
  EXPECT_NE(reports[0].find("100"), std::string::npos) << reports[0];
  EXPECT_FALSE(tr().in_transaction());
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 500);
}

TEST_P(db_transaction_test, failed_statement_inside_a_transaction_cannot_be_committed_silently) {
  ASSERT_EQ(tr().execute("INSERT INTO t_member (memberid) VALUES (2)"), 0);
  ASSERT_EQ(tr().execute("INSERT INTO t_member (memberid) VALUES (1)"), -1);
  if (kind() == backend::postgres) {
    // The server has aborted the transaction: a commit must not report success.
    EXPECT_EQ(tr().commit(), -1);
    EXPECT_FALSE(tr().in_transaction());
    EXPECT_EQ(row_count("t_member"), 1);
  } else {
    // SQLite undoes only the failing statement.
    EXPECT_EQ(tr().commit(), 0);
    EXPECT_EQ(row_count("t_member"), 2);
  }
}

TEST_P(db_transaction_test, sequence_numbers_are_unique_across_terminals) {
  auto other = connect_another();
  std::set<int64_t> seen;
  int64_t last = 0;
  for (int i = 0; i < 20; ++i) {
    uo_transaction& t = i % 2 ? *other : sqlca;
    int64_t n = f_get_next_sequence("t_member_award", t);
    ASSERT_GT(n, 0) << t.sqlerrtext;
    EXPECT_GT(n, last);
    EXPECT_TRUE(seen.insert(n).second);
    EXPECT_FALSE(t.in_transaction()) << "drawing a number outside a unit leaves no transaction open";
    last = n;
  }
  // Drawn inside a unit that is rolled back: the number is not handed out again.
  ASSERT_EQ(sqlca.execute("UPDATE t_member SET integral = 0 WHERE memberid = 1"), 0);
  int64_t inside = f_get_next_sequence("t_member_award", sqlca);
  ASSERT_GT(inside, last);
  sqlca.rollback();
  if (kind() == backend::postgres) {
    EXPECT_GT(f_get_next_sequence("t_member_award", sqlca), inside);
  }
}

TEST_P(db_transaction_test, unknown_sequence_answers_minus_one) {
  if (kind() == backend::sqlite) {
    // A sequence row is made on first use.
    EXPECT_EQ(f_get_next_sequence("t_new_one", sqlca), 1);
    EXPECT_EQ(f_get_next_sequence("t_new_one", sqlca), 2);
    ASSERT_EQ(sqlca.execute("DROP TABLE t_sequence"), 0);
    sqlca.commit();
  }
  const char* name = kind() == backend::sqlite ? "t_member_award" : "t_no_such";
  EXPECT_EQ(f_get_next_sequence(name, sqlca), -1);
  EXPECT_EQ(sqlca.sqlcode, -1);
  EXPECT_NE(sqlca.sqlerrtext.find(name), std::string::npos) << sqlca.sqlerrtext;

  // Inside a unit the failure does not spoil the unit.
  ASSERT_EQ(sqlca.execute("UPDATE t_member SET integral = 1 WHERE memberid = 1"), 0);
  EXPECT_EQ(f_get_next_sequence(name, sqlca), -1);
  ASSERT_EQ(sqlca.execute("UPDATE t_member SET integral = 2 WHERE memberid = 1"), 0) << sqlca.sqlerrtext;
  ASSERT_EQ(sqlca.commit(), 0) << sqlca.sqlerrtext;
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 2);

  uo_transaction idle;
  EXPECT_EQ(f_get_next_sequence("t_member_award", idle), -1);
}

TEST_P(db_transaction_test, postgres_sequence_does_not_wait_for_another_unit) {
  if (kind() != backend::postgres) GTEST_SKIP() << "SQLite lets one writer in at a time";
  ASSERT_EQ(sqlca.execute("UPDATE t_member SET integral = 0 WHERE memberid = 1"), 0);
  ASSERT_GT(f_get_next_sequence("t_member_award", sqlca), 0);
  auto other = connect_another();
  auto start = std::chrono::steady_clock::now();
  EXPECT_GT(f_get_next_sequence("t_member_award", *other), 0) << other->sqlerrtext;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  sqlca.rollback();
}

}  // namespace
