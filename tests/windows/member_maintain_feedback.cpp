// What the member maintenance list tells its user: the current member kept across F5, the status
// line after a save, an export and a filter and without its shop number file, whole texts of cut
// cells as tooltips, and column widths the user drags remembered for the next opening.

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QToolTip>

#include "framework/ui/units.h"
#include "member/w_member_maintain.h"
#include "windows/member_maintain_fixture.h"

namespace {

using member_maintain_feedback = member_list_test;

QPoint cell_centre(u_wsk_dw& dw, int64_t row, const std::string& column) {
  QTableView* grid = dw.grid();
  const QModelIndex idx = grid->model()->index(int(row - 1), dw.dv().definition().column_index(column));
  grid->scrollTo(idx);
  return grid->visualRect(idx).center();
}

// What a resting mouse shows: the tooltip's text, or "" when none comes up.
std::string tooltip_at(QWidget* viewport, QPoint at) {
  for (QWidget* top : QApplication::topLevelWidgets())  // the tooltip shown before is gone
    if (top->inherits("QTipLabel")) top->hide();
  QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
  QApplication::sendEvent(viewport, &help);
  return QToolTip::isVisible() ? QToolTip::text().toStdString() : "";
}

// Answers the next file dialog as a user does: once it has listed its folder, types the path
// into its file name field and presses Enter.
void answer_file_dialog(const std::string& path) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, path, ticks] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    auto* model = dialog->findChild<QFileSystemModel*>();
    const bool listed = !model || model->rowCount(model->index(dialog->directory().absolutePath())) > 0;
    if (!listed && ++*ticks < 250) return;
    timer->stop();
    timer->deleteLater();
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!name || !type_into(name, path)) return;
    press_key(name, Qt::Key_Return);
  });
  timer->start();
}

