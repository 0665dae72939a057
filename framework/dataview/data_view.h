#pragma once
// The data view engine: the rows of one declared data view over a SQL query, held column by
// column, in three buffers (shown, filtered out, deleted), with row and column status, original
// values, a current row, filter, find, sort, and update(), which writes all changes in one
// transaction. Rows are numbered from 1 in the shown buffer; row 0 / negative means none.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/dataview/checked.h"
#include "framework/dataview/definition.h"
#include "framework/db/transaction.h"
#include "framework/value/value.h"

struct dv_choices;

enum class dv_buffer { primary, filter, deleted };
enum class dv_status { notmodified, datamodified, new_, newmodified };

// Told about every change of the rows, so a view (the grid's table model) can follow them.
class dv_listener {
 public:
  virtual ~dv_listener() = default;
  virtual void dv_reset() {}                                  // rows replaced (retrieve, filter, sort)
  virtual void dv_rows_inserted(int64_t first, int64_t count) { (void)first; (void)count; }
  virtual void dv_rows_removed(int64_t first, int64_t count) { (void)first; (void)count; }
  virtual void dv_row_changed(int64_t row) { (void)row; }     // values or status of a row
  virtual void dv_current_changed(int64_t old_row, int64_t new_row) { (void)old_row; (void)new_row; }
  virtual void dv_columns_changed() {}                        // modify() changed a column property
};

class data_view {
 public:
  explicit data_view(const dv_definition& def);
  ~data_view();
  data_view(const data_view&) = delete;
  data_view& operator=(const data_view&) = delete;

  const dv_definition& definition() const;
  void settransobject(uo_transaction* tr);
  uo_transaction* transobject() const;

  // Reads the query with arguments in declared order; replaces all buffers. Answers the rows
  // shown (those read that pass the filter), or -1 (error text in last_error(); buffers left
  // empty). The filter set earlier stays in force, and so does a sort once sort() has run.
  // progress, when given, is called now and then with the rows read so far; false cancels.
  DV_CHECKED int64_t retrieve(std::vector<value> args = {},
                              std::function<bool(int64_t rows)> progress = {});
  void reset();  // empty all buffers

  int64_t rowcount() const;        // shown rows
  int64_t filteredcount() const;
  int64_t deletedcount() const;
  int64_t modifiedcount() const;   // rows in primary and filter with status datamodified/newmodified

  int64_t getrow() const;          // current row, 0 = none
  DV_CHECKED int setrow(int64_t row);         // 1 ok, -1 out of range
  DV_CHECKED int scrolltorow(int64_t row);    // makes row current (the view scrolls to it)

  // First row in [start, end] (end may be before start: search backwards) where expr is true;
  // 0 none, negative when the expression is malformed (message in last_error()). The bounds are
  // clamped to the rows there are; a range wholly after the last row finds nothing.
  DV_CHECKED int64_t find(std::string_view expr, int64_t start, int64_t end);
  DV_CHECKED int setfilter(std::string_view expr);  // 1 ok, -1 malformed ("" = no filter)
  // Applies the filter: rows move between primary and filter.
  DV_CHECKED int filter();
  DV_CHECKED int setsort(std::string_view spec);    // "col A, col2 D"; 1 ok, -1 malformed
  // Stable; a null sorts below every value. Once sorted, filter() and retrieve() keep the order.
  DV_CHECKED int sort();

  // Cells, by row in the buffer and column name or index (computed columns evaluate here).
  value getitem(int64_t row, std::string_view column, dv_buffer buf = dv_buffer::primary,
                bool original = false) const;
  value getitem(int64_t row, int column, dv_buffer buf = dv_buffer::primary,
                bool original = false) const;
  std::optional<decimal> getitemnumber(int64_t row, std::string_view column) const;
  std::optional<std::string> getitemstring(int64_t row, std::string_view column,
                                           dv_buffer buf = dv_buffer::primary) const;

  // Stores a value: checked against the column's type and length. 1 ok, -1 refused (message in
  // last_error(), the cell keeps its old value). Marks the row and column modified.
  DV_CHECKED int setitem(int64_t row, std::string_view column, const value& v);
  DV_CHECKED int setitem(int64_t row, int column, const value& v);
  // The edit path: text as typed, converted by the column's type ("" into a number is null).
  DV_CHECKED int settext(int64_t row, int column, std::string_view text);
  // Display text of a cell per the column's format and edit style (code table display value,
  // drop-down display column once load_choices() read it, check box on/off left to the view).
  std::string gettext(int64_t row, int column) const;

  // Reads one unchanged shown row again from the database (by its key, with the last retrieval's
  // arguments), as another window may have saved it. 1 read, 0 no longer in the query's result
  // (the row stays as it was), -1 failed or the row has unsaved changes.
  int reselectrow(int64_t row);
  // The list a code table or drop-down column offers; null for other columns. A drop-down's list
  // is empty until load_choices() has read it.
  const dv_choices* choices(int column) const;
  // Reads the rows of every drop-down column's data view through the transaction. 1 ok; -1 when
  // one cannot be read (message in last_error(), naming the column): that list keeps what it had.
  // A new transaction object makes them due again (choices_loaded() false).
  int load_choices();
  bool choices_loaded() const;

  DV_CHECKED int64_t insertrow(int64_t before);  // 0 = at the end; the new row's number
  DV_CHECKED int deleterow(int64_t row);         // moves a retrieved row to the deleted buffer; 1 / -1

  dv_status getitemstatus(int64_t row, int column /* -1 = the row */, dv_buffer buf) const;

  // The pending edit of a view is stored through this hook (set by the control that edits).
  void set_accept_hook(std::function<int()> hook);
  DV_CHECKED int accepttext();  // 1 ok, -1 refused

  // The definition's row rules for one pass over the shown rows, as a window checks them before
  // it saves: the answer checks a row as the save would write it ("" when it passes, else the
  // reason). What the rules depend on is read here, once. Without rules every row passes.
  std::function<std::string(int64_t row)> row_check() const;

  // Writes inserts, the changed columns of modified rows (key and original values in the WHERE)
  // and deletes, in one transaction, and commits. 1 ok; -1 on failure or conflict (a row changed
  // or deleted meanwhile by another terminal): everything is rolled back and the buffers are as
  // before the call, so the user can retry. Message in last_error(). A row its row rules refuse
  // stops the save before anything is sent; the message names the row and gives the reason.
  DV_CHECKED int update();
  DV_CHECKED int resetupdate();  // forget changes: all rows notmodified, deleted buffer emptied

  // "col.TabSequence=N"; answers "" on success, else an error text.
  DV_CHECKED std::string modify(std::string_view property);
  int tab_sequence(int column) const;

  const std::string& last_error() const;

  void add_listener(dv_listener* l);
  void remove_listener(dv_listener* l);

  // Storage view for the expression evaluator and for fast readers (the grid's table model).
  class storage;
  const storage& store() const;
  uint32_t handle(int64_t row, dv_buffer buf = dv_buffer::primary) const;
  // Today's date as the computed columns see it (the runtime sets it; tests fix it).
  static void set_today_provider(std::function<datetime()> today);

 private:
  struct impl;
  std::unique_ptr<impl> d_;
};
