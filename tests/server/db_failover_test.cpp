// The shop server fails while a redemption's commit waits for its synchronous standby, with the
// session cut at known points: before the standby has the commit, after it has it, and while
// the standby stalls. Nothing a terminal was told had succeeded is missing on the promoted
// standby, and a redemption or save repeated by the terminal is never stored twice.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "award/member_award_redeem.h"
#include "data/schema.h"
#include "framework/dataview/data_view.h"
#include "support/notes_view.h"
#include "support/pg_cluster.h"

namespace {

using namespace std::chrono_literals;
constexpr int64_t k_points = 1000, k_cost = 30;

class db_failover_test : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<int> ports = spare_pg_ports();
    if (ports.size() < 2) GTEST_SKIP() << "MEMBER_PG_SPARE_PORTS needs two ports (run under scripts/with-postgres.sh)";
    std::string reason;
    ASSERT_TRUE(primary_.init(reason)) << reason;
    ASSERT_TRUE(primary_.start(ports[0], "", reason)) << reason;
    ASSERT_EQ(admin_.connect(primary_.admin_url()), 0) << admin_.sqlerrtext;
    ASSERT_EQ(create_schema(admin_), 0) << admin_.sqlerrtext;
    ASSERT_EQ(admin_.execute("CREATE ROLE till LOGIN IN ROLE member_terminal"), 0) << admin_.sqlerrtext;
    ASSERT_EQ(admin_.execute("INSERT INTO t_member (memberid, integral) VALUES (1, :p)",
                             std::vector<value>{value(k_points)}), 0);
    ASSERT_EQ(admin_.commit(), 0);

