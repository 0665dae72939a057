// A new worker's day at the award windows: the redemption dialog worked by keyboard and through
// 确定, with the member's name and points above the list; the award list keeping the worker's
// place when the served member leaves its filter; commands a window does not handle disabled.

#include <QAction>
#include <QCheckBox>
#include <QTableView>

#include "windows/award_fixture.h"

namespace {

using award_worker = award_test;

// The award the dialog shows in its current row, by its points.
int64_t current_award(w_member_award_control& d) {
  return d.dw_1->getitemnumber(d.dw_1->getrow(), "mdintegral")->to_long();
}

}  // namespace

TEST_P(award_worker, enter_on_an_award_asks_and_redeems_it_as_a_double_click_does) {
  std::string shown_member;
  int64_t award = -1;
  in_next_dialog([&](w_member_award_control& d) {
    shown_member = d.st_member->text().toStdString();
    press_key(d.dw_1->grid(), Qt::Key_Down);
    award = current_award(d);
    answer_next_boxes({1, 1});
    press_key(d.dw_1->grid(), Qt::Key_Return);
  });
  open_window("w_member_award_control", 1);
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(shown_member, "会员名称：张三　　当前积分：300");
  EXPECT_EQ(box_texts(shown_boxes()),
            (std::vector<std::string>{"您确定要对当前会员进行奖励领取操作吗？", "会员奖励领取操作成功！"}));
  EXPECT_EQ(points(1), 300 - award);
  EXPECT_EQ(row_count("t_member_award_record"), 1);
}

// 确定 with an award selected asks about it: 否 closes as before, 是 redeems.
TEST_P(award_worker, ok_with_an_award_selected_asks_whether_to_redeem_it) {
  struct answer_case {
    std::deque<int> answers;  // the question's, then the outcome's
    int64_t records;
  };
  for (const answer_case& c : {answer_case{{2}, 0}, answer_case{{1, 1}, 1}}) {
    bool closed = false;
    int64_t award = 0;
    in_next_dialog([&](w_member_award_control& d) {
      award = current_award(d);
      answer_next_boxes(c.answers);
      click(d.cb_ok);
      closed = d.is_closed();
    });
    const int64_t before = points(1);
    open_window("w_member_award_control", 1);
    ASSERT_TRUE(watch_.seen());
    EXPECT_TRUE(closed) << c.answers.front();
    EXPECT_EQ(box_texts(shown_boxes()).at(0), "您确定要对当前会员进行奖励领取操作吗？");
    EXPECT_EQ(row_count("t_member_award_record"), c.records);
    EXPECT_EQ(points(1), before - (c.records ? award : 0));
  }
}

// The redeemed member falls below the cheapest award and leaves the narrowed list: the worker's
// place stays, on the row that now stands where the member stood.
TEST_P(award_worker, the_list_keeps_the_place_of_a_member_who_left_its_filter) {
  exec("UPDATE t_member SET integral = 150 WHERE memberid = 1");
  exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (5, '000500', 150), "
       "(6, '000600', 150)");
  auto w = open_list();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  click(w->cbx_1);
  ASSERT_EQ(dw.rowcount(), 4);
  ASSERT_TRUE(click_cell(dw, 2, "membername"));
  const int64_t served = dw.of_get_id();
  in_next_dialog([&](w_member_award_control& d) {
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row_with(*d.dw_1, "mdintegral", 150));
  });
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(points(served), 0);
  EXPECT_EQ(dw.rowcount(), 3);
  EXPECT_EQ(dw.getrow(), 2);
  EXPECT_EQ(dw.grid()->currentIndex().row(), 1);
}

// The search of the award list also says what it did not find.
TEST_P(award_worker, a_member_number_not_in_the_list_is_named_in_the_status_line) {
  auto w = open_list();
  ASSERT_TRUE(w);
  ASSERT_TRUE(type_into(w->sle_1, "999999"));
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(w->status->outcome_text().toStdString(), "未找到会员号 999999");
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_worker, commands_a_window_does_not_handle_are_shown_disabled) {
  struct command_case {
    const char* window;
    QAction* uo_toolbar::*action;
    bool enabled;
  };
  for (const command_case& c : {command_case{"w_member_award", &uo_toolbar::act_save, false},
                                command_case{"w_member_award", &uo_toolbar::act_open, true},
                                command_case{"w_member_award_record", &uo_toolbar::act_open, false},
                                command_case{"w_member_price_query", &uo_toolbar::act_open, false},
                                command_case{"w_member_maintain", &uo_toolbar::act_save, true}}) {
    std::unique_ptr<w_base> w(create_window(c.window));
    ASSERT_TRUE(w) << c.window;
    w->run_open_sequence();
    auto* bar = w->findChild<uo_toolbar*>();
    ASSERT_TRUE(bar) << c.window;
    QAction* a = bar->*c.action;
    EXPECT_EQ(a->isEnabled(), c.enabled) << c.window << " " << a->objectName().toStdString();
    EXPECT_TRUE(a->isVisible()) << c.window;
  }
}

INSTANTIATE_BOTH_BACKENDS(award_worker);
