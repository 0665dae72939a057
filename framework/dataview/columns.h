#pragma once
// The words a data view definition declares its columns in, so that each dw_* unit reads as a
// table, one line per column, every number named:
//   stored("mobile", text(11)).header("移动电话").x(2139).width(393).tab(20)

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/dataview/definition.h"

namespace dv_columns {

// What a column holds: its type, and the most GBK bytes of a text or the places of a decimal.
struct kind {
  col_type type = col_type::string_t;
  int length = 0;
  int scale = 0;
  bool yyyymmdd = false;
};
inline constexpr kind integer{col_type::long_t};
// A date held as the long yyyymmdd: only days that exist are taken.
inline constexpr kind date_number{col_type::long_t, 0, 0, true};
inline constexpr kind date_time{col_type::datetime_t};
constexpr kind text(int length = 0) { return {col_type::string_t, length, 0}; }
constexpr kind decimal_places(int scale) { return {col_type::decimal_t, 0, scale}; }

// Where a free-form form puts a field and its label (host units); the label is level with it.
struct form_place {
  int label_x = 0, label_width = 0;
  int x = 0, y = 0, width = 0, height = 0;
};

// One column being declared; each call names the property it sets.
class column {
 public:
  explicit column(dv_column c) : c_(std::move(c)) {}
  column& header(std::string text) { c_.header = std::move(text); return *this; }
  column& x(int units) { c_.x = units; return *this; }
  column& width(int units) { c_.width = units; return *this; }
  column& tab(int order) { c_.tab = order; return *this; }
  column& format(std::string f) { c_.format = std::move(f); return *this; }
  column& key() { c_.key = true; return *this; }
  column& at_least(int64_t v) { c_.least = v; return *this; }  // smaller values are refused
  column& hidden() { c_.visible = false; return *this; }
  // Read from the query as this SQL expression instead of the table's column of its name.
  column& as(std::string sql_expression) { c_.select = std::move(sql_expression); return *this; }
  // Edit styles: a check box storing on / off, a fixed list of (display, data) codes, or a
  // drop-down of another data view showing one column and storing another.
  column& checkbox(std::string box_text = "", std::string on = "1", std::string off = "0");
  column& codes(std::vector<std::pair<std::string, std::string>> display_data);
  column& dropdown(std::string dataobject, std::string display_column, std::string data_column);
  column& on_form(const form_place& p);
  operator dv_column() const { return c_; }

 private:
  dv_column c_;
};

// A column of the query written back to the update table's column of the same name.
column stored(std::string name, kind k);
// A column of the query that is never written (worked out by the query, or stamped by the
// database).
column queried(std::string name, kind k);
// A column evaluated per row from an expression over the others.
column computed(std::string name, kind k, std::string expression);
// The row number, headed "序号".
column row_number(std::string name = "compute_1");

// The query of a data view over one table: "SELECT table.a, table.b, … FROM table", one column a
// line in declared order, over every column read from the query (computed ones are evaluated per
// row, not read; one declared `as` an expression is selected as that expression). A WHERE or ORDER
// clause follows it.
std::string select_from(std::string_view table, const std::vector<dv_column>& columns);

// Places the columns left to right from `left`, `gap` apart, each as wide as declared.
void side_by_side(std::vector<dv_column>& columns, int left, int gap);

}  // namespace dv_columns
