#pragma once
// Ancestor of the list windows: uo_toolbar above dw_1 (u_wsk_dw). When the open sequence is over
// (after kpo_postopen) it reads the list through dw_1.of_retrieve(); the toolbar retrieves,
// inserts and deletes rows, saves through kpo_save(1), opens the current row through kpo_open
// (also dw_1's enterpressed and doubleclicked on a row), exports, prints and closes. Closing with unsaved changes asks whether to save. A status line
// below dw_1 tells the rows shown and the outcome of the last action.

#include "framework/ui/dw_report_print.h"
#include "framework/ui/status_line.h"
#include "framework/ui/u_wsk_dw.h"
#include "framework/ui/uo_toolbar.h"
#include "framework/ui/w_base.h"

class QPrinter;

class w_single_dw_list : public w_base {
  Q_OBJECT
 public:
  explicit w_single_dw_list(QWidget* parent = nullptr);

  uo_toolbar* toolbar = nullptr;  // uo_toolbar
  u_wsk_dw* dw_1 = nullptr;
  status_line* status = nullptr;

  void create() override;
  void kpo_preopen() override;    // binds dw_1 to sqlca (a window may bind it elsewhere after)
  void kpo_postopen() override;
  int kpo_save(int an_commit) override;
  int kpo_savedata() override;    // accepttext, then of_update when something changed
  bool has_unsaved_changes() const override;

  // dw_1's Enter, and a double-click on one of its rows, open the current row (kpo_open).
  void dw_enterpressed(u_wsk_dw& dw) override;
  void dw_doubleclicked(u_wsk_dw& dw, int64_t row) override;

  // Makes the first shown row whose column equals text exactly the current row and answers it.
  // When none does (or no row is shown) the current row stays and the status line says
  // "未找到<label> <text>" until the next action; answers 0.
  int64_t find_shown_row(const std::string& column, const std::string& label,
                         const std::string& text);

  // dw_1's top (host units) can move, e.g. below a search row.
  void set_dw_top(int y_units);
  // Text of the printed / exported report's title (the window title by default).
  virtual std::string report_title() const;

  // Toolbar actions, also for tests: each answers what it did (1 done, 0 nothing, -1 failed).
  int retrieve_action();         // asks first when there are unsaved changes
  int save_action();             // kpo_save(1); the result as kpo_save answers it
  int insert_action();
  int delete_action();
  // Output that runs over half a second shows its progress and can be cancelled (0: nothing
  // written); the status line tells what went where.
  int export_csv_to(const std::string& path);
  int write_pdf_to(const std::string& path, const report_page& page = {});
  int print_to(QPrinter& printer);  // a printer chosen in the print dialog, or a file

 protected:
  void open_finished() override;  // reads the list
  void accept_pending_edits() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void layout_dw();
  // The report as a PDF file; where_done tells the status line where it went.
  int report_to_file(const std::string& path, const report_page& page, const char* where_done);
  int dw_top_px_ = -1;
};