TEST_P(member_maintain_feedback, f5_reads_again_and_keeps_the_current_member) {
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  click_cell(dw, row_of(dw, 4), "membername");
  ASSERT_EQ(dw.of_get_id(), 4);

  // Meanwhile a row above it goes and the member's name changes (its row number changes; where
  // to depends on the database's order).
  exec("DELETE FROM t_member WHERE memberid = 1");
  exec("UPDATE t_member SET membername = '赵小六' WHERE memberid = 4");
  press_key(w.get(), Qt::Key_F5);
  EXPECT_EQ(dw.rowcount(), 4);
  EXPECT_EQ(dw.of_get_id(), 4);
  EXPECT_EQ(shown(dw, dw.getrow(), "membername"), "赵小六");
  EXPECT_EQ(dw.grid()->currentIndex().row() + 1, dw.getrow());  // selected on screen as well
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 4 行");

  // The member itself is gone: the list starts at its first row.
  exec("DELETE FROM t_member WHERE memberid = 4");
  press_key(w.get(), Qt::Key_F5);
  EXPECT_EQ(dw.getrow(), 1);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(member_maintain_feedback, the_status_line_tells_rows_saves_and_exports) {
  set_param("MEMBER_MODIFY", "1");  // memberid can be typed for a new row
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 5 行");
  EXPECT_EQ(w->status->outcome_text().toStdString(), "");

  // One changed, one deleted, one added: Ctrl+S saves them and counts them.
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 1), "notes", "改过"));
  click_cell(dw, row_of(dw, 5), "membername");
  press_key(w.get(), Qt::Key_D, Qt::ControlModifier);
  press_key(w.get(), Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(type_into_cell(dw, dw.getrow(), "memberid", "9"));
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 5 行");
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(scalar_text("SELECT notes FROM t_member WHERE memberid = 1"), "改过");
  EXPECT_EQ(row_count("t_member"), 5);
  EXPECT_EQ(w->status->outcome_text().toStdString(), "已保存：新增 1 行，修改 1 行，删除 1 行");
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(w->status->outcome_text().toStdString(), "没有需要保存的修改");

  // A refused save keeps its box and claims no save: it names the row it refused.
  set_param("MOBILE_CHECK", "1");
  ASSERT_TRUE(type_into_cell(dw, row_of(dw, 2), "mobile", "123"));
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(shown_boxes().size(), 1u);
  EXPECT_EQ(w->status->outcome_text().toStdString(),
            "电话号码位数不对：第 " + std::to_string(row_of(dw, 2)) + " 行，会员号 1002，会员名称 李四");

  // Export through the file dialog, answered as a user would.
  const std::string path = (std::filesystem::path(runtime::current_directory()) / "list.csv").string();
  answer_file_dialog(path);
  press_key(w.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(w->status->outcome_text().toStdString(), "已导出 5 行到 " + path);
  show_active(w.get());  // the window manager's part: the list is active again after the dialog

  // A read of the list (its unsaved change given up) starts afresh.
  answer_next_boxes({2});
  press_key(w.get(), Qt::Key_F5);
  EXPECT_EQ(w->status->outcome_text().toStdString(), "");
}

TEST_P(member_maintain_feedback, a_missing_shop_number_file_is_named_in_the_status_line) {
  const std::string ini = runtime::current_directory() + "/util/syncclient.ini";
  std::filesystem::remove(ini);
  set_param("MEMBER_SITE", "1");  // the list holds the members of its own shop only
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 0 行");
  EXPECT_EQ(w->status->outcome_text().toStdString(),
            "找不到门店号文件 " + ini + "，门店号按 0 计");

  // With the file back, F5 reads the shop's members and the note is gone.
  write_ini("[Site]\nID=2\n");
  press_key(w.get(), Qt::Key_F5);
  EXPECT_EQ(w->status->rows_text().toStdString(), "共 4 行");
  EXPECT_EQ(w->status->outcome_text().toStdString(), "");
}

TEST_P(member_maintain_feedback, cut_texts_show_whole_as_tooltips) {
  const std::string address = "浙江省杭州市西湖区文三路一百号二单元三楼";
  exec("UPDATE t_member SET lastupdated = :d, memberaddr = :a WHERE memberid = 1",
       {value(datetime::from_parts(2009, 7, 5, 10, 20, 30)), address});
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  u_wsk_dw& dw = *w->dw_1;
  QWidget* cells = dw.grid()->viewport();
  const int64_t r = row_of(dw, 1);
  EXPECT_EQ(tooltip_at(cells, cell_centre(dw, r, "memberid")), "");  // fits: no tooltip
  EXPECT_EQ(tooltip_at(cells, cell_centre(dw, r, "memberaddr")), address);
  // The date's column is wider than declared: the date and time show whole, without a tooltip.
  EXPECT_EQ(tooltip_at(cells, cell_centre(dw, r, "lastupdated")), "");
  EXPECT_EQ(shown(dw, r, "lastupdated"), "2009-07-05 10:20:30");
  const int col = dw.dv().definition().column_index("lastupdated");
  EXPECT_GT(dw.grid()->columnWidth(col), units_to_px_x(279));

  QHeaderView* header = dw.grid()->horizontalHeader();
  const int medcard = dw.dv().definition().column_index("medcard");
  cell_centre(dw, r, "medcard");  // scrolled into view
  const QPoint on_header(header->sectionViewportPosition(medcard) + 3, header->height() / 2);
  EXPECT_EQ(tooltip_at(header->viewport(), on_header), "");  // fits as declared
  dw.grid()->setColumnWidth(medcard, 30);                      // narrowed, as by a drag
  EXPECT_EQ(tooltip_at(header->viewport(), on_header), "医保卡");
}

TEST_P(member_maintain_feedback, a_dragged_column_width_is_there_at_the_next_opening) {
  QSettings(QSettings::IniFormat, QSettings::UserScope, "member-module", "columns").clear();
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  const auto& def = w->dw_1->dv().definition();
  const int addr = def.column_index("memberaddr"), no = def.column_index("memberno");
  QHeaderView* header = w->dw_1->grid()->horizontalHeader();
  const int declared = header->sectionSize(addr);
  EXPECT_EQ(declared, units_to_px_x(498));

  // The user drags the right edge of "会员地址" 60 pixels to the right.
  QWidget* vp = header->viewport();
  const int edge = header->sectionViewportPosition(addr) + declared - 1;
  const int y = header->height() / 2;
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
  for (int dx = 10; dx <= 60; dx += 10) {
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + dx, y), vp->mapToGlobal(QPointF(edge + dx, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
  }
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, QPoint(edge + 60, y));
  EXPECT_EQ(header->sectionSize(addr), declared + 60);
  w->close_window();
  w.reset();

  w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  header = w->dw_1->grid()->horizontalHeader();
  EXPECT_EQ(header->sectionSize(addr), declared + 60);
  EXPECT_EQ(header->sectionSize(no), units_to_px_x(306));  // not dragged: as declared
  QSettings(QSettings::IniFormat, QSettings::UserScope, "member-module", "columns").clear();
}

INSTANTIATE_BOTH_BACKENDS(member_maintain_feedback);

}  // namespace
