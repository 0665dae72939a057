// A new worker's day in 会员维护: a member added in the shop's list stays in it, a search that
// finds nothing says so, pasted line breaks do not reach a search or a cell, a failed save names
// the member, the member form's save shows in the list at once, and row numbers show whole.

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "member/w_member_info.h"
#include "member/w_member_maintain.h"
#include "windows/member_maintain_fixture.h"

namespace {

using member_maintain_worker = member_list_test;

// Pastes text with Ctrl+V into whatever has the keyboard focus, as from another program.
void paste(QWidget* w, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  press_key(w, Qt::Key_V, Qt::ControlModifier);
}

std::string outcome(const w_member_maintain& w) { return w.status->outcome_text().toStdString(); }

}  // namespace

TEST_P(member_maintain_worker, a_member_added_in_the_shops_list_takes_the_shop_and_stays_in_it) {
  set_param("MEMBER_MODIFY", "1");
  set_param("MEMBER_SITE", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  press_key(w.get(), Qt::Key_N, Qt::ControlModifier);
  const int64_t added = dw.getrow();
  ASSERT_TRUE(type_into_cell(dw, added, "memberid", "900"));
  ASSERT_TRUE(type_into_cell(dw, added, "memberno", "900900"));
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(scalar_long("SELECT siteid FROM t_member WHERE memberid = 900"), 2);

  press_key(w.get(), Qt::Key_F5);
  ASSERT_TRUE(type_into(w->sle_1, "900900"));
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(dw.of_get_id(), 900);
  EXPECT_EQ(shown(dw, dw.getrow(), "siteid"), "2");
  EXPECT_TRUE(shown_boxes().empty());
}

// No box (the search stays silent), but the status line says what was not found until the next
// action; a pasted line break or tab is dropped from the search text.
TEST_P(member_maintain_worker, a_search_that_finds_nothing_says_so_in_the_status_line) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 2), "membername"));
  ASSERT_TRUE(type_into(w->sle_1, " 7777 "));
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(outcome(*w), "未找到会员号 7777");
  EXPECT_EQ(dw.of_get_id(), 2);
  EXPECT_TRUE(shown_boxes().empty());

  ASSERT_TRUE(type_into(w->sle_1, ""));
  paste(w->sle_1, "10\r\n0\t1\n");
  EXPECT_EQ(w->sle_1->text().toStdString(), "1001");
  press_key(w->sle_1, Qt::Key_Return);
  EXPECT_EQ(dw.of_get_id(), 1);
  EXPECT_EQ(outcome(*w), "");
}

TEST_P(member_maintain_worker, a_line_break_pasted_into_a_cell_is_stored_as_a_space) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 1), "ail"));
  press_key(dw.grid(), Qt::Key_F2);
  paste(dw.grid(), "两行\r\n病例\t记录");
  press_key(dw.grid(), Qt::Key_Return);
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(scalar_text("SELECT ail FROM t_member WHERE memberid = 1"), "两行 病例 记录");
}

// The box keeps its fixed text; the status line names the row whose old number fails the check.
TEST_P(member_maintain_worker, a_refused_phone_number_is_named_in_the_status_line) {
  exec("UPDATE t_member SET contactphone = '0571-8888888' WHERE memberid = 4");
  set_param("MOBILE_CHECK", "1");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "notes", "改过"));
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(box_texts(shown_boxes()), std::vector<std::string>{"请您填好区号及正确的电话号码位数 "});
  EXPECT_EQ(outcome(*w), "电话号码位数不对：第 " + std::to_string(row_of(dw, 4)) +
                             " 行，会员号 a\"b\\c，会员名称 赵六");
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "a");
}

TEST_P(member_maintain_worker, a_delete_that_meets_another_terminals_change_names_the_member) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 5), "membername"));
  press_key(w.get(), Qt::Key_D, Qt::ControlModifier);
  exec("UPDATE t_member SET notes = '别处改过' WHERE memberid = 5");
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  const std::vector<std::string> texts = box_texts(shown_boxes());
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "要删除的会员号 1001、会员名称 钱七 已被其他终端修改或删除，请重新读取后再修改");
  EXPECT_EQ(row_count("t_member"), 5);
}

// What the member form saved shows in the list's row when the form closes, without F5.
TEST_P(member_maintain_worker, the_member_forms_save_shows_in_the_list_at_once) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_TRUE(click_cell(dw, row_of(dw, 2), "membername"));
  watch_.start<w_member_info>(
      [](w_member_info& form) {
        ASSERT_TRUE(type_into_field(*form.dw_1, "membername", "李四海"));
        click(form.cb_ok);
      },
      after_act::wait_for_close, 5000);
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_open));
  ASSERT_TRUE(watch_.seen());
  EXPECT_EQ(scalar_text("SELECT membername FROM t_member WHERE memberid = 2"), "李四海");
  EXPECT_EQ(shown(dw, row_of(dw, 2), "membername"), "李四海");
  EXPECT_EQ(dw.modifiedcount(), 0);
}

// Five-digit row numbers and whole date-times fit their columns instead of ending in "…".
TEST_P(member_maintain_worker, row_numbers_and_times_show_whole) {
  exec("INSERT INTO t_member (memberid, memberno, siteid) "
       "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 10099) "
       "SELECT i, CAST(i AS VARCHAR(20)), 2 FROM n");
  exec("UPDATE t_member SET lastupdated = :t WHERE memberid = 100",
       {value(datetime::from_parts(2009, 7, 5, 10, 20, 30))});
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  ASSERT_EQ(dw.rowcount(), 10005);
  QTableView* grid = dw.grid();
  const QFontMetrics fm(grid->font());
  const auto& def = dw.dv().definition();
  for (const auto& [column, widest] : {std::pair<std::string, std::string>{"compute_1", "10005"},
                                       {"lastupdated", "2009-07-05 10:20:30"}})
    EXPECT_GT(grid->columnWidth(def.column_index(column)),
              fm.horizontalAdvance(QString::fromStdString(widest)))
        << column;
}

// The window shows painted before a long first read fills its grid, not black until then: its
// first paint comes while the list is still empty.
TEST_P(member_maintain_worker, the_window_is_painted_before_its_list_is_read) {
  struct first_paint : QObject {
    int64_t rows = -1;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (auto* w = qobject_cast<w_member_maintain*>(o); w && e->type() == QEvent::Paint && rows < 0)
        rows = w->dw_1->rowcount();
      return false;
    }
  } painted;
  qApp->installEventFilter(&painted);
  auto w = open<w_member_maintain>("w_member_maintain");
  qApp->removeEventFilter(&painted);
  ASSERT_TRUE(w);
  EXPECT_EQ(painted.rows, 0);
  EXPECT_EQ(w->dw_1->rowcount(), 5);
}

INSTANTIATE_BOTH_BACKENDS(member_maintain_worker);
