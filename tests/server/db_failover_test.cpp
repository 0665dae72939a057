// The shop server's machine fails and its standby is promoted: terminals connected through a
// multi-host URL carry on. A redemption or save in flight fails plainly and succeeds when
// repeated; every redemption a terminal saw succeed is on the new primary, whole.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "award/member_award_redeem.h"
#include "data/schema.h"
#include "framework/dataview/data_view.h"
#include "support/pg_cluster.h"

namespace {

using clock_type = std::chrono::steady_clock;

constexpr int k_terminals = 4, k_members = 4;  // each terminal saves its own member
constexpr int64_t k_points = 1000000;

// A member's notes, saved through a data view as the member form would.
dv_definition notes_view() {
  dv_definition d;
  d.name = "dw_failover_notes";
  d.sql = "SELECT memberid, notes FROM t_member WHERE memberid = :an_id";
  d.arguments = {{"an_id", col_type::long_t}};
  d.update_table = "t_member";
  dv_column id, notes;
  id.name = id.db_name = "memberid";
  id.type = col_type::long_t;
  id.key = true;
  notes.name = notes.db_name = "notes";
  notes.length = 100;
  d.columns = {id, notes};
  return d;
}

// What one terminal saw. The counters are read while it runs; the rest after it has stopped.
struct terminal_log {
  std::vector<std::string> redeemed;          // notes of the redemptions seen to succeed
  std::vector<clock_type::time_point> when;   // and when each succeeded
  std::atomic<size_t> count{0};
  std::atomic<clock_type::rep> last{0};       // time of the last one, since the clock's epoch
  std::string saved;                          // the last notes seen saved
  int failures = 0, edits_lost = 0;
};

class db_failover_test : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<int> ports = spare_pg_ports();
    if (ports.size() < 2) GTEST_SKIP() << "MEMBER_PG_SPARE_PORTS needs two ports (run under scripts/with-postgres.sh)";
    std::string reason;
    ASSERT_TRUE(primary_.init(reason)) << reason;
    ASSERT_TRUE(primary_.start(ports[0], "", reason)) << reason;
    uo_transaction admin;
    ASSERT_EQ(admin.connect(primary_.admin_url()), 0) << admin.sqlerrtext;
    ASSERT_EQ(create_schema(admin), 0) << admin.sqlerrtext;
    ASSERT_EQ(admin.execute("CREATE ROLE till LOGIN IN ROLE member_terminal"), 0) << admin.sqlerrtext;
    for (int m = 1; m <= k_members; ++m)
      ASSERT_EQ(admin.execute("INSERT INTO t_member (memberid, integral) VALUES (:id, :p)",
                              std::vector<value>{value(int64_t(m)), value(k_points)}), 0);
    ASSERT_EQ(admin.commit(), 0);

    ASSERT_TRUE(standby_.init_standby(primary_, reason)) << reason;
    ASSERT_TRUE(standby_.start(ports[1], "", reason)) << reason;
    // Synchronous replication: a commit is acknowledged once the standby has it, so a failure
    // of the primary cannot take an acknowledged redemption with it. Set on the primary alone.
    // (The standby's walreceiver names itself "walreceiver".)
    ASSERT_TRUE(primary_.psql("ALTER SYSTEM SET synchronous_standby_names = walreceiver", reason)) << reason;
    ASSERT_EQ(admin.execute("SELECT pg_reload_conf()"), 0);
    for (int i = 0;; ++i) {
      std::vector<value> into;
      admin.select_into("SELECT count(*) FROM pg_stat_replication WHERE sync_state = 'sync'", {}, into);
      if (!into.empty() && into[0] == value(int64_t(1))) break;
      ASSERT_LT(i, 300) << "the standby does not stream";
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    url_ = "postgresql://till@127.0.0.1:" + std::to_string(ports[0]) + ",127.0.0.1:" +
           std::to_string(ports[1]) + "/postgres?target_session_attrs=read-write";
  }

