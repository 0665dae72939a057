// w_member_maintain: which members it lists, its columns and computed age, the identity columns
// opened by MEMBER_MODIFY, and the member-number search typed into sle_1.

#include <QLabel>
#include <QTableView>

#include "member/w_member_maintain.h"
#include "windows/member_maintain_fixture.h"
#include "support/cell_checks.h"
#include "support/definition_swap.h"

namespace {

using member_maintain_list = member_list_test;
using ids_t = std::vector<int64_t>;

TEST_P(member_maintain_list, lists_the_shop_of_the_ini_file_by_member_site) {
  // MEMBER_SITE missing or NULL: every member, whatever the ini file says.
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员维护");
  EXPECT_EQ(w->dw_1->rowcount(), 5);
  set_param("MEMBER_SITE", "NULL");
  EXPECT_EQ(w->dw_1->of_retrieve(), 5);

  set_param("MEMBER_SITE", "1");
  EXPECT_EQ(w->dw_1->of_retrieve(), 4);
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(1, "siteid")).to_long(), 2);

  // The ini file is read again at every retrieval.
  write_ini("[Site]\nID=3\n");
  EXPECT_EQ(w->dw_1->of_retrieve(), 1);
  EXPECT_EQ(ids(*w->dw_1), ids_t{5});
  // No key, or no file: shop 0, which has no members here.
  write_ini("[Other]\nID=3\n");
  EXPECT_EQ(w->dw_1->of_retrieve(), 0);
  std::filesystem::remove(std::filesystem::path(runtime::current_directory()) / "util" /
                          "syncclient.ini");
  exec("UPDATE t_member SET siteid = 0 WHERE memberid = 2");
  EXPECT_EQ(w->dw_1->of_retrieve(), 1);
  EXPECT_EQ(ids(*w->dw_1), ids_t{2});

  // Any other value lists nobody.
  set_param("MEMBER_SITE", "0");
  EXPECT_EQ(w->dw_1->of_retrieve(), 0);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(member_maintain_list, shows_the_columns_in_order_with_their_display) {
  runtime::set_now(datetime::from_parts(2010, 6, 14, 9, 30));
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  QTableView* grid = w->dw_1->grid();
  ASSERT_NE(grid, nullptr);
  std::vector<std::string> headers;
  for (int c = 0; c < grid->model()->columnCount(); ++c)
    if (!grid->isColumnHidden(c))
      headers.push_back(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString());
  const std::vector<std::string> expected = {
      "序号", "会员代号", "会员号", "会员名称", "会员地址", "联系电话", "移动电话",
      "累计消费金额", "会员等级", "最后更新", "积分", "性别", "病例", "身份证", "工作单位",
      "备注", "医保卡", "做废", "增加日期", "代码", "出生日期", "年龄", "门店代号", "婚姻状况",
      "爱好", "过敏史"};
  EXPECT_EQ(headers, expected);
  const data_view& dv = w->dw_1->dv();
  EXPECT_FALSE(dv.definition().columns[size_t(dv.definition().column_index("age"))].visible);

  // Whole completed years: six days before the 40th birthday the member is still 39, which
  // the days / 365 formula got wrong. Birthdays that are no date show no age.
  u_wsk_dw& dw = *w->dw_1;
  EXPECT_EQ(shown(dw, row_of(dw, 1), "compute_2"), "39");
  runtime::set_now(datetime::from_parts(2010, 6, 20));
  EXPECT_EQ(shown(dw, row_of(dw, 1), "compute_2"), "40");
  for (int64_t id : {2, 3, 4, 5}) EXPECT_EQ(shown(dw, row_of(dw, id), "compute_2"), "") << id;

  const int64_t r1 = row_of(dw, 1);
  EXPECT_EQ(shown(dw, r1, "compute_1"), std::to_string(r1));
  EXPECT_EQ(shown(dw, r1, "levelid"), "普通会员");
  EXPECT_EQ(shown(dw, row_of(dw, 2), "levelid"), "金卡会员");
  exec("UPDATE t_member SET amountconsumed = 1234.5 WHERE memberid = 1");
  ASSERT_GE(dw.of_retrieve(), 0);
  EXPECT_EQ(shown(dw, row_of(dw, 1), "amountconsumed"), "1234.50");

  // The search row stands above the grid.
  EXPECT_EQ(w->st_1->text().toStdString(), "会员号");
  EXPECT_LT(w->sle_1->geometry().bottom(), w->dw_1->geometry().top());
  EXPECT_LT(w->st_1->geometry().right(), w->sle_1->geometry().left());
}

