// A PostgreSQL server restart: connections come back outside a transaction, and a transaction
// that was open fails plainly instead of being half kept. A connection that breaks at the commit:
// the terminal learns from the server whether its unit was stored.
#include <gtest/gtest.h>

#include "award/member_award_redeem.h"
#include "framework/dataview/data_view.h"
#include "support/notes_view.h"
#include "support/pg_cut_proxy.h"
#include "support/test_db.h"

namespace {

class db_reconnect_test : public db_test {
 protected:
  void SetUp() override {
    if (GetParam() != backend::postgres) GTEST_SKIP() << "only a server can restart";
    db_test::SetUp();
  }
  void restart() {
    std::string reason;
    if (!restart_postgres(reason)) GTEST_FAIL() << reason;
  }
};
INSTANTIATE_BOTH_BACKENDS(db_reconnect_test);

TEST_P(db_reconnect_test, statement_outside_a_transaction_reconnects) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 10)");
  ASSERT_NO_FATAL_FAILURE(restart());
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 10) << tr().sqlerrtext;
  // A write outside a transaction begins one on the restored connection.
  ASSERT_NO_FATAL_FAILURE(restart());
  EXPECT_EQ(tr().execute("UPDATE t_member SET integral = 11 WHERE memberid = 1"), 0) << tr().sqlerrtext;
  EXPECT_EQ(tr().commit(), 0);
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 11);
}

TEST_P(db_reconnect_test, transaction_open_at_the_restart_fails_plainly) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 10)");
  ASSERT_EQ(tr().execute("UPDATE t_member SET integral = 20 WHERE memberid = 1"), 0);
  ASSERT_TRUE(tr().in_transaction());
  ASSERT_NO_FATAL_FAILURE(restart());
  EXPECT_EQ(tr().execute("UPDATE t_member SET integral = 30 WHERE memberid = 1"), -1);
  EXPECT_EQ(tr().sqlerrtext.rfind("connection lost; the transaction was rolled back", 0), 0u) << tr().sqlerrtext;
  EXPECT_FALSE(tr().in_transaction());
  // A commit now must not pretend the unit was stored.
  EXPECT_EQ(tr().commit(), -1);
  // The next statement works, and the first update is gone.
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 10) << tr().sqlerrtext;
}

TEST_P(db_reconnect_test, commit_after_the_restart_reports_the_loss) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 10)");
  ASSERT_EQ(sqlca.execute("UPDATE t_member SET integral = 20 WHERE memberid = 1"), 0);
  ASSERT_NO_FATAL_FAILURE(restart());
  EXPECT_FALSE(f_check_sql(false, true, true, "t", "x", sqlca));
  EXPECT_EQ(sqlca.sqlcode, -1);
  EXPECT_NE(sqlca.sqlerrtext.find("connection lost"), std::string::npos) << sqlca.sqlerrtext;
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 10);
}

TEST_P(db_reconnect_test, a_commit_cut_off_is_reported_as_the_server_decided_it) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 10)");
  pg_cut_proxy proxy(url());
  uo_transaction t;
  ASSERT_EQ(t.connect(proxy.url()), 0) << t.sqlerrtext;
  const auto update_then_commit = [&](int64_t points, pg_cut_proxy::cut how) {
    proxy.cut_at_next_commit(how);
    const value p[] = {value(points)};
    EXPECT_EQ(t.execute("UPDATE t_member SET integral = :p WHERE memberid = 1", p), 0) << t.sqlerrtext;
    const int rc = t.commit();
    EXPECT_TRUE(proxy.has_cut());
    EXPECT_FALSE(t.commit_in_doubt()) << t.sqlerrtext;
    return rc;
  };
  const auto integral = [&] { return scalar_long("SELECT integral FROM t_member WHERE memberid = 1"); };

  // Stored, and only the answer lost: a success, not a failure the user would redo.
  EXPECT_EQ(update_then_commit(20, pg_cut_proxy::cut::after_answer), 0) << t.sqlerrtext;
  EXPECT_EQ(integral(), 20);
  // COMMIT never reached the server.
  EXPECT_EQ(update_then_commit(30, pg_cut_proxy::cut::before_commit), -1);
  EXPECT_NE(t.sqlerrtext.find("the transaction was rolled back"), std::string::npos) << t.sqlerrtext;
  EXPECT_EQ(integral(), 20);
  // The server has not noticed the client go and still holds the transaction and its row lock:
  // it is ended, so that it cannot be committed later and another terminal can write the row.
  EXPECT_EQ(update_then_commit(40, pg_cut_proxy::cut::client_side_only), -1);
  EXPECT_NE(t.sqlerrtext.find("the transaction was rolled back"), std::string::npos) << t.sqlerrtext;
  ASSERT_EQ(admin().execute("SET lock_timeout = '10s'"), 0);
  exec("UPDATE t_member SET integral = 50 WHERE memberid = 1");
  EXPECT_EQ(integral(), 50);
  // The terminal carries on.
  EXPECT_EQ(update_then_commit(60, pg_cut_proxy::cut::none), 0) << t.sqlerrtext;
  EXPECT_EQ(integral(), 60);
}

// The redemption's answer is lost and the server restarts before it can be asked: the unit finds
// its own record, so the user is not told to redeem again.
TEST_P(db_reconnect_test, a_redemption_stored_before_a_restart_is_reported_done) {
  exec("INSERT INTO t_member (memberid, integral) VALUES (1, 100)");
  pg_cut_proxy proxy(url());
  proxy.on_answer_held = [this] { restart(); };
  uo_transaction t;
  ASSERT_EQ(t.connect(proxy.url()), 0) << t.sqlerrtext;
  proxy.cut_at_next_commit(pg_cut_proxy::cut::after_answer);
  award_redemption r;
  EXPECT_EQ(member_award_redeem(t, r, 1, 30, std::string("奖品"), std::nullopt, 20260101), 1);
  EXPECT_TRUE(proxy.has_cut());
  EXPECT_EQ(scalar_long("SELECT integral FROM t_member WHERE memberid = 1"), 70);
  EXPECT_EQ(row_count("t_member_award_record"), 1);
}

// A save whose commit answer is lost while the server cannot be reached keeps its edits and says
// that its outcome is not known; saved again, it finds its own change rather than calling it
// another terminal's.
TEST_P(db_reconnect_test, a_save_in_doubt_finds_its_own_change_when_saved_again) {
  exec("INSERT INTO t_member (memberid, notes) VALUES (1, 'old')");
  pg_cut_proxy proxy(url());
  uo_transaction t;
  ASSERT_EQ(t.connect(proxy.url()), 0) << t.sqlerrtext;
  data_view dv(member_notes_view());
  dv.settransobject(&t);
  ASSERT_EQ(dv.retrieve({value(int64_t(1))}), 1) << dv.last_error();
  ASSERT_EQ(dv.setitem(1, "notes", value(std::string("new"))), 1);
  proxy.cut_at_next_commit(pg_cut_proxy::cut::after_answer);
  proxy.refuse_connections(true);
  EXPECT_EQ(dv.update(), -1);
  EXPECT_EQ(dv.last_error().rfind("保存结果未知", 0), 0u) << dv.last_error();
  EXPECT_EQ(dv.modifiedcount(), 1);
  proxy.refuse_connections(false);
  EXPECT_EQ(dv.update(), 1) << dv.last_error();
  EXPECT_EQ(dv.modifiedcount(), 0);
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "new");
}

}  // namespace

