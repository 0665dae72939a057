#pragma once
// The grid of a data view control: whole rows selected one at a time, uniform row heights, no
// row header, the module's font; Tab / Shift+Tab through the editable columns in tab order (on
// to the next row after the last one), Enter and double-click reported to the control (a
// double-click below the last row reports row 0 and moves nothing). A key typed on the current
// cell edits it, beginning with that key, even right after a click, and Ctrl+V pastes into it;
// no key moves the current row by searching (no type-ahead).

#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QTableView>
#include <functional>

class data_view;

class dw_grid_view : public QTableView {
  Q_OBJECT
 public:
  dw_grid_view(data_view& dv, QWidget* parent = nullptr);

  std::function<void()> on_enter;
  std::function<void(int64_t row)> on_double_click;  // 1-based, 0 below the rows

  // Editable columns (from 0) in tab order; equal tab numbers keep column order.
  std::vector<int> tab_columns() const;

  using QTableView::edit;

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyboardSearch(const QString& search) override;
  void timerEvent(QTimerEvent* e) override;
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  data_view& dv_;
  // A click on a cell of the current row opens its editor after the double-click interval.
  QBasicTimer click_edit_;
  QPersistentModelIndex clicked_;
  bool double_clicked_ = false;  // the release that ends a double-click opens no editor
};
