// The redemption unit: all or nothing whichever statement fails, and safe when many terminals
// redeem for the same members at once.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "award/member_award_redeem.h"
#include "support/test_db.h"

namespace {

constexpr int64_t k_date = 20090705;

// Collects what f_check_sql reports, from any thread.
class report_log {
 public:
  report_log() {
    set_sql_error_reporter([this](const std::string& title, const std::string& text) {
      std::lock_guard lock(mutex_);
      reports_.push_back(title + ": " + text);
    });
  }
  ~report_log() { set_sql_error_reporter(nullptr); }
  std::vector<std::string> take() {
    std::lock_guard lock(mutex_);
    return std::move(reports_);
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> reports_;
};

class redeem_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("insert into t_member (memberid, memberno, integral) values (1, '000001', 500)");
  }
  int64_t points(int64_t memberid) {
    return scalar_long("select integral from t_member where memberid = :id", {memberid});
  }
  report_log reports_;
};

TEST_P(redeem_test, writes_record_queue_entry_and_deduction_as_one_committed_unit) {
  award_redemption r;
  ASSERT_EQ(member_award_redeem(tr(), r, 1, 500, std::string("电饭煲"), std::nullopt, k_date), 1);
  EXPECT_FALSE(tr().in_transaction());

  // Committed: another terminal sees all of it.
  auto other = connect_another();
  std::vector<value> row;
  ASSERT_EQ(other->select_into("select seqid, memberid, mdname, mdintegral, notes, timevalidated "
                               "from t_member_award_record", {}, row), 0);
  EXPECT_GT(row[0].as_long(), 0);
  EXPECT_EQ(row[1].as_long(), 1);
  EXPECT_EQ(row[2].to_text(), "电饭煲");
  EXPECT_EQ(row[3].as_long(), 500);
  EXPECT_TRUE(row[4].is_null());
  EXPECT_EQ(row[5].as_long(), k_date);
  std::vector<value> queued;
  ASSERT_EQ(admin().select_into("select seqid from t_member_award_to_up", {}, queued), 0);
  EXPECT_EQ(queued[0].as_long(), row[0].as_long());
  EXPECT_EQ(points(1), 0);  // an award that costs exactly the member's points
  EXPECT_TRUE(reports_.take().empty());
}

struct failing_step {
  const char* name;
  int64_t memberid, points;
  const char* reported;  // text f_check_sql is given for the failing statement
  int64_t integral = 500;  // member 1's points before
};

// Each step of the unit failing in turn leaves no record, no queue row, the points as they
// were and no transaction open.
TEST_P(redeem_test, a_failing_statement_writes_nothing) {
  const failing_step steps[] = {
      {"record", 1, 100, "增加会员奖励领取记录失败"},
      {"queue", 1, 100, "保存待上传会员奖励记录失败"},
      {"points no longer suffice", 1, 501, "对会员积分进行减少操作失败"},
      {"unknown member", 99, 100, "对会员积分进行减少操作失败"},
      // A negative award raises the points, here past the 64-bit range (SQLite stored a REAL,
      // PostgreSQL said "bigint out of range"): refused in the same words on both.
      {"negative award", 1, -5, "奖励所需积分为负数", INT64_MAX - 2},
      {"no serial number", 1, 100, "取会员奖励领取流水号失败"},  // last: drops the sequence
  };
  for (const failing_step& step : steps) {
    SCOPED_TRACE(step.name);
    const std::string name = step.name;
    exec("update t_member set integral = :p where memberid = 1", {step.integral});
    int64_t records_before = 0;
    if (name == "record") {
      // The number the sequence hands out next is already taken.
      const int64_t seq = f_get_next_sequence("t_member_award", tr());
      ASSERT_GT(seq, 0);
      if (tr().in_transaction()) tr().commit();
      exec("insert into t_member_award_record (seqid, memberid, mdintegral) values (:s, 1, 1)",
           {seq + 1});
      records_before = 1;
    }
    if (name == "queue") exec("alter table t_member_award_to_up rename to t_queue_offline");
    if (name == "no serial number")
      exec(kind() == backend::postgres ? "drop sequence t_member_award_seq"
                                       : "drop table t_sequence");

    award_redemption r;
    EXPECT_EQ(member_award_redeem(tr(), r, step.memberid, step.points, std::string("奖品"),
                                  std::string("备注"), k_date),
              -1);
    EXPECT_FALSE(tr().in_transaction());
    const std::vector<std::string> said = reports_.take();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find(step.reported), std::string::npos) << said[0];

    if (name == "queue") exec("alter table t_queue_offline rename to t_member_award_to_up");
    EXPECT_EQ(row_count("t_member_award_record"), records_before);
    EXPECT_EQ(row_count("t_member_award_to_up"), 0);
    EXPECT_EQ(points(1), step.integral);
    exec("delete from t_member_award_record");
  }
}

