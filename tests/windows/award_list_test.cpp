// w_member_award: the members with their points and the cheapest award, the "全部" filter, the
// member-number search, and the redemption dialog opened for the current row.

#include <QAction>
#include <QTableView>

#include "windows/award_fixture.h"
#include "support/cell_checks.h"
#include "support/definition_swap.h"

namespace {

using award_list = award_test;

std::vector<std::string> headers(u_wsk_dw& dw) {
  std::vector<std::string> out;
  const QAbstractItemModel* m = dw.grid()->model();
  for (int c = 0; c < m->columnCount(); ++c)
    if (!dw.grid()->isColumnHidden(c))
      out.push_back(m->headerData(c, Qt::Horizontal).toString().toStdString());
  return out;
}

std::vector<int64_t> ids(u_wsk_dw& dw) {
  std::vector<int64_t> out;
  for (int64_t r = 1; r <= dw.rowcount(); ++r) out.push_back(dw.of_get_id(r));
  std::sort(out.begin(), out.end());
  return out;
}

TEST_P(award_list, lists_points_and_the_cheapest_award_and_filters_on_it) {
  auto w = open_list();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员奖励领取");
  EXPECT_EQ(headers(*w->dw_1),
            (std::vector<std::string>{"序号", "会员代号", "会员号", "会员名称", "会员地址", "联系电话",
                                      "累积金额", "总积分", "最低奖励", "最后更新时间",
                                      "会员等级代号"}));
  auto* cbx_1 = find_control<u_wsk_cbx>(w.get(), "cbx_1");
  ASSERT_NE(cbx_1, nullptr);
  EXPECT_EQ(cbx_1->text().toStdString(), "全部");
  EXPECT_TRUE(cbx_1->isChecked());
  ASSERT_EQ(w->dw_1->rowcount(), 4);

  // Null points read as 0; the cheapest award above 0 (150, not the free one) on every row.
  const data_view& dv = w->dw_1->dv();
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(row_with(*w->dw_1, "memberid", 3), "integral")).to_long(), 0);
  for (int64_t r = 1; r <= 4; ++r) EXPECT_EQ(number_in(w->dw_1->getitemnumber(r, "mdintegral")).to_long(), 150);
  const int64_t r1 = row_with(*w->dw_1, "memberid", 1);
  EXPECT_EQ(dv.gettext(r1, dv.definition().column_index("amountconsumed")), "12.50");
  EXPECT_EQ(dv.gettext(r1, dv.definition().column_index("levelid")), "1");

  click(cbx_1);
  EXPECT_EQ(ids(*w->dw_1), (std::vector<int64_t>{1, 4}));  // 300 and exactly 150 points
  click(cbx_1);
  EXPECT_EQ(ids(*w->dw_1), (std::vector<int64_t>{1, 2, 3, 4}));

  // Without an award above 0 the threshold is 0: everybody, null points included, stays.
  exec("DELETE FROM t_member_award_method WHERE mdintegral > 0");
  click(cbx_1);
  ASSERT_GE(w->dw_1->of_retrieve(), 0);
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(1, "mdintegral")).to_long(), 0);
  EXPECT_EQ(ids(*w->dw_1), (std::vector<int64_t>{1, 2, 3, 4}));
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_list, enter_finds_the_typed_member_number_literally_among_the_shown_rows) {
  auto w = open_list();
  ASSERT_TRUE(w);
  auto* sle_1 = find_control<u_wsk_sle>(w.get(), "sle_1");
  ASSERT_NE(sle_1, nullptr);
  EXPECT_NE(find_control<QLabel>(w.get(), "st_1"), nullptr);
  auto search = [&](const std::string& text) {
    type_into(sle_1, text);
    press_key(sle_1, Qt::Key_Return);
    return w->dw_1->of_get_id();
  };
  ASSERT_TRUE(click_cell(*w->dw_1, row_with(*w->dw_1, "memberid", 2), "memberid"));
  EXPECT_EQ(search("  000123  "), 1);
  EXPECT_EQ(search("a\"b\\c"), 4);            // quotes and backslashes are part of the number
  EXPECT_EQ(search("\" or \"1\"=\"1"), 4);   // no match: the current row stays
  EXPECT_EQ(search(""), 4);
  // Typing without Enter does not search.
  type_into(sle_1, "000300");
  EXPECT_EQ(w->dw_1->of_get_id(), 4);

  // A member below the cheapest award is not found while "全部" is unchecked.
  click(find_control<u_wsk_cbx>(w.get(), "cbx_1"));
  EXPECT_EQ(search("000200"), 4);
  EXPECT_EQ(search("000123"), 1);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_list, opening_a_row_runs_the_dialog_for_its_member_and_reads_the_list_again) {
  auto w = open_list();
  ASSERT_TRUE(w);
  const int64_t row = row_with(*w->dw_1, "memberid", 1);

  // Closing the dialog without a redemption reads the list again too: a change made meanwhile by
  // another terminal shows up.
  int64_t served = 0;
  in_next_dialog([&](w_member_award_control& d) {
    served = d.il_memberid;
    auto other = connect_another();
    other->execute("UPDATE t_member SET integral = 280 WHERE memberid = 1");
    other->commit();
  });
  double_click_row(*w->dw_1, row);
  EXPECT_TRUE(watch_.seen());
  EXPECT_EQ(served, 1);
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(row_with(*w->dw_1, "memberid", 1), "integral")).to_long(), 280);

  // A saving request changes nothing.
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_FALSE(w->toolbar->act_insert->isEnabled());
  EXPECT_EQ(points(1), 280);
}

