// A PostgreSQL server restart: connections come back outside a transaction, and a transaction
// that was open fails plainly instead of being half kept.
#include <gtest/gtest.h>

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

}  // namespace
