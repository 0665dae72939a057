#include "support/window_helpers.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/w_single_dw_list.h"

void process_events() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void show_active(QWidget* w) {
  w->show();
  w->raise();
  w->activateWindow();
  QApplication::setActiveWindow(w->window());
  process_events();
}

void click(QWidget* w, QPoint pos) {
  // A check box is clicked on its box: its centre may lie beyond its text, where a click is lost.
  if (auto* check = qobject_cast<QCheckBox*>(w); check && pos.isNull()) {
    QStyleOptionButton opt;
    opt.initFrom(check);
    pos = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, check).center();
  }
  if (pos.isNull()) pos = w->rect().center();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, pos);
  process_events();
}

bool click_tool(QToolBar* bar, QAction* action) {
  QWidget* button = bar->widgetForAction(action);
  if (!button || !button->isVisible()) return false;
  click(button);
  return true;
}

void double_click(QWidget* w, QPoint pos) {
  // What the window system delivers for a double-click: press, release, double-click, release.
  QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, pos);
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pos);
  QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, pos);
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pos);
  process_events();
}

namespace {

// Where the keyboard goes: an open popup, else the focus widget, else w's window's focus widget.
QWidget* key_target(QWidget* w) {
  if (QWidget* popup = QApplication::activePopupWidget())
    return popup->focusWidget() ? popup->focusWidget() : popup;
  if (QWidget* f = QApplication::focusWidget()) return f;
  if (QWidget* f = w->window()->focusWidget()) return f;
  return w;
}

void send_key(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods) {
  // A window manager gives the activation back to the window under a dialog that closed; the
  // offscreen platform leaves no window active.
  if (!QApplication::activeWindow() && !QApplication::activePopupWidget())
    QApplication::setActiveWindow(w->window());
  QTest::sendKeyEvent(QTest::Click, key_target(w), Qt::Key(key), text, mods);
}

// The key a character's key press carries (Latin letters and ASCII signs have their own).
int key_of(QChar c) {
  if (c.unicode() >= 0x20 && c.unicode() < 0x7f) return c.toUpper().unicode();
  return 0;
}

// Turns the mouse wheel over the grid until the cell's centre lies in the viewport; answers
// that centre, or nothing when the wheel no longer brings it closer.
std::optional<QPoint> wheel_into_view(QAbstractItemView* view, const QModelIndex& idx) {
  QWidget* vp = view->viewport();
  int sign_y = 1, sign_x = 1;
  for (int tries = 0; tries < 10000; ++tries) {
    const QPoint c = view->visualRect(idx).center();
    const QRect area = vp->rect();
    const int off_y = c.y() < area.top() ? -1 : c.y() > area.bottom() ? 1 : 0;
    const int off_x = c.x() < area.left() ? -1 : c.x() > area.right() ? 1 : 0;
    if (off_y == 0 && off_x == 0) return c;
    const QPoint delta = off_y != 0 ? QPoint(0, -120 * off_y * sign_y) : QPoint(-120 * off_x * sign_x, 0);
    QWheelEvent wheel(QPointF(area.center()), QPointF(vp->mapToGlobal(area.center())), QPoint(),
                      delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &wheel);
    QApplication::processEvents();
    const QPoint after = view->visualRect(idx).center();
    const int before_dist = off_y != 0 ? std::abs(c.y() - area.center().y()) : std::abs(c.x() - area.center().x());
    const int after_dist = off_y != 0 ? std::abs(after.y() - area.center().y())
                                      : std::abs(after.x() - area.center().x());
    if (after_dist < before_dist) continue;
    // The wheel turned the other way for this axis (or not at all): try the other way once.
    int& sign = off_y != 0 ? sign_y : sign_x;
    if (sign < 0) return std::nullopt;
    sign = -1;
  }
  return std::nullopt;
}

std::optional<QPoint> cell_point(u_wsk_dw& dw, int64_t row, int col) {
  QTableView* grid = dw.grid();
  if (!grid || col < 0 || grid->isColumnHidden(col)) return std::nullopt;
  const QModelIndex idx = grid->model()->index(int(row - 1), col);
  if (!idx.isValid()) return std::nullopt;
  return wheel_into_view(grid, idx);
}

// The editor open in the grid, if the keyboard is in one.
QWidget* grid_editor(QTableView* grid) {
  QWidget* f = QApplication::focusWidget();
  QWidget* vp = grid->viewport();
  return f && f != vp && vp->isAncestorOf(f) ? f : nullptr;
}

bool has_focus_in(QWidget* w) {
  QWidget* f = QApplication::focusWidget();
  return f && (f == w || w->isAncestorOf(f));
}

}  // namespace