// After a redemption the list is read again and the member served stays current, in view, with
// the lowered points; the status line counts the rows a filter holds back, also after F5.
TEST_P(award_list, the_redeemed_member_stays_current_with_the_lowered_points) {
  for (int64_t id = 100; id < 400; ++id)
    exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (:id, :no, 10)",
         {id, "1" + std::to_string(id)});
  exec("INSERT INTO t_member (memberid, memberno, integral) VALUES (500, '000500', 320)");
  auto w = open_list();
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 305 行");
  ASSERT_TRUE(type_into(w->sle_1, "000500"));
  press_key(w->sle_1, Qt::Key_Return);
  ASSERT_EQ(dw.of_get_id(), 500);
  const int64_t row = dw.getrow();
  ASSERT_GT(row, 300);

  in_next_dialog([&](w_member_award_control& d) {
    answer_next_boxes({1, 1});
    double_click_row(*d.dw_1, row_with(*d.dw_1, "mdintegral", 300));
  });
  double_click_row(dw, row);
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(points(500), 20);
  EXPECT_EQ(dw.of_get_id(), 500);
  EXPECT_EQ(dw.getrow(), row);
  QTableView* grid = dw.grid();
  const QModelIndex points_cell =
      grid->model()->index(int(row - 1), dw.dv().definition().column_index("integral"));
  EXPECT_EQ(points_cell.data().toString().toStdString(), "20");
  EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(points_cell)));
  EXPECT_EQ(grid->currentIndex().row() + 1, row);

  // Only those who reach the cheapest award (150): 000123, a"b\c, and 000200 after a top-up.
  show_active(w.get());  // the window manager's part: the list is active again after the dialog
  click(w->cbx_1);
  EXPECT_EQ(w->status->rows_text().toStdString(), "显示 2 行，筛选隐藏 303 行");
  exec("UPDATE t_member SET integral = 150 WHERE memberid = 2");
  press_key(w.get(), Qt::Key_F5);
  EXPECT_EQ(w->status->rows_text().toStdString(), "显示 3 行，筛选隐藏 302 行");
}

TEST_P(award_list, a_filter_on_a_column_the_view_lacks_is_reported_and_leaves_rows_and_mark) {
  definition_swap swap("dw_member_award",
                       [](dv_definition& d) { rename_column(d, "mdintegral", "least_gone"); });
  auto w = open_list();
  ASSERT_TRUE(w);
  ASSERT_EQ(ids(*w->dw_1), (std::vector<int64_t>{1, 2, 3, 4}));
  runtime::take_shown_boxes();
  click(w->cbx_1);
  const auto boxes = runtime::take_shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "会员奖励领取");
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_NE(boxes[0].text.find("mdintegral"), std::string::npos) << boxes[0].text;
  // No filter is in force, and the mark says so.
  EXPECT_TRUE(w->cbx_1->isChecked());
  EXPECT_EQ(ids(*w->dw_1), (std::vector<int64_t>{1, 2, 3, 4}));
}

INSTANTIATE_BOTH_BACKENDS(award_list);

}  // namespace
