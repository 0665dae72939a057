// w_member_award_control: the member's affordable awards, the confirmed redemption from the list,
// and what a refused or failed redemption leaves behind.

#include "support/pg_cut_proxy.h"
#include "windows/award_fixture.h"
#include "support/cell_checks.h"

namespace {

using award_control = award_test;

// The first line of each box's text (the database's own reason follows on the next lines).
std::vector<std::string> first_lines(const std::vector<msgbox_request>& boxes) {
  std::vector<std::string> out;
  for (const std::string& t : box_texts(boxes)) out.push_back(t.substr(0, t.find('\n')));
  return out;
}

TEST_P(award_control, a_confirmed_double_click_redeems_and_the_list_shows_the_lowered_points) {
  runtime::set_now(datetime::from_parts(2009, 7, 5, 18, 30));
  auto w = open_list();
  ASSERT_TRUE(w);
  ASSERT_TRUE(type_into(find_control<u_wsk_sle>(w.get(), "sle_1"), "000123"));
  press_key(w->sle_1, Qt::Key_Return);
  ASSERT_EQ(w->dw_1->of_get_id(), 1);

  std::string title;
  int64_t listed = 0;
  in_next_dialog([&](w_member_award_control& d) {
    title = d.title();
    listed = d.dw_1->rowcount();  // every award up to the member's 300 points, 300 included
    const int64_t row = row_with(*d.dw_1, "mdintegral", 300);
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row);
  });
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(title, "会员000123的可领取奖励");
  EXPECT_EQ(listed, 3);

  const std::vector<msgbox_request> boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  expect_box(boxes[0], {"会员奖励领取", "您确定要对当前会员进行奖励领取操作吗？", mb_icon::question,
                        mb_buttons::yesno, 2});
  EXPECT_EQ(boxes[1].text, "会员奖励领取操作成功！");

  std::vector<value> rec;
  ASSERT_EQ(tr().select_into("SELECT seqid, memberid, mdname, mdintegral, notes, timevalidated "
                             "FROM t_member_award_record", {}, rec), 0);
  EXPECT_EQ(rec[1].as_long(), 1);
  EXPECT_EQ(rec[2].to_text(), "电饭煲");
  EXPECT_EQ(rec[3].as_long(), 300);
  EXPECT_EQ(rec[4].to_text(), "三升");
  EXPECT_EQ(rec[5].as_long(), 20090705);
  EXPECT_EQ(scalar_long("SELECT seqid FROM t_member_award_to_up"), rec[0].as_long());
  EXPECT_EQ(row_count("t_member_award_to_up"), 1);
  EXPECT_EQ(points(1), 0);
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(row_with(*w->dw_1, "memberid", 1), "integral")).to_long(), 0);
}

// Points spent at another terminal after the dialog listed the award: the deduction finds them
// short, nothing is written and the dialog stays open for another try.
TEST_P(award_control, points_spent_elsewhere_meanwhile_fail_the_whole_redemption) {
  bool open_after_failure = false, open_after_decline = false;
  int64_t listed_after_failure = -1;
  in_next_dialog([&](w_member_award_control& d) {
    auto other = connect_another();
    other->execute("UPDATE t_member SET integral = 100 WHERE memberid = 1");
    other->commit();
    const int64_t row = row_with(*d.dw_1, "mdintegral", 150);
    answer_next_boxes({1});
    double_click_row(*d.dw_1, row);
    open_after_failure = !d.is_closed();
    listed_after_failure = d.dw_1->rowcount();  // read again: only the award of 0 points
    answer_next_boxes({2});  // the second try is given up at the question
    double_click_row(*d.dw_1, row_with(*d.dw_1, "mdintegral", 0));
    open_after_decline = !d.is_closed();
  });
  message.doubleparm = 0;
  open_window("w_member_award_control", 1);
  ASSERT_TRUE(watch_.seen());
  EXPECT_TRUE(open_after_failure);
  EXPECT_TRUE(open_after_decline);
  EXPECT_EQ(message.doubleparm, 1);  // closing without a redemption still answers 1
  const std::vector<msgbox_request> boxes = shown_boxes();
  EXPECT_EQ(first_lines(boxes),
            (std::vector<std::string>{"您确定要对当前会员进行奖励领取操作吗？", "对会员积分进行减少操作失败",
                                      "会员奖励领取操作失败！请您重新操作",
                                      "您确定要对当前会员进行奖励领取操作吗？"}));
  // The reason in plain words, the same on both backends, without the database's codes.
  EXPECT_EQ(box_texts(boxes).at(1), "对会员积分进行减少操作失败\n\n积分不足：当前积分 100");
  EXPECT_EQ(listed_after_failure, 1);
  EXPECT_EQ(row_count("t_member_award_record"), 0);
  EXPECT_EQ(row_count("t_member_award_to_up"), 0);
  EXPECT_EQ(points(1), 100);
}

TEST_P(award_control, a_member_that_cannot_be_read_gets_no_list_and_the_lookup_is_reported) {
  int64_t rows = -2;
  std::string title;
  in_next_dialog([&](w_member_award_control& d) {
    rows = d.dw_1->rowcount();
    title = d.title();
    double_click_row(*d.dw_1, 0);  // no row: nothing happens
  });
  open_window("w_member_award_control", 15);
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(title, "会员奖励");
  const std::vector<msgbox_request> boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "查找会员15的总消费金额");
  EXPECT_EQ(first_lines(boxes)[0], "查找会员15的总消费金额失败");
  EXPECT_EQ(message.doubleparm, 1);

  // A member whose points reach no award: an empty list, and a double-click does nothing.
  in_next_dialog([&](w_member_award_control& d) {
    rows = d.dw_1->rowcount();
    double_click_row(*d.dw_1, 0);
  });
  exec("UPDATE t_member_award_method SET mdintegral = 200 WHERE methodid = 1");
  open_window("w_member_award_control", 2);
  EXPECT_EQ(rows, 0);
  EXPECT_TRUE(shown_boxes().empty());
}

// The commit's answer is lost while the server cannot be reached: the dialog says that the
// outcome is not known (and stays open) instead of inviting another try; the same award again
// finds the record stored by the first and closes, and nothing is stored twice.
TEST_P(award_control, a_redemption_not_known_to_be_stored_is_not_stored_twice_by_its_retry) {
  if (kind() != backend::postgres) GTEST_SKIP() << "only a server's answer can be lost";
  pg_cut_proxy proxy(url());
  ASSERT_EQ(sqlca.connect(proxy.url()), 0) << sqlca.sqlerrtext;
  bool open_after_first = false;
  in_next_dialog([&](w_member_award_control& d) {
    const int64_t row = row_with(*d.dw_1, "mdintegral", 150);
    proxy.cut_at_next_commit(pg_cut_proxy::cut::after_answer);
    proxy.refuse_connections(true);
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row);
    open_after_first = !d.is_closed();
    proxy.refuse_connections(false);
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row);
  });
  open_window("w_member_award_control", 1);
  ASSERT_TRUE(watch_.seen());
  EXPECT_TRUE(open_after_first);
  EXPECT_EQ(first_lines(shown_boxes()),
            (std::vector<std::string>{"您确定要对当前会员进行奖励领取操作吗？",
                                      "会员奖励领取结果未知：数据库没有确认本次领取是否已保存。",
                                      "您确定要对当前会员进行奖励领取操作吗？", "会员奖励领取操作成功！"}));
  EXPECT_EQ(row_count("t_member_award_record"), 1);
  EXPECT_EQ(points(1), 150);
}

INSTANTIATE_BOTH_BACKENDS(award_control);

}  // namespace
