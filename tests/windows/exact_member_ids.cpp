// Member ids past 2^53 handed between windows by real clicks: every window opened for a member
// serves exactly that member, never the neighbour a double rounds it to.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "host/launcher_window.h"
#include "host/w_member_sale_sum.h"
#include "lookup/w_choose_member.h"
#include "member/w_member_info.h"
#include "windows/award_fixture.h"

namespace {

constexpr int64_t k_id = 9007199254740993, k_near = 9007199254740992;  // a double holds only k_near

class exact_member_ids : public award_test {
 protected:
  void SetUp() override {
    award_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (:a, 'C992', 300), "
         "(:b, 'C993', 300)", {k_near, k_id});
  }
  // Runs act on the next modal dialog with the member id it serves (-1: another kind of window).
  void on_next_dialog(std::function<void(QWidget&, int64_t)> act) {
    watch_.start<QWidget>([act = std::move(act)](QWidget& d) {
      show_active(&d);
      auto* info = dynamic_cast<w_member_info*>(&d);
      auto* award = dynamic_cast<w_member_award_control*>(&d);
      auto* sum = dynamic_cast<w_member_sale_sum*>(&d);
      act(d, info ? info->il_memberid : award ? award->il_memberid : sum ? sum->il_memberid : -1);
    });
  }
};

TEST_P(exact_member_ids, each_list_opens_and_the_redemption_serves_exactly_that_member) {
  for (const char* list : {"w_member_maintain", "w_member_view", "w_member_award"}) {
    int64_t served = 0;
    on_next_dialog([&](QWidget& d, int64_t id) {
      served = id;
      if (auto* award = dynamic_cast<w_member_award_control*>(&d)) {
        EXPECT_EQ(award->title(), "会员C993的可领取奖励");
        answer_next_boxes({1, 1});
        double_click_row(*award->dw_1, row_with(*award->dw_1, "mdintegral", 150));
      }
    });
    std::unique_ptr<w_single_dw_list> w(dynamic_cast<w_single_dw_list*>(create_window(list)));
    w->run_open_sequence();
    show_active(w.get());
    double_click_row(*w->dw_1, w->dw_1->find("memberno='C993'", 1, w->dw_1->rowcount()));
    EXPECT_EQ(served, k_id) << list;
  }
  EXPECT_EQ(points(k_id), 150);
  EXPECT_EQ(points(k_near), 300);
}

// The host sends the typed id to its own window, and gets the chosen member's id back whole.
TEST_P(exact_member_ids, the_host_sends_and_receives_the_id_exactly) {
  launcher_window launcher(url());
  int64_t served = 0;
  on_next_dialog([&](QWidget&, int64_t id) { served = id; });
  show_active(&launcher);
  ASSERT_TRUE(type_into(launcher.sle_memberid, std::to_string(k_id)));
  click(find_control<QPushButton>(&launcher, "cb_w_member_sale_sum"));
  EXPECT_EQ(served, k_id);

  on_next_dialog([&](QWidget& d, int64_t) {
    u_wsk_dw& dw = *dynamic_cast<w_choose_member&>(d).dw_1;
    double_click_row(dw, dw.find("memberno='C993'", 1, dw.rowcount()));
  });
  show_active(&launcher);
  ASSERT_TRUE(type_into(launcher.sle_search, "C99"));
  click(find_control<QPushButton>(&launcher, "cb_w_choose_member"));
  EXPECT_EQ(launcher.st_chosen->text().toStdString(), "返回的会员代号：" + std::to_string(k_id));
  EXPECT_EQ(message.number(), k_id);
}

INSTANTIATE_BOTH_BACKENDS(exact_member_ids);

}  // namespace
