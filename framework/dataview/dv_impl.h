#pragma once
// Inside of data_view, shared by the files that implement its operations.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/dataview/choices.h"
#include "framework/dataview/data_view.h"
#include "framework/dataview/row_buffers.h"
#include "framework/dataview/storage.h"
#include "framework/expression/expression.h"

// The stored columns of a definition as the expression compiler sees them. Computed columns are
// not visible to expressions.
class dv_schema : public expr_schema {
 public:
  explicit dv_schema(const std::vector<dv_column>& cols) : cols_(cols) {}
  int column_index(std::string_view name) const override;
  col_type column_type(int index) const override { return cols_[index].type; }
  int column_scale(int index) const override { return cols_[index].scale; }

 private:
  const std::vector<dv_column>& cols_;
};

// Today's date for computed columns and expressions.
datetime dv_today();

struct data_view::impl {
  explicit impl(const dv_definition& d);

  dv_definition def;  // own copy: modify() changes tab orders of this view only
  uo_transaction* tr = nullptr;
  storage store;
  row_buffers rows;
  int64_t current = 0;
  std::string error;
  bool save_in_doubt = false;  // the last save's commit ended without knowing whether it was stored
  std::vector<dv_listener*> listeners;
  std::function<int()> accept_hook;
  dv_schema schema;
  std::vector<std::unique_ptr<compiled_expr>> computed;  // per column; null for stored ones
  std::vector<std::string> computed_error;
  // Per column, the digits its database column is declared with, as the last retrieval found.
  std::vector<declared_digits> declared;
  std::vector<value> last_args;  // of the last successful retrieval
  // The lists of code table and drop-down columns, by column; drop-downs read by load_choices().
  std::map<int, dv_choices> choices;
  bool choices_loaded = false;
  void make_choice_lists();

  std::string filter_text;
  std::unique_ptr<compiled_expr> filter_expr;
  struct sort_key {
    int col;
    bool descending;
  };
  std::vector<sort_key> sort_keys;
  bool sort_applied = false;  // sort() ran with keys: later retrieves and filters keep the order

  int fail(std::string message) {
    error = std::move(message);
    return -1;
  }
  bool valid_row(int64_t row, dv_buffer b) const {
    return row >= 1 && row <= int64_t(rows.count(b));
  }
  uint32_t handle_of(int64_t row, dv_buffer b) const { return rows.handles(b)[size_t(row - 1)]; }
  expr_env env() const { return expr_env{store.columns(), dv_today()}; }
  // The cell as getitem answers it; position is the row number getrow() gives.
  value cell(uint32_t h, int col, int64_t position, bool original) const;

  // Moves the current row, telling listeners when it changes.
  void set_current(int64_t row);
  // Current row after the primary buffer was rebuilt: the row of handle `keep` when it is still
  // shown, else row 1 (0 when empty).
  void reseat_current(int64_t old_row, uint32_t keep, bool had_current);
  // Rows of primary and filter that pass the filter go to primary in retrieval order, the others
  // to filter. Listeners are told by the caller.
  void apply_filter();
  // Stable sort of the primary buffer by sort_keys. Listeners are told by the caller.
  void apply_sort();

  template <class F>
  void notify(F f) {
    // By index: a listener may remove itself while it is told.
    for (size_t i = 0; i < listeners.size(); ++i) f(listeners[i]);
  }
};
