#include "framework/ui/dw_table_model.h"

namespace {

bool numeric(const dv_column& c) {
  return c.type == col_type::long_t || c.type == col_type::decimal_t;
}

}  // namespace

dw_table_model::dw_table_model(data_view& dv, QObject* parent)
    : QAbstractTableModel(parent), dv_(dv) {
  dv_.add_listener(this);
}

dw_table_model::~dw_table_model() { dv_.remove_listener(this); }

int dw_table_model::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(dv_.rowcount());
}

int dw_table_model::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(dv_.definition().columns.size());
}

bool dw_table_model::editable(int column) const {
  const dv_column& c = dv_.definition().columns[size_t(column)];
  return !c.computed() && dv_.tab_sequence(column) > 0;
}

QString dw_table_model::cell_text(int row, int column) const {
  return QString::fromStdString(dv_.gettext(row + 1, column));
}

QVariant dw_table_model::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row(), col = index.column();
  const dv_column& c = dv_.definition().columns[size_t(col)];
  switch (role) {
    case Qt::DisplayRole:
      ++data_calls_;
      if (c.style == edit_style::checkbox) return {};
      return cell_text(row, col);
    case Qt::EditRole:
      // Code tables and drop-downs edit the stored value; the others the text as shown.
      if (c.style == edit_style::codetable || c.style == edit_style::dddw ||
          c.style == edit_style::checkbox)
        return QString::fromStdString(dv_.getitem(row + 1, col).to_text());
      return QString::fromStdString(dv_.gettext(row + 1, col));
    case Qt::CheckStateRole:
      if (c.style != edit_style::checkbox) return {};
      return dv_.getitem(row + 1, col).to_text() == c.checkbox_on ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      if (c.style == edit_style::checkbox) return int(Qt::AlignCenter);
      return int((numeric(c) && c.style == edit_style::edit ? Qt::AlignRight : Qt::AlignLeft) |
                 Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (current_colour_ && row + 1 == dv_.getrow()) return *current_colour_;
      return {};
    default:
      return {};
  }
}

bool dw_table_model::setData(const QModelIndex& index, const QVariant& v, int role) {
  if (!index.isValid() || !editable(index.column())) return false;
  const int row = index.row(), col = index.column();
  const dv_column& c = dv_.definition().columns[size_t(col)];
  std::string text;
  if (role == Qt::CheckStateRole && c.style == edit_style::checkbox)
    text = v.toInt() == Qt::Checked ? c.checkbox_on : c.checkbox_off;
  else if (role == Qt::EditRole)
    text = v.toString().toStdString();
  else
    return false;
  // Leaving a cell unchanged stores nothing (and does not mark the row modified).
  if (text == data(index, Qt::EditRole).toString().toStdString()) return true;
  if (dv_.settext(row + 1, col, text) < 0) {
    if (on_refused) on_refused(dv_.last_error());
    return false;
  }
  return true;
}

Qt::ItemFlags dw_table_model::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (editable(index.column())) {
    const dv_column& c = dv_.definition().columns[size_t(index.column())];
    f |= c.style == edit_style::checkbox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
  }
  return f;
}

QVariant dw_table_model::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || size_t(section) >= dv_.definition().columns.size()) return {};
  QString h = QString::fromStdString(dv_.definition().columns[size_t(section)].header);
  h.remove('\r');
  while (h.endsWith('\n')) h.chop(1);
  return h;
}

void dw_table_model::set_current_colour(std::optional<QColor> c) {
  current_colour_ = c;
  const int64_t row = dv_.getrow();
  if (row > 0 && row <= rowCount())
    emit dataChanged(index(int(row - 1), 0), index(int(row - 1), columnCount() - 1),
                     {Qt::BackgroundRole});
}

void dw_table_model::dv_reset() {
  beginResetModel();
  endResetModel();
  if (on_reset) on_reset();
}

void dw_table_model::dv_rows_inserted(int64_t first, int64_t count) {
  beginInsertRows({}, int(first - 1), int(first + count - 2));
  endInsertRows();
}

void dw_table_model::dv_rows_removed(int64_t first, int64_t count) {
  beginRemoveRows({}, int(first - 1), int(first + count - 2));
  endRemoveRows();
}

void dw_table_model::dv_row_changed(int64_t row) {
  if (row < 1 || row > rowCount()) return;
  emit dataChanged(index(int(row - 1), 0), index(int(row - 1), columnCount() - 1));
}

void dw_table_model::dv_current_changed(int64_t old_row, int64_t new_row) {
  if (current_colour_) {
    dv_row_changed(old_row);
    dv_row_changed(new_row);
  }
  if (on_current_changed) on_current_changed(old_row, new_row);
}

void dw_table_model::dv_columns_changed() {
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}
