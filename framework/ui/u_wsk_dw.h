#pragma once
// The data view control: shows one data view as a grid (a QTableView over the buffers) or as a
// one-row free-form form, edits it with the columns' edit styles in tab order, and adds the
// framework's services (of_settransobject, of_retrieve -> kpo_retrieve, of_get_id, of_update ->
// kpo_update, of_set_currentrow_background). Data view operations are forwarded by name. Its
// events (kpo_retrieve, kpo_update, clicked, doubleclicked, enterpressed) go to the window that
// holds it through control_events.

#include <QWidget>
#include <memory>
#include <string>

#include "framework/dataview/data_view.h"

class QLabel;
class QTableView;

class u_wsk_dw : public QWidget {
  Q_OBJECT
 public:
  explicit u_wsk_dw(QWidget* parent = nullptr);
  ~u_wsk_dw() override;

  // Builds the data view from a registered definition (case-insensitive name). 1 ok; -1 when no
  // data object has that name: the window is told so in a message box and the view stays empty.
  DV_CHECKED int set_dataobject(const std::string& name);
  std::string dataobject() const;
  data_view& dv();
  const data_view& dv() const;

  std::string is_id_columnname;   // the column of_get_id answers
  std::string is_lastcolumnname;  // kept for the price query; no effect
  // of_retrieve when the current row's id is no longer shown: true makes the row that now stands
  // at its place current (the worker's place in a list that narrows), false the first row.
  bool ib_keep_place = false;

  // Framework services.
  void of_settransobject(uo_transaction& tr = sqlca);
  DV_CHECKED long of_retrieve();  // raises kpo_retrieve; the row of the same id stays current
  int64_t of_get_id() const;                    // id of the current row; 0 when none
  int64_t of_get_id(int64_t row) const;
  DV_CHECKED int of_update();                              // raises kpo_update
  void of_set_currentrow_background(long rgb);  // colour of the current row
  // A colour as the host passes it, one long: red + green * 256 + blue * 65536.
  static constexpr long rgb(int r, int g, int b) { return r + g * 256L + b * 65536L; }

  // Raise the events to the window (control_events): rows read; update's result.
  DV_CHECKED long kpo_retrieve();
  DV_CHECKED int kpo_update();

  // Data view operations, as the windows call them. retrieve() reads the drop-downs' rows first
  // (once per transaction); each failure is reported in a box titled like the window.
  DV_CHECKED int64_t retrieve(std::vector<value> args = {});
  int64_t rowcount() const;
  int64_t getrow() const;
  DV_CHECKED int setrow(int64_t row);
  DV_CHECKED int scrolltorow(int64_t row);
  DV_CHECKED int64_t find(std::string_view expr, int64_t start, int64_t end);
  DV_CHECKED int setfilter(std::string_view expr);  // a malformed filter is reported in a box
  DV_CHECKED int filter();
  DV_CHECKED int setsort(std::string_view spec);
  DV_CHECKED int sort();
  std::optional<decimal> getitemnumber(int64_t row, std::string_view column) const;
  std::optional<std::string> getitemstring(int64_t row, std::string_view column) const;
  DV_CHECKED int setitem(int64_t row, std::string_view column, const value& v);
  DV_CHECKED int64_t insertrow(int64_t before);
  DV_CHECKED int deleterow(int64_t row);
  DV_CHECKED int accepttext();                    // stores the pending edit; -1 when refused
  int64_t modifiedcount() const;
  int64_t deletedcount() const;
  // "" when set; a failure is reported in a box and its text answered.
  DV_CHECKED std::string modify(std::string_view property);
  void setfocus();

  // Sorting by a click on a header (u_wsk_dw_sort switches it on).
  void set_header_sort(bool on);
  // Scroll bars and border of the form or grid.
  void set_vscroll(bool on);
  void set_hscroll(bool on);
  void set_border(bool on);
  // A retrieval that takes long shows its progress and can be cancelled (lists switch it on).
  void set_show_progress(bool on);
  // Title of the box that reports a failed save (default "保存失败").
  std::string is_update_error_title = "保存失败";

  QTableView* grid() const;           // null for a free-form presentation
  QWidget* field_widget(std::string_view column) const;  // free-form: the column's editor
  QLabel* field_label(std::string_view column) const;    // free-form: the label beside it
  // Display text of a cell as the grid shows it (drop-down display value); what export prints.
  std::string display_text(int64_t row, int column) const;

 signals:
  // Notifications for what watches the control (the list's status line); not events to handle.
  // The rows shown or held back by the filter changed (retrieve, filter, insert, delete).
  void rows_changed();
  // After each retrieve(): the rows read (negative: failed) and the milliseconds it took.
  void retrieved(qint64 rows, qint64 ms);
  // After a successful of_update(): the rows it inserted, changed and deleted.
  void updated(qint64 inserted, qint64 changed, qint64 deleted);

 private:
  struct impl;
  std::unique_ptr<impl> d_;

  // Presentation of the current definition, built by set_dataobject.
  void clear_presentation();
  void show_refusal(const std::string& msg);  // a refused edit, in a box titled like the window
  void report_error(const std::string& msg);  // a failed operation, in a box titled like the window
  void build_form();
  void build_grid(const std::string& name);
  void size_grid_columns(const std::string& name);
  void fit_whole_values();  // widens the row-number and date-time columns to their whole values
  void keep_grid_selection_on_current_row();
  void raise_grid_events();
  void sort_by_header_clicks();
};

// The same control, sorted by a click on a column header.
class u_wsk_dw_sort : public u_wsk_dw {
  Q_OBJECT
 public:
  explicit u_wsk_dw_sort(QWidget* parent = nullptr);
};
