#pragma once
// Toolbar of list and report windows: retrieve (F5), insert row, delete row, save (Ctrl+S), open
// the current row (Enter / double-click in the grid), export CSV, print, PDF, close (Esc).

#include <QToolBar>

class uo_toolbar : public QToolBar {
  Q_OBJECT
 public:
  explicit uo_toolbar(QWidget* parent = nullptr);
  QAction* act_retrieve = nullptr;
  QAction* act_insert = nullptr;
  QAction* act_delete = nullptr;
  QAction* act_save = nullptr;
  QAction* act_open = nullptr;
  QAction* act_export = nullptr;
  QAction* act_print = nullptr;
  QAction* act_pdf = nullptr;
  QAction* act_close = nullptr;
};