  // One terminal: redeem, then save the notes of its own member, until told to stop. A failure
  // is repeated as a user would, after a moment.
  void terminal(int t, terminal_log& log) {
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    uo_transaction tr;
    while (tr.connect(url_) != 0 && !stop_) pause();
    const int64_t own = t % k_members + 1;
    const dv_definition def = notes_view();
    data_view dv(def);
    dv.settransobject(&tr);
    while (dv.retrieve({value(own)}) != 1 && !stop_) pause();
    for (int i = 0; !stop_; ++i) {
      const std::string note = "t" + std::to_string(t) + "-" + std::to_string(i);
      while (!stop_) {
        if (member_award_redeem(tr, (t + i) % k_members + 1, 1 + i % 3, std::string("奖品"), note,
                                20260101) == 1) {
          const auto now = clock_type::now();
          log.redeemed.push_back(note);
          log.when.push_back(now);
          log.last = now.time_since_epoch().count();
          ++log.count;
          break;
        }
        ++log.failures;
        pause();
      }
      const std::string pending = "saved " + note;
      while (!stop_) {
        if (dv.rowcount() != 1 && dv.retrieve({value(own)}) != 1) {
          ++log.failures;
          pause();
          continue;
        }
        if (dv.modifiedcount() == 0) {
          // Read again after a conflict: a save whose commit reached the server before the
          // connection went is there already.
          if (dv.getitemstring(1, "notes") == pending) {
            log.saved = pending;
            break;
          }
          dv.setitem(1, "notes", value(pending));
        }
        if (dv.update() == 1) {
          log.saved = pending;
          break;
        }
        ++log.failures;
        if (dv.modifiedcount() != 1 || dv.getitemstring(1, "notes") != pending) ++log.edits_lost;
        pause();
        if (dv.last_error().find("已被其他终端修改") != std::string::npos) dv.retrieve({value(own)});
      }
    }
    tr.disconnect();
  }

  pg_cluster primary_, standby_;
  std::string url_;
  std::atomic<bool> stop_{false};
};