void press_key(QWidget* w, int key, Qt::KeyboardModifiers mods) {
  QString text;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) text = "\r";
  else if (key == Qt::Key_Tab) text = "\t";
  else if (key == Qt::Key_Backspace) text = "\b";
  else if (key == Qt::Key_Delete) text = QString(QChar(0x7f));
  else if (key == Qt::Key_Escape) text = QString(QChar(0x1b));
  else if (key < 0x7f && key >= 0x20 && !(mods & (Qt::ControlModifier | Qt::AltModifier)))
    text = QString(QChar(key)).toLower();
  send_key(w, key, text, mods);
  process_events();
}

void paste(QWidget* w, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  press_key(w, Qt::Key_V, Qt::ControlModifier);
}

void type_text(QWidget* w, const std::string& text, int delay_ms) {
  for (const QChar c : QString::fromStdString(text)) {
    if (delay_ms > 0) QTest::qWait(delay_ms);
    send_key(w, key_of(c), QString(c), Qt::NoModifier);
  }
  process_events();
}

bool type_into(QWidget* field, const std::string& text) {
  click(field);
  if (!has_focus_in(field)) return false;
  press_key(field, Qt::Key_A, Qt::ControlModifier);
  if (text.empty()) press_key(field, Qt::Key_Delete);
  else type_text(field, text);
  return true;
}

bool type_into_field(u_wsk_dw& dw, const std::string& column, const std::string& text) {
  QWidget* field = dw.field_widget(column);
  if (!field || !field->isVisible()) return false;
  if (auto* combo = qobject_cast<QComboBox*>(field); combo && !combo->isEditable()) {
    // The click opens the list; the keys find the entry, Enter takes it.
    click(field);
    if (!QApplication::activePopupWidget()) return false;
    type_text(field, text);
    press_key(field, Qt::Key_Return);
  } else if (qobject_cast<QLineEdit*>(field)) {
    if (!type_into(field, text)) return false;
  } else {
    click(field);
    if (!has_focus_in(field)) return false;
  }
  press_key(field, Qt::Key_Tab);
  return true;
}

bool click_cell(u_wsk_dw& dw, int64_t row, const std::string& column) {
  const std::optional<QPoint> at = cell_point(dw, row, dw.dv().definition().column_index(column));
  if (!at) return false;
  click(dw.grid()->viewport(), *at);
  return true;
}

bool type_into_cell(u_wsk_dw& dw, int64_t row, const std::string& column, const std::string& text,
                    int delay_ms) {
  if (!click_cell(dw, row, column)) return false;
  QTableView* grid = dw.grid();
  if (text.empty()) {  // F2 opens the editor with its text selected; Backspace clears it
    press_key(grid, Qt::Key_F2);
    press_key(grid, Qt::Key_Backspace);
  } else {
    type_text(grid, text, delay_ms);
  }
  if (!grid_editor(grid)) return false;
  press_key(grid, Qt::Key_Return);
  return true;
}

std::string focused_column(u_wsk_dw& dw) {
  QWidget* f = dw.window()->focusWidget();
  if (!f) return "";
  const auto& cols = dw.dv().definition().columns;
  if (QTableView* grid = dw.grid(); grid && (f == grid || grid->isAncestorOf(f))) {
    const QModelIndex cur = grid->currentIndex();
    return cur.isValid() ? cols[size_t(cur.column())].name : "";
  }
  for (const auto& c : cols)
    if (dw.field_widget(c.name) == f) return c.name;
  return "";
}

void double_click_row(u_wsk_dw& dw, int64_t row, const std::string& column) {
  QTableView* grid = dw.grid();
  if (!grid) {
    ADD_FAILURE() << "the data view shows no grid to double-click";
    return;
  }
  QPoint at;
  if (row > 0) {
    int col = column.empty() ? 0 : dw.dv().definition().column_index(column);
    while (column.empty() && col < grid->model()->columnCount() - 1 && grid->isColumnHidden(col))
      ++col;
    const std::optional<QPoint> p = cell_point(dw, row, col);
    if (!p) {
      ADD_FAILURE() << "row " << row << " of the grid cannot be brought into view to double-click";
      return;
    }
    at = *p;
  } else {
    const int rows = grid->model()->rowCount();
    const int bottom = rows > 0 ? grid->visualRect(grid->model()->index(rows - 1, 0)).bottom() : 0;
    at = QPoint(10, bottom + 10);
  }
  double_click(grid->viewport(), at);
}

void when_modal_shows(std::function<void(QWidget*)> fn, int wait_ms) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, ticks, wait_ms, fn = std::move(fn)] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog && ++*ticks < wait_ms / 20) return;
    timer->stop();
    timer->deleteLater();
    if (!dialog) return;
    // The window manager activates a dialog that opens; the offscreen platform may not.
    if (QApplication::activeWindow() != dialog) QApplication::setActiveWindow(dialog);
    fn(dialog);
  });
  timer->start();
}

