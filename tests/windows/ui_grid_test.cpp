// The data view control as a grid over a real database: tab order and modify, refused edits,
// check box / code table / drop-down editing, the current row's colour and row selection both
// ways, clicks, double-clicks and Enter as the window gets them, of_get_id, a failed save, and
// a grid of 100,000 rows.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "framework/dataview/columns.h"
#include "framework/ui/control_events.h"
#include "framework/ui/dw_table_model.h"
#include "framework/ui/u_wsk_dw.h"
#include "support/test_db.h"
#include "support/window_helpers.h"
#include "support/cell_checks.h"

namespace {

using namespace dv_columns;

dv_definition make_members_grid() {
  dv_definition d;
  d.name = "dw_ui_test_members";
  d.sql = "SELECT memberid, memberno, membername, integral, sex, medcard, levelid FROM t_member "
          "ORDER BY memberid";
  d.update_table = "t_member";
  d.columns = {
      row_number().width(150),
      stored("memberid", integer).header("会员代号").width(247).key(),
      stored("memberno", text(20)).header("会员号").width(306).tab(20),
      stored("membername", text(60)).header("会员名称").width(366).tab(10),
      stored("integral", integer).header("积分").width(274).tab(20),
      stored("sex", text(4)).header("性别").width(183).tab(40).codes({{"男", "男"}, {"女", "女"}}),
      stored("medcard", integer).header("医保卡").width(183).tab(30).checkbox(),
      stored("levelid", integer).header("会员等级").width(370).tab(50)
          .dropdown("dw_member_levelid", "levelname", "levelid"),
  };
  return d;
}
const dv_registration reg_members(make_members_grid());

dv_definition make_big_grid() {
  dv_definition d;
  d.name = "dw_ui_test_big";
  d.sql = "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 100000) "
          "SELECT x AS id, x * 3 AS val FROM n";
  d.columns = {
      stored("id", integer).header("编号").width(300),
      stored("val", integer).header("数值").width(300),
  };
  return d;
}
const dv_registration reg_big(make_big_grid());

// The window holding the grid under test: records the grid's events.
struct grid_window : QWidget, control_events {
  std::vector<int64_t> clicks, double_clicks;
  int enters = 0;
  void dw_clicked(u_wsk_dw&, int64_t row) override { clicks.push_back(row); }
  void dw_doubleclicked(u_wsk_dw&, int64_t row) override { double_clicks.push_back(row); }
  void dw_enterpressed(u_wsk_dw&) override { ++enters; }
};

class grid_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员'), (2, '金卡会员')");
    exec("INSERT INTO t_member (memberid, memberno, membername, integral, sex, medcard, levelid) "
         "VALUES (1, '1001', '张三', 10, '男', 0, 1), (2, '1002', '李四', 20, '女', 1, 2), "
         "(3, '1003', '王五', NULL, NULL, NULL, NULL)");
    window_ = std::make_unique<grid_window>();
    window_->resize(900, 300);
    dw_ = std::make_unique<u_wsk_dw>(window_.get());
    dw_->resize(900, 300);
    ASSERT_EQ(dw_->set_dataobject("dw_ui_test_members"), 1);
    dw_->of_settransobject();
    ASSERT_EQ(dw_->retrieve(), 3);
    show_active(window_.get());
    shown_boxes();
  }
  void TearDown() override {
    dw_.reset();
    window_.reset();
    runtime::script_answers({});
    db_test::TearDown();
  }
  int col(const std::string& name) { return dw_->dv().definition().column_index(name); }
  QModelIndex cell(int64_t row, const std::string& name) {
    return dw_->grid()->model()->index(int(row - 1), col(name));
  }
  std::string current_column() {
    return dw_->dv().definition().columns[size_t(dw_->grid()->currentIndex().column())].name;
  }
  std::unique_ptr<grid_window> window_;
  std::unique_ptr<u_wsk_dw> dw_;  // a child of window_, released first
};

TEST_P(grid_test, tab_moves_through_editable_columns_in_tab_order_and_follows_modify) {
  QTableView* grid = dw_->grid();
  ASSERT_TRUE(click_cell(*dw_, 1, "membername"));
  std::vector<std::string> seen{current_column()};
  for (int i = 0; i < 6; ++i) {
    press_key(grid, Qt::Key_Tab);
    seen.push_back(current_column() + "@" + std::to_string(dw_->getrow()));
  }
  // Equal tab numbers (memberno, integral: 20) keep column order; after the last, the next row.
  EXPECT_EQ(seen, (std::vector<std::string>{"membername", "memberno@1", "integral@1", "medcard@1",
                                            "sex@1", "levelid@1", "membername@2"}));
  press_key(grid, Qt::Key_Backtab);
  EXPECT_EQ(current_column() + "@" + std::to_string(dw_->getrow()), "levelid@1");

  // At run time: integral first, memberno out of the order and no longer editable.
  EXPECT_EQ(dw_->modify("integral.TabSequence=5"), "");
  EXPECT_EQ(dw_->modify("memberno.TabSequence=0"), "");
  ASSERT_TRUE(click_cell(*dw_, 1, "integral"));
  press_key(grid, Qt::Key_Tab);
  EXPECT_EQ(current_column(), "membername");
  EXPECT_FALSE(cell(1, "memberno").flags() & Qt::ItemIsEditable);
  // Keys on a cell that takes no edit change nothing and move no row (no type-ahead).
  EXPECT_FALSE(type_into_cell(*dw_, 1, "memberno", "1003"));
  EXPECT_FALSE(type_into_cell(*dw_, 1, "memberid", "3"));
  EXPECT_EQ(dw_->getrow(), 1);
  EXPECT_EQ(dw_->modifiedcount(), 0);
}

