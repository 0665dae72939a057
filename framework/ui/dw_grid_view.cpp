#include "framework/ui/dw_grid_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "framework/dataview/data_view.h"

dw_grid_view::dw_grid_view(data_view& dv, QWidget* parent) : QTableView(parent), dv_(dv) {
  setTabKeyNavigation(true);
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

void dw_grid_view::keyPressEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
    e->accept();
    if (on_enter) on_enter();
    return;
  }
  QTableView::keyPressEvent(e);
}

void dw_grid_view::mousePressEvent(QMouseEvent* e) {
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
