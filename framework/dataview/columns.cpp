// Column builders of the data view definitions.

#include "framework/dataview/columns.h"

namespace dv_columns {

namespace {
dv_column of_kind(std::string name, kind k) {
  dv_column c;
  c.name = std::move(name);
  c.type = k.type;
  c.length = k.length;
  c.scale = k.scale;
  c.yyyymmdd = k.yyyymmdd;
  return c;
}
}  // namespace

column& column::checkbox(std::string box_text, std::string on, std::string off) {
  c_.style = edit_style::checkbox;
  c_.checkbox_text = std::move(box_text);
  c_.checkbox_on = std::move(on);
  c_.checkbox_off = std::move(off);
  return *this;
}

column& column::codes(std::vector<std::pair<std::string, std::string>> display_data) {
  c_.style = edit_style::codetable;
  c_.codes = std::move(display_data);
  return *this;
}

column& column::dropdown(std::string dataobject, std::string display_column,
                         std::string data_column) {
  c_.style = edit_style::dddw;
  c_.dddw_name = std::move(dataobject);
  c_.dddw_display = std::move(display_column);
  c_.dddw_data = std::move(data_column);
  return *this;
}

column& column::on_form(const form_place& p) {
  c_.label_x = p.label_x;
  c_.label_width = p.label_width;
  c_.x = p.x;
  c_.y = c_.label_y = p.y;
  c_.width = p.width;
  c_.height = p.height;
  return *this;
}

column stored(std::string name, kind k) {
  dv_column c = of_kind(std::move(name), k);
  c.db_name = c.name;
  return column(std::move(c));
}

column queried(std::string name, kind k) { return column(of_kind(std::move(name), k)); }

column computed(std::string name, kind k, std::string expression) {
  dv_column c = of_kind(std::move(name), k);
  c.expression = std::move(expression);
  return column(std::move(c));
}

column row_number(std::string name) {
  return computed(std::move(name), integer, "getrow()").header("序号");
}

std::string select_from(std::string_view table, const std::vector<dv_column>& columns) {
  std::string sql;
  for (const dv_column& c : columns) {
    if (c.computed()) continue;
    sql += sql.empty() ? "SELECT " : ",\n       ";
    sql += c.select.empty() ? std::string(table) + "." + c.name : c.select + " AS " + c.name;
  }
  return sql + "\n  FROM " + std::string(table);
}

void side_by_side(std::vector<dv_column>& columns, int left, int gap) {
  for (dv_column& c : columns) {
    c.x = left;
    left += c.width + gap;
  }
}

}  // namespace dv_columns