TEST_P(grid_test, a_click_on_the_current_cell_opens_its_editor_unless_a_double_click_follows) {
  QTableView* grid = dw_->grid();
  auto open_editor = [&] {
    QWidget* f = QApplication::focusWidget();
    return f && grid->viewport()->isAncestorOf(f) ? qobject_cast<QLineEdit*>(f) : nullptr;
  };
  auto editor_after_interval = [&] {
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    return open_editor();
  };
  ASSERT_TRUE(click_cell(*dw_, 1, "membername"));  // row 1 is current
  EXPECT_EQ(open_editor(), nullptr);  // not yet: a double-click may follow
  QLineEdit* editor = editor_after_interval();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->selectedText().toStdString(), "张三");
  EXPECT_EQ(grid->currentIndex(), cell(1, "membername"));
  press_key(editor, Qt::Key_Escape);

  double_click_row(*dw_, 1, "membername");
  EXPECT_EQ(editor_after_interval(), nullptr);
  EXPECT_EQ(window_->double_clicks, std::vector<int64_t>{1});
}

TEST_P(grid_test, a_refused_edit_shows_the_engines_message_and_keeps_the_old_value) {
  ASSERT_TRUE(type_into_cell(*dw_, 1, "integral", "12a"));
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(boxes[0].text.empty());
  EXPECT_EQ(number_in(dw_->getitemnumber(1, "integral")).to_long(), 10);
  EXPECT_EQ(dw_->modifiedcount(), 0);

  // accepttext() commits the open editor and answers -1 when the value is refused; the editor
  // then shows the stored value again.
  ASSERT_TRUE(click_cell(*dw_, 2, "integral"));
  type_text(dw_->grid(), "x");
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text().toStdString(), "x");
  EXPECT_EQ(dw_->accepttext(), -1);
  EXPECT_EQ(number_in(dw_->getitemnumber(2, "integral")).to_long(), 20);
  EXPECT_EQ(editor->text().toStdString(), "20");
  press_key(editor, Qt::Key_A, Qt::ControlModifier);
  type_text(editor, "25");
  EXPECT_EQ(dw_->accepttext(), 1);
  EXPECT_EQ(number_in(dw_->getitemnumber(2, "integral")).to_long(), 25);
  EXPECT_EQ(dw_->modifiedcount(), 1);
}

