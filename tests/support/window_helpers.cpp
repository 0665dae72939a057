#include "support/window_helpers.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QTableView>

#include "framework/ui/u_wsk_dw.h"

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

namespace {

QWidget* key_target(QWidget* w) {
  QWidget* f = w->window()->focusWidget();
  return f ? f : w;
}

}  // namespace

void press_key(QWidget* w, int key, Qt::KeyboardModifiers mods) {
  QWidget* target = key_target(w);
  QString text;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) text = "\r";
  else if (key == Qt::Key_Tab) text = "\t";
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
  QWidget* release_target = key_target(w);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(release_target, &release);
  process_events();
}

void type_text(QWidget* w, const std::string& text) {
  for (const QChar c : QString::fromStdString(text)) {
    QWidget* target = key_target(w);
    const int key = c.isLetterOrNumber() && c.unicode() < 128 ? c.toUpper().unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
  }
  process_events();
}

bool type_into_field(u_wsk_dw& dw, const std::string& column, const std::string& text) {
  QWidget* field = dw.field_widget(column);
  if (!field || field->focusPolicy() == Qt::NoFocus) return false;
  field->setFocus(Qt::TabFocusReason);
  process_events();
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    line->selectAll();
    press_key(line, Qt::Key_Delete);
    type_text(line, text);
  }
  press_key(field, Qt::Key_Tab);
  return true;
}

bool type_into_cell(u_wsk_dw& dw, int64_t row, const std::string& column, const std::string& text) {
  QTableView* grid = dw.grid();
  const int col = dw.dv().definition().column_index(column);
  if (!grid || col < 0) return false;
  const QModelIndex idx = grid->model()->index(int(row - 1), col);
  if (!(idx.flags() & Qt::ItemIsEditable)) return false;
  grid->setFocus(Qt::OtherFocusReason);
  grid->setCurrentIndex(idx);
  grid->edit(idx);
  process_events();
  auto* line = qobject_cast<QLineEdit*>(dw.window()->focusWidget());
  if (!line) return false;
  line->selectAll();
  press_key(line, Qt::Key_Delete);
  type_text(line, text);
  press_key(line, Qt::Key_Return);
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

void double_click_row(u_wsk_dw& dw, int64_t row) {
  QTableView* grid = dw.grid();
  QPoint at;
  if (row > 0) {
    const QRect r = grid->visualRect(grid->model()->index(int(row - 1), 0));
    at = r.center();
  } else {
    const int rows = grid->model()->rowCount();
    const int bottom = rows > 0 ? grid->visualRect(grid->model()->index(rows - 1, 0)).bottom() : 0;
    at = QPoint(10, bottom + 10);
  }
  QWidget* vp = grid->viewport();
  const QPointF local(at);
  const QPointF global(vp->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(vp, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(vp, &release);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(vp, &dbl);
  QMouseEvent release2(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
  QApplication::sendEvent(vp, &release2);
  process_events();
}

void answer_next_boxes(std::deque<int> answers) { runtime::script_answers(std::move(answers)); }

std::vector<msgbox_request> shown_boxes() { return runtime::take_shown_boxes(); }

bool grab_png(QWidget* w, const std::string& path) {
  process_events();
  const QPixmap shot = w->grab();
  return !shot.isNull() && shot.save(QString::fromStdString(path), "PNG");
}