// Names of the columns that can be edited, in tab order.
std::vector<std::string> tab_order(const data_view& dv) {
  std::vector<std::pair<int, std::string>> tabbed;
  const auto& cols = dv.definition().columns;
  for (int c = 0; c < int(cols.size()); ++c)
    if (dv.tab_sequence(c) > 0) tabbed.push_back({dv.tab_sequence(c), cols[size_t(c)].name});
  std::stable_sort(tabbed.begin(), tabbed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (auto& t : tabbed) out.push_back(t.second);
  return out;
}

TEST_P(member_maintain_list, member_modify_opens_the_identity_columns) {
  {
    auto w = open<w_member_maintain>("w_member_maintain");
    ASSERT_TRUE(w);
    const std::vector<std::string> plain = {"contactphone", "mobile", "sex", "ail", "usercard",
                                            "company", "notes", "medcard", "available", "adddate",
                                            "code", "birthday"};
    EXPECT_EQ(tab_order(w->dw_1->dv()), plain);
    // Any value but 1 leaves the identity columns read only.
    set_param("MEMBER_MODIFY", "2");
    auto w2 = open<w_member_maintain>("w_member_maintain");
    EXPECT_EQ(tab_order(w2->dw_1->dv()), plain);
  }
  set_param("MEMBER_MODIFY", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  const std::vector<std::string> opened = {
      "memberid", "memberno", "mobile",  "membername", "sex",     "memberaddr",
      "ail",      "contactphone", "usercard", "company", "integral", "notes",
      "medcard",  "available", "adddate",  "code",    "birthday"};
  EXPECT_EQ(tab_order(w->dw_1->dv()), opened);
  const int levelid = w->dw_1->dv().definition().column_index("levelid");
  EXPECT_EQ(w->dw_1->dv().tab_sequence(levelid), 0);

  // Tab from the last editable cell of row 1 goes on to memberid of row 2, which takes an edit.
  QTableView* grid = w->dw_1->grid();
  ASSERT_TRUE(click_cell(*w->dw_1, 1, "birthday"));
  press_key(grid, Qt::Key_Tab);
  EXPECT_EQ(focused_column(*w->dw_1), "memberid");
  EXPECT_EQ(w->dw_1->getrow(), 2);
  const int64_t old_id = w->dw_1->of_get_id(2);
  ASSERT_TRUE(type_into_cell(*w->dw_1, 2, "memberid", "77"));
  EXPECT_EQ(w->dw_1->of_get_id(2), 77);
  EXPECT_EQ(w->kpo_save(1), 1);
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member WHERE memberid = :id", {int64_t(77)}), 1);
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member WHERE memberid = :id", {old_id}), 0);
}

TEST_P(member_maintain_list, a_tab_position_the_view_refuses_is_reported_and_stops_the_rest) {
  // A view that lacks membername: its TabSequence fails after memberid's and memberno's.
  definition_swap swap("dw_member_maintain",
                       [](dv_definition& d) { rename_column(d, "membername", "name_gone"); });
  set_param("MEMBER_MODIFY", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  const auto boxes = runtime::take_shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "会员维护");
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_NE(boxes[0].text.find("'membername'"), std::string::npos) << boxes[0].text;
  const data_view& dv = w->dw_1->dv();
  for (const auto& [column, tab] : std::vector<std::pair<std::string, int>>{
           {"memberid", 10}, {"memberno", 20}, {"name_gone", 0}, {"memberaddr", 0}, {"integral", 0}})
    EXPECT_EQ(dv.tab_sequence(dv.definition().column_index(column)), tab) << column;
  EXPECT_EQ(w->dw_1->rowcount(), 5);
}

// Types the text into sle_1 and presses Enter, as staff do.
void search(w_member_maintain& w, const std::string& text) {
  type_into(w.sle_1, text);
  press_key(w.sle_1, Qt::Key_Return);
}

TEST_P(member_maintain_list, search_finds_the_typed_member_number_literally) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  const int64_t first_1001 = dw.find("memberno=\"1001\"", 1, dw.rowcount());
  ASSERT_GT(first_1001, 0);

  search(*w, " 1001 ");  // blanks around the text do not count
  EXPECT_EQ(dw.getrow(), first_1001);
  search(*w, "");  // the empty text finds the empty member number
  EXPECT_EQ(dw.of_get_id(), 3);
  // A quote and a backslash are part of the number, not of the expression.
  search(*w, "a\"b\\c");
  EXPECT_EQ(dw.of_get_id(), 4);

  // Typing without Enter moves nothing; an unknown number moves nothing.
  type_into(w->sle_1, "1002");
  EXPECT_EQ(dw.of_get_id(), 4);
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(dw.of_get_id(), 2);
  search(*w, "9999");
  EXPECT_EQ(dw.of_get_id(), 2);

  // Hostile texts: no crash, no SQL, no box, the current row stays.
  for (const std::string& text :
       {std::string(1000, 'x'), std::string("1001\" or memberno<>\""), std::string("'\"'"),
        std::string("10%"), std::string("'; drop table t_member; --"),
        std::string("\") or (1=1")}) {
    search(*w, text);
    EXPECT_EQ(dw.of_get_id(), 2) << text;
  }
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(row_count("t_member"), 5);

  // An empty grid is not searched.
  set_param("MEMBER_SITE", "0");
  ASSERT_GE(dw.of_retrieve(), 0);
  search(*w, "1001");
  EXPECT_EQ(dw.getrow(), 0);
}

INSTANTIATE_BOTH_BACKENDS(member_maintain_list);

}  // namespace
