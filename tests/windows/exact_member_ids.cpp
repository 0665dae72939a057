// Member ids past 2^53 handed between windows by real clicks: every window opened for a member
// serves exactly that member, never the neighbour a double rounds it to; the member chosen in
// w_choose_member reaches the host whole.

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

using exact_member_ids = award_test;

// The member a window opened for one serves; -1 for another kind of window.
int64_t served(QWidget& d) {
  if (auto* w = dynamic_cast<w_member_info*>(&d)) return w->il_memberid;
  if (auto* w = dynamic_cast<w_member_award_control*>(&d)) return w->il_memberid;
  if (auto* w = dynamic_cast<w_member_sale_sum*>(&d)) return w->il_memberid;
  return -1;
}

TEST_P(exact_member_ids, lists_the_redemption_and_the_host_serve_exactly_that_member) {
  exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (:a, 'C992', 300), "
       "(:b, 'C993', 300)", {k_near, k_id});
  for (const char* list : {"w_member_maintain", "w_member_view", "w_member_award"}) {
    int64_t id = 0;
    watch_.start<QWidget>([&](QWidget& d) {
      id = served(d);
      if (auto* award = dynamic_cast<w_member_award_control*>(&d)) {
        EXPECT_EQ(award->title(), "会员C993的可领取奖励");
        answer_next_boxes({1, 1});
        double_click_row(*award->dw_1, row_with(*award->dw_1, "mdintegral", 150));
      }
    });
    auto w = open_as_host<w_single_dw_list>(list);
    ASSERT_TRUE(w);
    double_click_row(*w->dw_1, w->dw_1->find("memberno='C993'", 1, w->dw_1->rowcount()));
    EXPECT_EQ(id, k_id) << list;
  }
  EXPECT_EQ(points(k_id), 150);
  EXPECT_EQ(points(k_near), 300);

  launcher_window launcher(url());
  watch_.start<w_choose_member>([](w_choose_member& d) {
    double_click_row(*d.dw_1, d.dw_1->find("memberno='C993'", 1, d.dw_1->rowcount()));
  });
  show_active(&launcher);
  ASSERT_TRUE(type_into(launcher.sle_search, "C99"));
  click(find_control<QPushButton>(&launcher, "cb_w_choose_member"));
  EXPECT_EQ(launcher.st_chosen->text().toStdString(), "返回的会员代号：" + std::to_string(k_id));
  EXPECT_EQ(message.number(), k_id);
}

INSTANTIATE_BOTH_BACKENDS(exact_member_ids);

}  // namespace
