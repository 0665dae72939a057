// Reading and writing cells: getitem, setitem, settext, gettext, getitemnumber, getitemstring.

#include "framework/dataview/cell_checks.h"
#include "framework/dataview/cell_text.h"
#include "framework/dataview/data_view.h"
#include "framework/dataview/dv_impl.h"

namespace {
// Cells compare by what they hold: null only equals null; values of one column share a type.
bool same_cell(const value& a, const value& b) {
  if (a.is_null() || b.is_null()) return a.is_null() && b.is_null();
  if (a.is_decimal() && b.is_decimal()) return a.as_decimal().compare(b.as_decimal()) == 0;
  if (a.is_long() && b.is_long()) return a.as_long() == b.as_long();
  if (a.is_string() && b.is_string()) return a.as_string() == b.as_string();
  if (a.is_datetime() && b.is_datetime()) return a.as_datetime() == b.as_datetime();
  return false;
}
}  // namespace

value data_view::getitem(int64_t row, int column, dv_buffer buf, bool original) const {
  if (!d_->valid_row(row, buf)) return value();
  return d_->cell(d_->handle_of(row, buf), column, row, original);
}

value data_view::getitem(int64_t row, std::string_view column, dv_buffer buf, bool original) const {
  return getitem(row, d_->def.column_index(column), buf, original);
}

std::optional<decimal> data_view::getitemnumber(int64_t row, std::string_view column) const {
  return getitem(row, column).number();
}

std::optional<std::string> data_view::getitemstring(int64_t row, std::string_view column,
                                                    dv_buffer buf) const {
  value v = getitem(row, column, buf);
  if (v.is_null()) return std::nullopt;
  return general_text(v);
}

std::string data_view::gettext(int64_t row, int column) const {
  if (column < 0 || column >= int(d_->def.columns.size())) return "";
  const dv_column& c = d_->def.columns[column];
  if (c.style == edit_style::dddw) return choices(column)->display_of(getitem(row, column).to_text());
  return display_text(c, getitem(row, column));
}

int data_view::setitem(int64_t row, std::string_view column, const value& v) {
  int col = d_->def.column_index(column);
  if (col < 0) return d_->fail("setitem: unknown column '" + std::string(column) + "'");
  return setitem(row, col, v);
}

int data_view::setitem(int64_t row, int column, const value& v) {
  impl& d = *d_;
  if (column < 0 || column >= int(d.def.columns.size()))
    return d.fail("setitem: column " + std::to_string(column) + " does not exist");
  if (!d.valid_row(row, dv_buffer::primary))
    return d.fail("setitem: row " + std::to_string(row) + " does not exist");
  const dv_column& c = d.def.columns[column];
  if (c.computed()) return d.fail("setitem: " + c.name + " is computed and cannot be set");
  value stored;
  std::string err;
  const declared_digits digits =
      size_t(column) < d.declared.size() ? d.declared[size_t(column)] : declared_digits{};
  if (!to_column_value(c, v, stored, err, digits)) return d.fail(err);
  uint32_t h = d.handle_of(row, dv_buffer::primary);
  value old = d.store.get(h, column);
  if (same_cell(old, stored)) return 1;
  if (!d.store.set(h, column, stored))
    return d.fail(column_label(c) + "：数据区已满，无法再保存文字");
  d.rows.note_change(h, column, old);
  d.notify([&](dv_listener* l) { l->dv_row_changed(row); });
  return 1;
}

int data_view::settext(int64_t row, int column, std::string_view text) {
  if (column >= 0 && column < int(d_->def.columns.size())) {
    const dv_column& c = d_->def.columns[column];
    if (c.style == edit_style::codetable) return setitem(row, column, value(code_data_value(c, std::string(text))));
  }
  return setitem(row, column, value(text));
}
