// A new worker's day at the award windows: the redemption dialog worked by keyboard and through
// 确定, with the member's name and points above the list; the award list keeping the worker's
// place when the served member leaves its filter; commands a window does not handle disabled.

#include <QAction>
#include <QTableView>

#include "windows/award_fixture.h"

namespace {

using award_worker = award_test;

// The points of the award in the dialog's current row.
int64_t current_award(w_member_award_control& d) {
  return d.dw_1->getitemnumber(d.dw_1->getrow(), "mdintegral")->to_long();
}

}  // namespace

// Enter on an award, or 确定 with one selected, asks as a double-click does; 否 at 确定 closes.
TEST_P(award_worker, enter_or_ok_on_an_award_asks_and_redeems_it) {
  struct redeem_case {
    Qt::Key key;              // Qt::Key_unknown: a click on 确定
    std::deque<int> answers;  // the question's, then the outcome's
    int64_t records;
  };
  for (const redeem_case& c : {redeem_case{Qt::Key_Return, {1, 1}, 1},
                               redeem_case{Qt::Key_unknown, {2}, 1},
                               redeem_case{Qt::Key_unknown, {1, 1}, 2}}) {
    std::string shown_member;
    int64_t award = 0;
    bool closed = false;
    in_next_dialog([&](w_member_award_control& d) {
      shown_member = d.st_member->text().toStdString();
      press_key(d.dw_1->grid(), Qt::Key_Down);
      award = current_award(d);
      answer_next_boxes(c.answers);
      if (c.key == Qt::Key_unknown) click(d.cb_ok);
      else press_key(d.dw_1->grid(), c.key);
      closed = d.is_closed();
    });
    const int64_t before = points(1);
    open_window("w_member_award_control", 1);
    ASSERT_TRUE(watch_.seen());
    EXPECT_TRUE(closed);
    EXPECT_EQ(shown_member, "会员名称：张三　　当前积分：" + std::to_string(before));
    EXPECT_EQ(box_texts(shown_boxes()).at(0), "您确定要对当前会员进行奖励领取操作吗？");
    EXPECT_EQ(row_count("t_member_award_record"), c.records);
    EXPECT_EQ(points(1), before - (c.answers.front() == 1 ? award : 0));
  }
}

// The redeemed member falls below the cheapest award and leaves the narrowed list: the worker's
// place stays, on the row that now stands where the member stood. A number not shown is named.
TEST_P(award_worker, the_list_keeps_the_place_of_a_member_who_left_its_filter) {
  exec("UPDATE t_member SET integral = 150 WHERE memberid = 1");
  exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (5, '000500', 150), "
       "(6, '000600', 150)");
  auto w = open_list();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  click(w->cbx_1);
  ASSERT_TRUE(click_cell(dw, 2, "membername"));
  const int64_t served = dw.of_get_id();
  in_next_dialog([&](w_member_award_control& d) {
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row_with(*d.dw_1, "mdintegral", 150));
  });
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  EXPECT_EQ(points(served), 0);
  EXPECT_EQ(dw.rowcount(), 3);
  EXPECT_EQ(dw.getrow(), 2);

  show_active(w.get());  // the window manager's part: the list is active again after the dialog
  ASSERT_TRUE(type_into(w->sle_1, "000200"));  // 149 points: held back by the filter
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(w->status->outcome_text().toStdString(), "未找到会员号 000200");
  EXPECT_EQ(dw.getrow(), 2);
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
                                command_case{"w_member_price_query", &uo_toolbar::act_open, false}}) {
    auto w = open_as_host(c.window);
    QAction* a = w->findChild<uo_toolbar*>()->*c.action;
    EXPECT_EQ(a->isEnabled(), c.enabled) << c.window << " " << a->objectName().toStdString();
    EXPECT_TRUE(a->isVisible()) << c.window;
  }
}

INSTANTIATE_BOTH_BACKENDS(award_worker);
