// w_member_view: the wider selection with the bill table, the narrow grid with four editable
// columns, its save and the open action that shows the host's sales summary.

#include <QAction>
#include <QTableView>

#include "member/w_member_view.h"
#include "windows/member_maintain_fixture.h"

namespace {

using member_view_list = member_list_test;
using ids_t = std::vector<int64_t>;

TEST_P(member_view_list, lists_the_shop_and_every_member_with_bills) {
  exec("INSERT INTO t_member (memberid, memberno, siteid) VALUES (6, '3001', 3)");
  exec("INSERT INTO t_bill_header (billno, memberid) VALUES ('B1', 5), ('B2', 5), ('B3', NULL)");
  auto w = open<w_member_view>("w_member_view");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员查看");
  EXPECT_EQ(w->dw_1->rowcount(), 6);  // MEMBER_SITE missing: everyone

  set_param("MEMBER_SITE", "1");
  ASSERT_GE(w->dw_1->of_retrieve(), 0);
  ids_t got = ids(*w->dw_1);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (ids_t{1, 2, 3, 4, 5}));  // 5 of shop 3 has bills, 6 has none
  write_ini("[Site]\nID=3\n");
  ASSERT_GE(w->dw_1->of_retrieve(), 0);
  got = ids(*w->dw_1);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (ids_t{5, 6}));
  set_param("MEMBER_SITE", "0");
  EXPECT_EQ(w->dw_1->of_retrieve(), 0);
}

TEST_P(member_view_list, narrow_grid_with_level_numbers_and_four_editable_columns) {
  set_param("MEMBER_MODIFY", "1");  // has no effect here
  auto w = open<w_member_view>("w_member_view");
  ASSERT_TRUE(w);
  QTableView* grid = w->dw_1->grid();
  std::vector<std::string> headers;
  for (int c = 0; c < grid->model()->columnCount(); ++c)
    if (!grid->isColumnHidden(c))
      headers.push_back(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString());
  EXPECT_EQ(headers, (std::vector<std::string>{"序号", "会员代号", "会员号", "会员名称",
                                               "累计消费金额", "积分", "会员等级代号",
                                               "最后更新时间", "性别", "病例", "做废", "代码",
                                               "门店代号"}));
  const data_view& dv = w->dw_1->dv();
  std::vector<std::string> editable;
  for (int c = 0; c < int(dv.definition().columns.size()); ++c)
    if (dv.tab_sequence(c) > 0) editable.push_back(dv.definition().columns[size_t(c)].name);
  EXPECT_EQ(editable, (std::vector<std::string>{"sex", "ail", "available", "code"}));
  EXPECT_EQ(shown(*w->dw_1, row_of(*w->dw_1, 2), "levelid"), "2");
  EXPECT_FALSE(type_into_cell(*w->dw_1, 1, "memberno", "x"));
}

TEST_P(member_view_list, saves_its_columns_without_phone_checks) {
  set_param("MOBILE_CHECK", "1");
  exec("UPDATE t_member SET contactphone = '123', mobile = '1' WHERE memberid = 2");
  auto w = open<w_member_view>("w_member_view");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 2), "code", "C-2"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "sex", "abcd"));  // free text of 4 bytes
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(scalar_text("SELECT code FROM t_member WHERE memberid = 2"), "C-2");
  EXPECT_EQ(scalar_text("SELECT sex FROM t_member WHERE memberid = 1"), "abcd");

  // A new row without a member code is still asked about.
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_insert));
  ASSERT_TRUE(type_into_cell(dw, dw.rowcount(), "code", "new"));
  answer_next_boxes({2});
  EXPECT_EQ(w->kpo_save(1), -1);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "第6行会员代号为空，是否删除该行？");
  EXPECT_EQ(dw.rowcount(), 6);
}

// Typing right after a second click in the current row edits that row's cell (no type-ahead).
TEST_P(member_view_list, typing_after_a_click_on_the_current_row_edits_that_member) {
  exec("UPDATE t_member SET ail = '高血脂' WHERE memberid = 5");
  auto w = open<w_member_view>("w_member_view");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 4), "membername"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 4), "ail", "高血压"));
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 4), "code", "C4", 60));
  EXPECT_EQ(dw.of_get_id(), 4);
  press_key(dw.grid(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(scalar_text("SELECT ail FROM t_member WHERE memberid = 4"), "高血压");
  EXPECT_EQ(scalar_text("SELECT code FROM t_member WHERE memberid = 4"), "C4");
  EXPECT_EQ(scalar_text("SELECT ail FROM t_member WHERE memberid = 5"), "高血脂");
  EXPECT_TRUE(scalar("SELECT code FROM t_member WHERE memberid = 5").is_null());
}

TEST_P(member_view_list, open_shows_the_sales_summary_of_the_current_member) {
  auto w = open<w_member_view>("w_member_view");
  ASSERT_TRUE(w);
  ASSERT_TRUE(click_cell(*w->dw_1, row_of(*w->dw_1, 5), "membername"));
  close_next_modal();
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  EXPECT_EQ(modal_seen_, "w_member_sale_sum");
  EXPECT_EQ(modal_parm_, 5);
}

INSTANTIATE_BOTH_BACKENDS(member_view_list);

}  // namespace