TEST_F(db_failover_test, terminals_carry_on_on_the_promoted_standby_and_nothing_is_lost) {
  std::mutex reports_mutex;
  int reported = 0;
  set_sql_error_reporter([&](const std::string&, const std::string&) {
    std::lock_guard lock(reports_mutex);
    ++reported;
  });
  std::vector<terminal_log> logs(k_terminals);  // not resized: threads hold references
  std::vector<std::thread> terminals;
  for (int t = 0; t < k_terminals; ++t) terminals.emplace_back([&, t] { terminal(t, logs[size_t(t)]); });

  const auto redeemed = [&] {
    size_t n = 0;
    for (const terminal_log& l : logs) n += l.count;
    return n;
  };
  const auto last_of = [](const terminal_log& l) {
    return clock_type::time_point(clock_type::duration(l.last.load()));
  };
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const size_t before = redeemed();
  std::string reason;
  ASSERT_TRUE(primary_.stop("immediate", reason)) << reason;  // the machine fails
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto promoted_at = clock_type::now();
  ASSERT_TRUE(standby_.promote(reason)) << reason;
  const auto promote_done = clock_type::now();

  // Until every terminal has redeemed on the new primary (at most 20 s), then a moment more.
  for (int i = 0; i < 400; ++i) {
    bool all = true;
    for (const terminal_log& l : logs) all = all && last_of(l) > promote_done;
    if (all) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  stop_ = true;
  for (std::thread& th : terminals) th.join();
  set_sql_error_reporter(nullptr);

  auto first_after = clock_type::time_point::max();
  std::set<std::string> seen;
  int failures = 0;
  for (const terminal_log& l : logs) {
    EXPECT_GT(last_of(l), promote_done) << "every terminal carried on";
    for (const auto& w : l.when)
      if (w > promoted_at && w < first_after) first_after = w;
    EXPECT_EQ(l.edits_lost, 0) << "a failed save keeps its edits";
    failures += l.failures;
    seen.insert(l.redeemed.begin(), l.redeemed.end());
  }
  EXPECT_GT(before, 0u);
  EXPECT_GT(failures, 0) << "the failure was seen by the terminals";

  uo_transaction check;
  ASSERT_EQ(check.connect(standby_.admin_url()), 0) << check.sqlerrtext;
  std::vector<value> into;
  ASSERT_EQ(check.select_into("SELECT pg_is_in_recovery()", {}, into), 0);
  EXPECT_EQ(into[0], value(int64_t(0))) << "the standby is the primary now";

  // Records, each with its queue row; none of either alone.
  struct collect : row_sink {
    std::vector<std::string> notes;
    bool on_row(const db_row& r) override {
      notes.emplace_back(r.get_text(0));
      return true;
    }
  } stored;
  ASSERT_EQ(check.query("SELECT notes FROM t_member_award_record r WHERE EXISTS (SELECT 1 FROM "
                        "t_member_award_to_up q WHERE q.seqid = r.seqid)", {}, stored), 0)
      << check.sqlerrtext;
  // A commit in flight when the primary fails may reach the standby without its terminal hearing
  // of it; the terminal repeats the redemption, as a user would, and it is stored twice. Only a
  // repeated attempt can do that, so there are never more doubles than failed attempts.
  const std::set<std::string> whole(stored.notes.begin(), stored.notes.end());
  EXPECT_LE(stored.notes.size() - whole.size(), size_t(failures)) << "no redemption twice unasked";
  for (const std::string& n : seen) EXPECT_TRUE(whole.count(n)) << "redemption " << n << " is lost";
  ASSERT_EQ(check.select_into(
                "SELECT (SELECT count(*) FROM t_member_award_record r WHERE NOT EXISTS (SELECT 1 FROM "
                "t_member_award_to_up q WHERE q.seqid = r.seqid)) + (SELECT count(*) FROM "
                "t_member_award_to_up q WHERE NOT EXISTS (SELECT 1 FROM t_member_award_record r "
                "WHERE r.seqid = q.seqid))", {}, into), 0);
  EXPECT_EQ(into[0], value(int64_t(0))) << "a record without its queue row, or the reverse";
  // The deductions match the records, member by member, and nobody is below zero.
  ASSERT_EQ(check.select_into(
                "SELECT count(*) FROM t_member m WHERE m.integral < 0 OR m.integral <> :start - "
                "(SELECT COALESCE(sum(mdintegral), 0) FROM t_member_award_record r WHERE r.memberid = m.memberid)",
                std::vector<value>{value(k_points)}, into), 0);
  EXPECT_EQ(into[0], value(int64_t(0))) << "a deduction without its record, or the reverse";
  // The last save each terminal saw succeed is what the new primary holds.
  for (int t = 0; t < k_terminals; ++t) {
    ASSERT_EQ(check.select_into("SELECT notes FROM t_member WHERE memberid = :id",
                                std::vector<value>{value(int64_t(t % k_members + 1))}, into), 0);
    EXPECT_EQ(into[0].to_text(), logs[size_t(t)].saved) << "terminal " << t;
  }

  const auto ms = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
  std::printf("failover: %zu redemptions before the primary failed, %zu in all (%zu stored, %zu "
              "stored though a terminal saw them fail), %d failed attempts repeated\n",
              before, seen.size(), whole.size(), whole.size() - seen.size(), failures);
  ASSERT_NE(first_after, clock_type::time_point::max());
  std::printf("failover: first redemption %lld ms after the promotion began (pg_ctl promote took "
              "%lld ms; the primary had failed 500 ms before)\n",
              (long long)ms(first_after - promoted_at), (long long)ms(promote_done - promoted_at));
  std::fflush(stdout);
}

}  // namespace