TEST_P(grid_test, check_box_code_table_and_drop_down_show_and_store_their_values) {
  auto* model = dw_->grid()->model();
  EXPECT_EQ(model->data(cell(2, "medcard"), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(model->data(cell(1, "medcard"), Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_TRUE(model->setData(cell(1, "medcard"), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(number_in(dw_->getitemnumber(1, "medcard")).to_long(), 1);

  // The drop-down shows the level's name and stores its number.
  EXPECT_EQ(model->data(cell(2, "levelid"), Qt::DisplayRole).toString().toStdString(), "金卡会员");
  // F2 opens the editor of the clicked cell; a typed key picks the entry it begins.
  ASSERT_TRUE(click_cell(*dw_, 1, "levelid"));
  press_key(dw_->grid(), Qt::Key_F2);
  auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1).toStdString(), "金卡会员");
  type_text(combo, "金");
  EXPECT_EQ(dw_->accepttext(), 1);
  EXPECT_EQ(number_in(dw_->getitemnumber(1, "levelid")).to_long(), 2);

  // The code table offers only its values.
  ASSERT_TRUE(click_cell(*dw_, 3, "sex"));
  type_text(dw_->grid(), "女");
  combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 2);
  EXPECT_FALSE(combo->isEditable());
  EXPECT_EQ(dw_->accepttext(), 1);
  EXPECT_EQ(dw_->getitemstring(3, "sex").value_or(""), "女");

  ASSERT_EQ(dw_->of_update(), 1);
  EXPECT_EQ(scalar_long("SELECT levelid FROM t_member WHERE memberid = 1"), 2);
  EXPECT_EQ(scalar_long("SELECT medcard FROM t_member WHERE memberid = 1"), 1);
  EXPECT_EQ(scalar_text("SELECT sex FROM t_member WHERE memberid = 3"), "女");
}

TEST_P(grid_test, current_row_is_painted_yellow_and_selection_follows_it_both_ways) {
  dw_->of_set_currentrow_background(255 + 255 * 256);
  ASSERT_EQ(dw_->scrolltorow(2), 1);
  process_events();
  auto* model = dw_->grid()->model();
  EXPECT_EQ(model->data(cell(2, "membername"), Qt::BackgroundRole).value<QColor>(),
            QColor(255, 255, 0));
  EXPECT_FALSE(model->data(cell(1, "membername"), Qt::BackgroundRole).isValid());
  EXPECT_EQ(dw_->grid()->currentIndex().row(), 1);
  EXPECT_TRUE(dw_->grid()->selectionModel()->isRowSelected(1, {}));

  // What is painted: a pixel in the middle of row 2 (name column) is yellow.
  const QImage shot = dw_->grid()->viewport()->grab().toImage();
  const QRect r = dw_->grid()->visualRect(cell(2, "membername"));
  EXPECT_EQ(QColor(shot.pixel(r.left() + 2, r.center().y())), QColor(255, 255, 0));

  // A click in the grid moves the data view's current row.
  ASSERT_TRUE(click_cell(*dw_, 3, "memberno"));
  EXPECT_EQ(dw_->getrow(), 3);
  EXPECT_EQ(dw_->of_get_id(), 0);  // no id column named yet
  dw_->is_id_columnname = "memberid";
  EXPECT_EQ(dw_->of_get_id(), 3);
  EXPECT_EQ(dw_->of_get_id(7), 0);
}

TEST_P(grid_test, double_click_reports_the_row_and_below_the_rows_reports_0) {
  ASSERT_EQ(dw_->scrolltorow(2), 1);
  double_click_row(*dw_, 0);
  EXPECT_EQ(dw_->getrow(), 2);  // the current row stays
  double_click_row(*dw_, 3);
  EXPECT_EQ(window_->double_clicks, (std::vector<int64_t>{0, 3}));
  window_->clicks.clear();
  ASSERT_TRUE(click_cell(*dw_, 3, "membername"));
  EXPECT_EQ(window_->clicks, std::vector<int64_t>{3});  // a click reports its row too
  press_key(dw_->grid(), Qt::Key_Return);
  EXPECT_EQ(window_->enters, 1);
}

TEST_P(grid_test, a_failed_save_shows_the_reason_and_keeps_every_edit) {
  ASSERT_TRUE(type_into_cell(*dw_, 1, "membername", "张三丰"));
  ASSERT_TRUE(type_into_cell(*dw_, 2, "membername", "李四光"));
  // Another terminal deletes member 2 meanwhile.
  auto other = connect_another();
  ASSERT_EQ(other->execute("DELETE FROM t_member WHERE memberid = 2"), 0);
  ASSERT_EQ(other->commit(), 0);
  shown_boxes();
  EXPECT_LT(dw_->of_update(), 0);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "保存失败");
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_EQ(dw_->getitemstring(1, "membername").value_or(""), "张三丰");
  EXPECT_EQ(dw_->getitemstring(2, "membername").value_or(""), "李四光");
  EXPECT_EQ(dw_->modifiedcount(), 2);
  EXPECT_EQ(scalar_text("SELECT membername FROM t_member WHERE memberid = 1"), "张三");
}

TEST_P(grid_test, an_unknown_data_object_is_reported_and_leaves_the_view_empty) {
  u_wsk_dw dw;
  EXPECT_EQ(dw.set_dataobject("dw_no_such_view"), -1);
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "数据对象不存在：dw_no_such_view");
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_TRUE(dw.dv().definition().columns.empty());
  EXPECT_EQ(dw.set_dataobject("DW_UI_TEST_MEMBERS"), 1);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(grid_test, a_grid_of_100000_rows_opens_and_scrolls_reading_only_the_cells_shown) {
  u_wsk_dw big;
  big.resize(600, 400);
  ASSERT_EQ(big.set_dataobject("dw_ui_test_big"), 1);
  big.of_settransobject();
  ASSERT_EQ(big.retrieve(), 100000);
  show_active(&big);
  QTableView* grid = big.grid();
  EXPECT_EQ(grid->model()->rowCount(), 100000);
  EXPECT_EQ(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  ASSERT_EQ(big.scrolltorow(100000), 1);
  process_events();
  const QRect last = grid->visualRect(grid->model()->index(99999, 0));
  EXPECT_TRUE(grid->viewport()->rect().intersects(last));
  EXPECT_EQ(grid->model()->data(grid->model()->index(99999, 1)).toString(), "300000");
  // Opening and scrolling read the cells on screen, not a cell per row.
  auto* model = dynamic_cast<dw_table_model*>(grid->model());
  ASSERT_NE(model, nullptr);
  EXPECT_LT(model->data_calls(), 5000);
  // A read-only grid has no type-ahead either: keys move no row.
  ASSERT_TRUE(click_cell(big, 99998, "val"));
  type_text(grid, "3");
  EXPECT_EQ(big.getrow(), 99998);
}

INSTANTIATE_BOTH_BACKENDS(grid_test);

}  // namespace
