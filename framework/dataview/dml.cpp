// Building the DELETE, UPDATE and INSERT statements of a data view's update().

#include "framework/dataview/dml.h"

namespace {

std::string bind(dml_statement& s, const value& v) {
  s.params.push_back(v);
  return ":p" + std::to_string(s.params.size());
}

// "column = original" for the WHERE clause; a null original matches only a null. Decimals are
// compared at the column's scale, as the data view read them, so that a value the database keeps
// in binary floating point (SQLite REAL) still matches what was shown.
void where_equals(dml_statement& s, const dml_cell& c) {
  if (c.original.is_null()) {
    s.sql += c.column + " IS NULL";
  } else if (c.type == col_type::decimal_t) {
    std::string scale = std::to_string(c.scale);
    s.sql += "ROUND(" + c.column + ", " + scale + ") = ROUND(" + bind(s, c.original) + ", " + scale + ")";
  } else {
    s.sql += c.column + " = " + bind(s, c.original);
  }
}

void where_clause(dml_statement& s, std::span<const dml_cell> keys, std::span<const dml_cell> also) {
  s.sql += " WHERE ";
  bool first = true;
  for (auto cells : {keys, also})
    for (const dml_cell& c : cells) {
      if (!first) s.sql += " AND ";
      first = false;
      where_equals(s, c);
    }
}

}  // namespace

dml_statement make_delete(std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> others) {
  dml_statement s;
  s.sql = "DELETE FROM " + std::string(table);
  where_clause(s, keys, others);
  return s;
}

dml_statement make_update(std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> changed) {
  dml_statement s;
  s.sql = "UPDATE " + std::string(table) + " SET ";
  for (size_t i = 0; i < changed.size(); ++i) {
    if (i) s.sql += ", ";
    s.sql += changed[i].column + " = " + bind(s, changed[i].current);
  }
  // A key column that changed is matched once, by its original value, among the keys.
  std::vector<dml_cell> also;
  for (const dml_cell& c : changed) {
    bool is_key = false;
    for (const dml_cell& k : keys) is_key = is_key || k.column == c.column;
    if (!is_key) also.push_back(c);
  }
  where_clause(s, keys, also);
  return s;
}

dml_statement make_insert(std::string_view table, std::span<const dml_cell> cells) {
  dml_statement s;
  s.sql = "INSERT INTO " + std::string(table) + " (";
  std::string values;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) {
      s.sql += ", ";
      values += ", ";
    }
    s.sql += cells[i].column;
    values += bind(s, cells[i].current);
  }
  s.sql += ") VALUES (" + values + ")";
  return s;
}

dml_statement make_count(std::string_view table, std::span<const dml_cell> cells) {
  dml_statement s;
  s.sql = "SELECT COUNT(*) FROM " + std::string(table);
  where_clause(s, cells, {});
  return s;
}
