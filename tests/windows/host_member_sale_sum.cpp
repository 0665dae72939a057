// w_member_sale_sum: lists one member's bills, oldest first, and totals them exactly.

#include <QLabel>

#include "framework/runtime/runtime.h"
#include "framework/ui/window_registry.h"
#include "host/w_member_sale_sum.h"
#include "support/test_db.h"

namespace {

class host_member_sale_sum : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped()) return;
    exec("INSERT INTO t_member (memberid, memberno, membername, siteid) "
         "VALUES (7, '000007', '张三', 1), (8, '000008', '李四', 1)");
    // Amounts whose binary floating-point sum is not 1234.86.
    add_bill("B-003", 7, "2009-07-03 10:00:00", "1234.56");
    add_bill("B-001", 7, "2009-07-01 09:30:00", "0.10");
    add_bill("B-002", 7, "2009-07-02 18:15:00", "0.20");
    add_bill("B-004", 8, "2009-07-01 11:00:00", "99.99");
  }
  void add_bill(const char* billno, int64_t memberid, const char* date, const char* amount) {
    exec("INSERT INTO t_bill_header (billno, memberid, billdate, amount) "
         "VALUES (:billno, :memberid, :billdate, :amount)",
         {billno, memberid, *datetime::parse(date), *decimal::parse(amount)});
  }
  // Opens the window for a member the way its opener does, without the modal loop.
  std::unique_ptr<w_member_sale_sum> open_for(double parm) {
    message.doubleparm = parm;
    auto* w = dynamic_cast<w_member_sale_sum*>(create_window("w_member_sale_sum"));
    EXPECT_NE(w, nullptr);
    if (w) w->run_open_sequence();
    return std::unique_ptr<w_member_sale_sum>(w);
  }
};

TEST_P(host_member_sale_sum, lists_the_members_bills_and_their_exact_total) {
  auto w = open_for(7.9);  // the id is the whole part of the number
  ASSERT_TRUE(w);
  EXPECT_EQ(w->il_memberid, 7);
  EXPECT_EQ(w->title(), "会员消费汇总");
  ASSERT_EQ(w->dw_1->rowcount(), 3);
  EXPECT_EQ(w->dw_1->getitemstring(1, "billno").value_or(""), "B-001");
  EXPECT_EQ(w->dw_1->getitemstring(3, "billno").value_or(""), "B-003");
  EXPECT_EQ(w->total().to_string(), "1234.86");
  EXPECT_NE(w->st_2->text().toStdString().find("1234.86"), std::string::npos);
  EXPECT_NE(w->st_1->text().toStdString().find("000007"), std::string::npos);
  EXPECT_NE(w->st_1->text().toStdString().find("张三"), std::string::npos);
  w->close_window();
}

TEST_P(host_member_sale_sum, member_without_bills_or_unknown) {
  exec("INSERT INTO t_member (memberid, memberno, membername, siteid) VALUES (9, '000009', '王五', 1)");
  auto w = open_for(9);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_EQ(w->total().to_string(), "0.00");
  w->close_window();

  w = open_for(12345);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_NE(w->st_1->text().toStdString().find("无此会员"), std::string::npos);
  w->close_window();
}

INSTANTIATE_BOTH_BACKENDS(host_member_sale_sum);

}  // namespace