    ASSERT_TRUE(standby_.init_standby(primary_, reason)) << reason;
    standby_port_ = ports[1];
    ASSERT_NO_FATAL_FAILURE(start_standby());
    // The sequence logs numbers ahead, and again after a checkpoint (the base backup made one):
    // one is drawn while the standby streams, so that what waits below is a redemption's commit.
    ASSERT_GT(f_get_next_sequence("t_member_award", admin_), 0) << admin_.sqlerrtext;
    // Set on the primary alone: the promoted standby has no standby of its own to wait for.
    ASSERT_NO_FATAL_FAILURE(name_standbys("walreceiver"));
    url_ = "postgresql://till@127.0.0.1:" + std::to_string(ports[0]) + ",127.0.0.1:" +
           std::to_string(ports[1]) + "/postgres?target_session_attrs=read-write";
    ASSERT_EQ(till_.connect(url_), 0) << till_.sqlerrtext;
    till_.set_commit_wait_limit(1s);
  }

  // synchronous_standby_names on the primary, in force when this returns: with "nobody" a
  // commit waits while the standby (named walreceiver) streams it all the same.
  void name_standbys(const std::string& names) {
    std::string reason;
    ASSERT_TRUE(primary_.psql("ALTER SYSTEM SET synchronous_standby_names = " + names, reason)) << reason;
    ASSERT_TRUE(primary_.psql("SELECT pg_reload_conf()", reason)) << reason;
    const value state[] = {value(std::string(names == "walreceiver" ? "sync" : "async"))};
    poll("the standby's state", [&] {
      std::vector<value> into;
      return admin_.select_into("SELECT count(*) FROM pg_stat_replication WHERE sync_state = :s",
                                state, into) == 0 && into[0] == value(int64_t(1));
    });
  }
  void poll(const char* what, const std::function<bool()>& done) {
    for (int i = 0; !done(); ++i) {
      ASSERT_LT(i, 500) << what << " (10 s)";
      std::this_thread::sleep_for(20ms);
    }
  }
  // The backend of the terminal whose commit waits for the standby.
  int64_t waiting_for_standby(int64_t other_than = 0) {
    std::vector<value> into;
    const value not_pid[] = {value(other_than)};
    poll("a commit waiting for the standby", [&] {
      return admin_.select_into("SELECT pid FROM pg_stat_activity WHERE usename = 'till' AND "
                                "wait_event = 'SyncRep' AND pid <> :p", not_pid, into) == 0;
    });
    return into.empty() ? 0 : into[0].as_long();
  }
  // The session goes, as when the server ends it or the network fails; or its wait is cancelled
  // on the server, which then answers the commit with a warning.
  void cut(int64_t pid, const std::string& how = "pg_terminate_backend") {
    const value p[] = {value(pid)};
    std::vector<value> into;
    ASSERT_EQ(admin_.select_into("SELECT " + how + "(CAST(:pid AS INTEGER))", p, into), 0)
        << admin_.sqlerrtext;
  }
  void stop_standby() {
    std::string reason;
    ASSERT_TRUE(standby_.stop("fast", reason)) << reason;
    standby_stopped_ = true;
  }
  void start_standby() {
    std::string reason;
    // It tells the primary what it has every second when idle (not every 10 s): waiting commits
    // are released soon after the standby is named again.
    ASSERT_TRUE(standby_.start(standby_port_, "-c wal_receiver_status_interval=1", reason)) << reason;
    standby_stopped_ = false;
  }
  // The primary's machine has failed: the standby (started again if it was stopped) takes over.
  void promote() {
    if (standby_stopped_) ASSERT_NO_FATAL_FAILURE(start_standby());
    std::string reason;
    ASSERT_TRUE(standby_.promote(reason)) << reason;
  }
  void fail_over() {
    std::string reason;
    ASSERT_TRUE(primary_.stop("immediate", reason)) << reason;
    promote();
  }

  int redeem(award_redemption& r) {
    return member_award_redeem(till_, r, 1, k_cost, std::string("奖品"), std::nullopt, 20260101);
  }
  std::future<int> redeem_meanwhile(award_redemption& r) {
    return std::async(std::launch::async, [this, &r] { return redeem(r); });
  }
  // The terminal's answer. One that does not come is a failure; the standby is brought back
  // then, so that the waiting commit ends.
  int answer(std::future<int>& told) {
    if (told.wait_for(30s) != std::future_status::ready) {
      ADD_FAILURE() << "the terminal gave no answer within 30 s";
      if (standby_stopped_) start_standby();
      name_standbys("walreceiver");
    }
    return told.get();
  }
  // On the standby, or the new primary: the records of the redemption, the member's points and
  // notes.
  value on_standby(const std::string& sql, std::vector<value> params = {}) {
    uo_transaction check;
    EXPECT_EQ(check.connect(standby_.admin_url()), 0) << check.sqlerrtext;
    std::vector<value> into;
    EXPECT_EQ(check.select_into(sql, params, into), 0) << check.sqlerrtext;
    return into.empty() ? value() : into[0];
  }
  int64_t stored(const award_redemption& r) {
    return on_standby("SELECT count(*) FROM t_member_award_record WHERE redeemkey = :k", {value(r.key)})
        .as_long();
  }
  int64_t points_left() { return on_standby("SELECT integral FROM t_member WHERE memberid = 1").as_long(); }

  pg_cluster primary_, standby_;
  int standby_port_ = 0;
  bool standby_stopped_ = false;
  uo_transaction admin_, till_;
  std::string url_;
};

TEST_F(db_failover_test, commits_cut_before_the_standby_has_them_are_not_told_as_success) {
  ASSERT_NO_FATAL_FAILURE(stop_standby());
  award_redemption ended, cancelled;
  for (const auto& [r, how] : {std::pair{&ended, "pg_terminate_backend"},
                               std::pair{&cancelled, "pg_cancel_backend"}}) {
    SCOPED_TRACE(how);
    std::future<int> told = redeem_meanwhile(*r);
    cut(waiting_for_standby(), how);
    EXPECT_EQ(answer(told), redeem_not_known) << till_.sqlerrtext;
  }
  ASSERT_NO_FATAL_FAILURE(fail_over());
  for (award_redemption* r : {&ended, &cancelled}) {
    EXPECT_EQ(stored(*r), 0) << "the standby never had the commit";
    // Repeated on the new primary, the redemption is stored once.
    EXPECT_EQ(redeem(*r), redeem_done) << till_.sqlerrtext;
    EXPECT_EQ(stored(*r), 1);
  }
  EXPECT_EQ(points_left(), k_points - 2 * k_cost);
}

