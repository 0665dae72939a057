#pragma once
// The statements a data view's update() runs, built from the update table's columns with every
// value bound (":p1", ":p2", ... in order): DELETE by key and the row's other updatable columns
// as read, UPDATE of the changed columns with the key and the changed columns' original values in
// the WHERE (so that a row another terminal changed or deleted meanwhile matches nothing), INSERT
// of every updatable column. Table and column names are quoted for the backend.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/db/connection.h"
#include "framework/value/value.h"

struct dml_statement {
  std::string sql;
  std::vector<value> params;
};

// One cell of the row being written: the update table's column, its type and its values.
struct dml_cell {
  std::string column;
  col_type type = col_type::long_t;
  int scale = 0;
  value current;
  value original;
};

// `others`: the row's updatable columns outside the key, matched by their original values.
dml_statement make_delete(backend kind, std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> others);
dml_statement make_update(backend kind, std::string_view table, std::span<const dml_cell> keys,
                          std::span<const dml_cell> changed);
dml_statement make_insert(backend kind, std::string_view table, std::span<const dml_cell> cells);
// SELECT COUNT(*) of the rows whose columns hold the cells' original values.
dml_statement make_count(backend kind, std::string_view table, std::span<const dml_cell> cells);