namespace {
// Asked whether to replace a file of the name typed: yes, the user typed it.
void answer_replace_question() {
  when_modal_shows(
      [](QWidget* box) {
        if (auto* b = qobject_cast<QMessageBox*>(box); b && b->button(QMessageBox::Yes))
          click(b->button(QMessageBox::Yes));
      },
      1000);
}
}  // namespace

void answer_next_file_dialog(const std::string& path) {
  when_modal_shows([path](QWidget* dialog) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!qobject_cast<QFileDialog*>(dialog) || !name || path.empty()) {
      press_key(dialog, Qt::Key_Escape);
      return;
    }
    type_into(name, path);
    // The name field may offer completions in a popup; Esc closes it, not the dialog.
    if (QApplication::activePopupWidget()) press_key(name, Qt::Key_Escape);
    answer_replace_question();
    press_key(name, Qt::Key_Return);
  });
}

void output_list_to(w_single_dw_list& w, const std::string& output, const std::string& path) {
  if (output == "print") {
    answer_next_print_dialog(path);
    press_key(&w, Qt::Key_P, Qt::ControlModifier);
  } else {
    answer_next_file_dialog(path);
    if (output == "csv") press_key(&w, Qt::Key_E, Qt::ControlModifier);
    else click(w.toolbar->widgetForAction(w.toolbar->act_pdf));
  }
}

void answer_next_print_dialog(const std::string& pdf_path) {
  when_modal_shows([pdf_path](QWidget* dialog) {
    auto* printers = dialog->findChild<QComboBox*>("printers");
    auto* file = dialog->findChild<QLineEdit*>("filename");
    if (!printers || !file) {
      press_key(dialog, Qt::Key_Escape);
      return;
    }
    // The last entry of the printer list prints to a PDF file.
    click(printers);
    for (int i = printers->currentIndex(); i < printers->count() - 1; ++i)
      press_key(printers, Qt::Key_Down);
    press_key(printers, Qt::Key_Return);
    type_into(file, pdf_path);
    if (QApplication::activePopupWidget()) press_key(file, Qt::Key_Escape);
    answer_replace_question();
    press_key(file, Qt::Key_Return);
  });
}

bool choose_date(QDateEdit* picker, QDate day) {
  // The arrow is where the style draws a combo box's drop-down button.
  QStyleOptionComboBox opt;
  opt.initFrom(picker);
  opt.editable = true;
  opt.subControls = QStyle::SC_All;
  const QRect arrow = picker->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                      QStyle::SC_ComboBoxArrow, picker);
  click(picker, arrow.center());
  QWidget* popup = QApplication::activePopupWidget();
  auto* calendar = popup ? popup->findChild<QCalendarWidget*>() : nullptr;
  if (!calendar) return false;
  for (int tries = 0; tries < 1000 && calendar->selectedDate() != day; ++tries) {
    const QDate at = calendar->selectedDate();
    const int months = (day.year() - at.year()) * 12 + day.month() - at.month();
    if (months != 0) press_key(calendar, months > 0 ? Qt::Key_PageDown : Qt::Key_PageUp);
    else press_key(calendar, day > at ? Qt::Key_Right : Qt::Key_Left);
  }
  press_key(calendar, Qt::Key_Return);
  return picker->date() == day && !QApplication::activePopupWidget();
}

void answer_next_boxes(std::deque<int> answers) { runtime::script_answers(std::move(answers)); }

std::vector<msgbox_request> shown_boxes() { return runtime::take_shown_boxes(); }

std::vector<std::string> box_texts(const std::vector<msgbox_request>& boxes) {
  std::vector<std::string> out;
  for (const msgbox_request& b : boxes) out.push_back(b.text);
  return out;
}

void expect_box(const msgbox_request& shown, const msgbox_request& expected) {
  SCOPED_TRACE(expected.text);
  EXPECT_EQ(shown.title, expected.title);
  EXPECT_EQ(shown.text, expected.text);
  EXPECT_EQ(shown.icon, expected.icon);
  EXPECT_EQ(shown.buttons, expected.buttons);
  EXPECT_EQ(shown.default_button, expected.default_button);
}

bool grab_png(QWidget* w, const std::string& path) {
  process_events();
  const QPixmap shot = w->grab();
  return !shot.isNull() && shot.save(QString::fromStdString(path), "PNG");
}

std::string review_file(const std::string& name) {
  const char* out = std::getenv("MEMBER_REPORTS_OUT");
  return out ? std::string(out) + "/" + name : "";
}