TEST_F(db_failover_test, a_commit_cut_after_the_standby_has_it_is_found_by_its_retry) {
  ASSERT_NO_FATAL_FAILURE(name_standbys("nobody"));
  award_redemption r;
  std::future<int> told = redeem_meanwhile(r);
  waiting_for_standby();
  poll("the record on the standby", [&] { return stored(r) == 1; });
  std::string reason;
  ASSERT_TRUE(primary_.stop("immediate", reason)) << reason;  // the cut: the primary fails
  // Nobody can tell: the primary is gone and the standby does not yet take writes.
  EXPECT_EQ(answer(told), redeem_not_known) << till_.sqlerrtext;
  ASSERT_NO_FATAL_FAILURE(promote());
  EXPECT_EQ(redeem(r), redeem_done) << till_.sqlerrtext;
  EXPECT_EQ(stored(r), 1) << "the retry found the record instead of storing it again";
  EXPECT_EQ(points_left(), k_points - k_cost);
}

TEST_F(db_failover_test, a_cut_commit_is_told_as_success_once_the_standby_confirms_it) {
  till_.set_commit_wait_limit(20s);
  ASSERT_NO_FATAL_FAILURE(name_standbys("nobody"));
  award_redemption r;
  std::future<int> told = redeem_meanwhile(r);
  const int64_t first = waiting_for_standby();
  cut(first);
  // The terminal's lookup waits for the standby with a commit of its own.
  waiting_for_standby(first);
  ASSERT_NO_FATAL_FAILURE(name_standbys("walreceiver"));
  EXPECT_EQ(answer(told), redeem_done) << till_.sqlerrtext;
  ASSERT_NO_FATAL_FAILURE(fail_over());
  EXPECT_EQ(stored(r), 1);
  EXPECT_EQ(points_left(), k_points - k_cost);
}

TEST_F(db_failover_test, a_stalled_standby_holds_a_terminal_no_longer_than_the_wait_limit) {
  data_view dv(member_notes_view());
  dv.settransobject(&till_);
  ASSERT_EQ(dv.retrieve({value(int64_t(1))}), 1) << dv.last_error();
  std::string reason;
  ASSERT_TRUE(primary_.psql("CHECKPOINT", reason)) << reason;  // the next number is logged
  ASSERT_NO_FATAL_FAILURE(stop_standby());
  award_redemption r;
  const auto start = std::chrono::steady_clock::now();
  std::future<int> told = redeem_meanwhile(r);
  EXPECT_EQ(answer(told), redeem_not_known) << till_.sqlerrtext;
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "the limit is 1 s";
  ASSERT_EQ(dv.setitem(1, "notes", value(std::string("新备注"))), 1);
  EXPECT_EQ(dv.update(), -1);
  EXPECT_EQ(dv.last_error().rfind("保存结果未知", 0), 0u) << dv.last_error();
  EXPECT_EQ(dv.modifiedcount(), 1) << "the edit is kept";

  // The standby is back: the retries find what the first attempts stored.
  ASSERT_NO_FATAL_FAILURE(start_standby());
  ASSERT_NO_FATAL_FAILURE(name_standbys("walreceiver"));
  EXPECT_EQ(redeem(r), redeem_done) << till_.sqlerrtext;
  EXPECT_EQ(dv.update(), 1) << dv.last_error();
  ASSERT_NO_FATAL_FAILURE(fail_over());
  EXPECT_EQ(stored(r), 1);
  EXPECT_EQ(points_left(), k_points - k_cost);
  EXPECT_EQ(on_standby("SELECT notes FROM t_member WHERE memberid = 1").to_text(), "新备注");
}

}  // namespace
