#pragma once
// Table model over a data view: reads the shown buffer in place (rowCount = rowcount(), cells
// through gettext / getitem), no copy of the rows, and follows the data view's notifications.
// Check box columns answer Qt::CheckStateRole with their on / off values; code table and
// drop-down columns show their display text. Edits go in through data_view::settext.

#include <QAbstractTableModel>
#include <QColor>
#include <functional>
#include <optional>

#include "framework/dataview/data_view.h"
#include "framework/dataview/choices.h"

class dw_table_model : public QAbstractTableModel, public dv_listener {
  Q_OBJECT
 public:
  explicit dw_table_model(data_view& dv, QObject* parent = nullptr);
  ~dw_table_model() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& v, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

  // Text a user reads in a cell (also what export and print write); row and column from 0.
  QString cell_text(int row, int column) const;
  bool editable(int column) const;
  const dv_choices* choices(int column) const { return dv_.choices(column); }

  void set_current_colour(std::optional<QColor> c);
  // A refused edit: the engine's message (the control shows it).
  std::function<void(const std::string& message)> on_refused;
  std::function<void(int64_t old_row, int64_t new_row)> on_current_changed;
  std::function<void()> on_reset;

  int64_t data_calls() const { return data_calls_; }  // cells read so far (no per-row work)

 private:
  void dv_reset() override;
  void dv_rows_inserted(int64_t first, int64_t count) override;
  void dv_rows_removed(int64_t first, int64_t count) override;
  void dv_row_changed(int64_t row) override;
  void dv_current_changed(int64_t old_row, int64_t new_row) override;
  void dv_columns_changed() override;

  data_view& dv_;
  std::optional<QColor> current_colour_;
  mutable int64_t data_calls_ = 0;
};
