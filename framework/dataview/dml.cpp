// Building the DELETE, UPDATE and INSERT statements of a data view's update().

#include "framework/dataview/dml.h"

namespace {

// A statement being built in one backend's dialect.
struct builder {
  backend kind;
  dml_statement s;

  std::string bind(const value& v) {
    s.params.push_back(v);
    return ":p" + std::to_string(s.params.size());
  }
  std::string name(std::string_view n) const { return quote_identifier(n, kind); }

  // "column = original" for the WHERE clause; a null original matches only a null. Decimals are
  // compared at the column's scale, as the data view read them, so that a value the database
  // keeps in binary floating point (SQLite REAL) still matches what was shown.
  void where_equals(const dml_cell& c) {
    const std::string column = name(c.column);
    if (c.original.is_null()) {
      s.sql += column + " IS NULL";
    } else if (c.type == col_type::decimal_t) {
      const std::string scale = std::to_string(c.scale);
      s.sql += "ROUND(" + column + ", " + scale + ") = ROUND(" + bind(c.original) + ", " + scale + ")";
    } else {
      s.sql += column + " = " + bind(c.original);
    }
  }

  dml_statement where(std::span<const dml_cell> keys, std::span<const dml_cell> also) {
    s.sql += " WHERE ";
    bool first = true;
    for (auto cells : {keys, also})
      for (const dml_cell& c : cells) {
        if (!first) s.sql += " AND ";
        first = false;
        where_equals(c);
      }
    return std::move(s);
  }
};

}  // namespace

dml_statement make_delete(backend kind, std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> others) {
  builder b{kind, {}};
  b.s.sql = "DELETE FROM " + b.name(table);
  return b.where(keys, others);
}

dml_statement make_update(backend kind, std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> changed) {
  builder b{kind, {}};
  b.s.sql = "UPDATE " + b.name(table) + " SET ";
  for (size_t i = 0; i < changed.size(); ++i) {
    if (i) b.s.sql += ", ";
    b.s.sql += b.name(changed[i].column) + " = " + b.bind(changed[i].current);
  }
  // A key column that changed is matched once, by its original value, among the keys.
  std::vector<dml_cell> also;
  for (const dml_cell& c : changed) {
    bool is_key = false;
    for (const dml_cell& k : keys) is_key = is_key || k.column == c.column;
    if (!is_key) also.push_back(c);
  }
  return b.where(keys, also);
}

dml_statement make_insert(backend kind, std::string_view table, std::span<const dml_cell> cells) {
  builder b{kind, {}};
  b.s.sql = "INSERT INTO " + b.name(table) + " (";
  std::string values;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) {
      b.s.sql += ", ";
      values += ", ";
    }
    b.s.sql += b.name(cells[i].column);
    values += b.bind(cells[i].current);
  }
  b.s.sql += ") VALUES (" + values + ")";
  return std::move(b.s);
}

dml_statement make_count(backend kind, std::string_view table, std::span<const dml_cell> cells) {
  builder b{kind, {}};
  b.s.sql = "SELECT COUNT(*) FROM " + b.name(table);
  return b.where(cells, {});
}