// A retry of a redemption whose outcome was not known finds the record of its earlier attempt
// and stores nothing more; one that was not stored is stored by it. The database refuses the
// same redemption twice even to a retry that does not look.
TEST_P(redeem_test, a_retry_after_an_unknown_outcome_stores_the_redemption_once) {
  const auto redeem = [&](award_redemption& r) {
    return member_award_redeem(tr(), r, 1, 100, std::string("奖品"), std::nullopt, k_date);
  };
  award_redemption stored, lost;
  ASSERT_EQ(redeem(stored), redeem_done);
  stored.in_doubt = lost.in_doubt = true;  // as after commits whose answers went missing
  EXPECT_EQ(redeem(stored), redeem_done);
  EXPECT_FALSE(stored.in_doubt);
  EXPECT_EQ(row_count("t_member_award_record"), 1);
  EXPECT_EQ(redeem(lost), redeem_done);
  EXPECT_EQ(row_count("t_member_award_record"), 2);
  EXPECT_EQ(redeem(stored), redeem_failed);
  EXPECT_EQ(row_count("t_member_award_record"), 2);
  EXPECT_EQ(points(1), 300);
  const std::vector<std::string> said = reports_.take();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("增加会员奖励领取记录失败"), std::string::npos) << said[0];
}

INSTANTIATE_BOTH_BACKENDS(redeem_test);

// Eight terminals, each with its own connection, redeem for the same three members until their
// points run out. The points must never go below zero and always match the records.
class redeem_concurrency_test : public db_test {};

TEST_P(redeem_concurrency_test, eight_terminals_never_overdraw_and_every_record_is_queued_once) {
  if (kind() != backend::postgres) GTEST_SKIP() << "several terminals share a PostgreSQL server";
  report_log reports;  // failed deductions are reported; keep them off the test output
  constexpr int64_t k_start = 1000;
  for (int64_t id = 1; id <= 3; ++id)
    exec("insert into t_member (memberid, memberno, integral) values (:id, :no, :p)",
         {id, "00000" + std::to_string(id), k_start});

  constexpr int k_terminals = 8, k_rounds = 40;
  const int64_t costs[] = {7, 13, 50};
  std::atomic<int> done{0}, connect_failures{0};
  std::vector<std::thread> terminals;
  for (int t = 0; t < k_terminals; ++t) {
    terminals.emplace_back([&, t] {
      uo_transaction terminal;
      if (terminal.connect(url()) != 0) {
        ++connect_failures;
        return;
      }
      for (int i = 0; i < k_rounds; ++i) {
        const int64_t member = (t + i) % 3 + 1;
        award_redemption r;
        if (member_award_redeem(terminal, r, member, costs[(t * 7 + i) % 3], std::string("奖品"),
                                std::nullopt, k_date) == 1)
          ++done;
      }
      terminal.disconnect();
    });
  }
  for (std::thread& th : terminals) th.join();
  ASSERT_EQ(connect_failures.load(), 0);

  // Demand far exceeds the points on offer, so some redemptions must have been refused.
  EXPECT_GT(done.load(), 0);
  EXPECT_LT(done.load(), k_terminals * k_rounds);
  EXPECT_EQ(row_count("t_member_award_record"), done.load());
  for (int64_t id = 1; id <= 3; ++id) {
    SCOPED_TRACE(id);
    const int64_t left =
        scalar_long("select integral from t_member where memberid = :id", {id});
    const int64_t spent = scalar_long(
        "select coalesce(sum(mdintegral), 0) from t_member_award_record where memberid = :id",
        {id});
    EXPECT_GE(left, 0);
    EXPECT_EQ(left, k_start - spent);
  }
  EXPECT_EQ(scalar_long("select count(distinct seqid) from t_member_award_record"),
            row_count("t_member_award_record"));
  EXPECT_EQ(scalar_long("select count(*) from t_member_award_record r where (select count(*) "
                        "from t_member_award_to_up q where q.seqid = r.seqid) <> 1"),
            0);
  EXPECT_EQ(row_count("t_member_award_to_up"), row_count("t_member_award_record"));
}

INSTANTIATE_BOTH_BACKENDS(redeem_concurrency_test);

}  // namespace
