#pragma once
// Declared data views: the SQL, retrieval arguments, columns (type, header, position, tab order,
// edit style, format), computed columns and update table of one data object. Window units declare
// theirs next to the window and register them by name; controls look them up by data object name
// (case-insensitive, so "dw_choose_MEMBER" finds dw_choose_member).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/dataview/row_rules.h"
#include "framework/value/value.h"

enum class edit_style { edit, checkbox, codetable, dddw };

struct dv_column {
  std::string name;                 // column name in the data view (lower case)
  col_type type = col_type::string_t;
  int length = 0;                   // char(n): the most GBK bytes a value may hold; 0 = unlimited
  int scale = 0;                    // decimal places of a decimal column
  std::string header;               // header text in a grid; label beside the field in a form
  int x = 0, width = 0;             // host units
  int tab = 0;                      // tab order; 0 = cannot be focused or changed
  edit_style style = edit_style::edit;
  std::string format;               // "0.00", "[general]", "" (display format)
  bool yyyymmdd = false;            // long holding a date as the eight digits yyyymmdd
  std::optional<int64_t> least;     // number column: the smallest value it takes
  // check box: the values stored when checked / unchecked, and the box's own text
  std::string checkbox_on = "1", checkbox_off = "0", checkbox_text;
  // code table: (display, data) pairs; only these values are offered and stored
  std::vector<std::pair<std::string, std::string>> codes;
  // drop-down data view: its data object, the column shown and the column stored
  std::string dddw_name, dddw_display, dddw_data;
  std::string expression;           // computed column: not read from SQL, evaluated per row
  std::string select;               // SQL expression the query reads it as; "" = its own name
  std::string db_name;              // column of the update table it is written to; "" = not updatable
  bool key = false;                 // part of the update table's key
  bool visible = true;              // read but not shown (e.g. `age`)
  // Free-form placement (host units); grids ignore these.
  int y = 0, height = 0;
  int label_x = 0, label_y = 0, label_width = 0;

  bool computed() const { return !expression.empty(); }
};

struct dv_argument {
  std::string name;  // as written ":name" in the SQL
  col_type type = col_type::long_t;
};

enum class dv_presentation { grid, freeform };

struct dv_definition {
  std::string name;                     // data object name, e.g. "dw_member_maintain"
  std::string sql;                      // standard SQL both backends accept, ":name" arguments
  std::vector<dv_argument> arguments;   // in retrieval order
  std::vector<dv_column> columns;       // display order, left to right; computed ones included
  std::string update_table;             // "" = read only
  // Columns that name a row in the save's messages, each as its header and value (a member:
  // memberno, membername); none: the row's number.
  std::vector<std::string> row_names;
  dv_row_rules row_rules;               // none: every row may be written
  dv_presentation presentation = dv_presentation::grid;
  int width = 0, height = 0;            // free-form: size of the form (host units)

  int column_index(std::string_view column) const;  // case-insensitive; -1 when unknown
};

// Registry of declared data views.
void register_definition(dv_definition def);
// Null when no data object of that name is registered (case-insensitive).
const dv_definition* find_definition(std::string_view name);
// Names of every registered data object, in lower case, sorted.
std::vector<std::string> definition_names();

// Registers a data view at program start-up, from the unit that declares it:
//   static dv_registration reg_dw_x(make_dw_x());
struct dv_registration {
  explicit dv_registration(dv_definition def) { register_definition(std::move(def)); }
};
