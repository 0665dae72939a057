#include "framework/ui/dw_grid_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

#include "framework/dataview/data_view.h"
#include "framework/ui/module_font.h"

dw_grid_view::dw_grid_view(data_view& dv, QWidget* parent) : QTableView(parent), dv_(dv) {
  setTabKeyNavigation(true);
  setFont(module_font());
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setWordWrap(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Uniform rows: nothing is measured per row, so 100,000 rows open as fast as 100.
  QHeaderView* vh = verticalHeader();
  vh->hide();
  vh->setSectionResizeMode(QHeaderView::Fixed);
  vh->setDefaultSectionSize(fontMetrics().height() + 6);
  QHeaderView* hh = horizontalHeader();
  hh->setFont(module_font());
  hh->setHighlightSections(false);
  hh->setSectionsClickable(true);
}

std::vector<int> dw_grid_view::tab_columns() const {
  const auto& cols = dv_.definition().columns;
  std::vector<int> out;
  for (int c = 0; c < int(cols.size()); ++c)
    if (!cols[size_t(c)].computed() && cols[size_t(c)].visible && dv_.tab_sequence(c) > 0 &&
        !isColumnHidden(c))
      out.push_back(c);
  std::stable_sort(out.begin(), out.end(),
                   [this](int a, int b) { return dv_.tab_sequence(a) < dv_.tab_sequence(b); });
  return out;
}

QModelIndex dw_grid_view::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (action != MoveNext && action != MovePrevious)
    return QTableView::moveCursor(action, modifiers);
  const std::vector<int> order = tab_columns();
  const int rows = model() ? model()->rowCount() : 0;
  if (order.empty() || rows == 0) return {};
  const QModelIndex cur = currentIndex();
  int row = cur.isValid() ? cur.row() : 0;
  const auto pos = cur.isValid() ? std::find(order.begin(), order.end(), cur.column()) : order.end();
  if (action == MoveNext) {
    if (pos == order.end()) return model()->index(row, order.front());
    if (pos + 1 != order.end()) return model()->index(row, *(pos + 1));
    if (row + 1 >= rows) return {};  // past the last cell: focus leaves the grid
    return model()->index(row + 1, order.front());
  }
  if (pos == order.end()) return model()->index(row, order.back());
  if (pos != order.begin()) return model()->index(row, *(pos - 1));
  if (row == 0) return {};
  return model()->index(row - 1, order.back());
}

// Qt delays the editor of a click on the current cell by the double-click interval and, while
// it waits, refuses every other edit: a key typed at once went to the type-ahead search, which
// moved the current row, and the rest of the typing edited another row. The grid waits on its
// own timer instead, which any other edit, key or click cancels.
bool dw_grid_view::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger != SelectedClicked) {
    click_edit_.stop();
    if (trigger == DoubleClicked) double_clicked_ = true;
    return QTableView::edit(index, trigger, event);
  }
  const bool ends_double_click = std::exchange(double_clicked_, false);
  // The delegate sees the click first (a check box toggles on it).
  if (QTableView::edit(index, NoEditTriggers, event)) return true;
  if (ends_double_click || !(editTriggers() & SelectedClicked) || !model() ||
      !(model()->flags(index) & Qt::ItemIsEditable))
    return false;
  clicked_ = index;
  click_edit_.start(QApplication::doubleClickInterval(), this);
  return true;
}

void dw_grid_view::timerEvent(QTimerEvent* e) {
  if (e->timerId() != click_edit_.timerId()) {
    QTableView::timerEvent(e);
    return;
  }
  click_edit_.stop();
  if (clicked_.isValid() && clicked_ == currentIndex() && hasFocus() && state() != EditingState)
    QTableView::edit(clicked_);
}

// Typing never moves the current row: in an editable grid a key edits the current cell or does
// nothing, and in a read-only list a stray key must not change the row a button acts on.
void dw_grid_view::keyboardSearch(const QString&) {}

void dw_grid_view::keyPressEvent(QKeyEvent* e) {
  click_edit_.stop();
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
    e->accept();
    if (on_enter) on_enter();
    return;
  }
  // Ctrl+V on a cell whose editor is not open pastes into it as typing would: the editor opens
  // and the clipboard's text takes the place of the cell's.
  if (e->matches(QKeySequence::Paste) && state() != EditingState && currentIndex().isValid()) {
    e->accept();
    if (edit(currentIndex(), EditKeyPressed, e))
      if (auto* line = qobject_cast<QLineEdit*>(indexWidget(currentIndex()))) {
        line->selectAll();
        line->paste();
      }
    return;
  }
  QTableView::keyPressEvent(e);
}

void dw_grid_view::mousePressEvent(QMouseEvent* e) {
  click_edit_.stop();
  double_clicked_ = false;
  // A click below the rows neither clears the selection nor moves the current row.
  if (!indexAt(e->position().toPoint()).isValid()) {
    setFocus(Qt::MouseFocusReason);
    e->accept();
    return;
  }
  QTableView::mousePressEvent(e);
}

void dw_grid_view::mouseDoubleClickEvent(QMouseEvent* e) {
  const QModelIndex at = indexAt(e->position().toPoint());
  if (at.isValid()) QTableView::mouseDoubleClickEvent(e);
  else e->accept();
  if (on_double_click) on_double_click(at.isValid() ? at.row() + 1 : 0);
}
