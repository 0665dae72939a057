#pragma once
// Row rules: what a row must satisfy before a save writes it, declared once beside a data view's
// SQL and columns and kept by every save of that view, whichever window edits it. They run
// before anything is sent (as before-insert, before-update and before-delete hooks), so a
// refused row leaves the database untouched and every edit in place.

#include <cstdint>
#include <functional>
#include <string>

class data_view;
class uo_transaction;
enum class dv_buffer;

enum class dv_row_change { insert, update, remove };

// A row about to be written, as a rule sees it: its cells are read through
// view.getitem(row, column, buffer) or view.getitemstring(row, column, buffer).
struct dv_row {
  const data_view& view;
  int64_t row;  // from 1, in its buffer
  dv_buffer buffer;
  dv_row_change change;
};

// The check of one pass: "" when the row may be written, else the reason in the user's words.
using dv_row_check = std::function<std::string(const dv_row&)>;
// Starts a pass (one save, or a window's own check of its rows) and answers its check. It is
// given the view's transaction (null when it has none), so that what the rules depend on, a
// system switch say, is read once per pass and not once per row.
using dv_row_rules = std::function<dv_row_check(uo_transaction* tr)>;
