#pragma once
// Root ancestor of every window: drives it through its events. open_window() runs
// create -> kpo_preopen -> (shown) -> kpo_postopen -> open_finished; closing runs close_event ->
// destroy. The events of its controls arrive as control_events. Every override of an event calls
// its ancestor's version first.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/control_events.h"

class w_base : public QDialog, public control_events {
  Q_OBJECT
 public:
  explicit w_base(QWidget* parent = nullptr);
  ~w_base() override;

  // Events.
  virtual void create();
  virtual void destroy();
  virtual void kpo_preopen();
  virtual void kpo_postopen();
  virtual void kpo_open();                 // list: open the current row's detail
  virtual int kpo_save(int an_commit);     // negative = failed
  virtual int kpo_savedata();              // 1 nothing to save, -1 refused, else update result
  virtual int kpo_default();               // dialog OK: 0 / 1 done, -1 not done
  virtual void kpo_refresh();
  virtual long close_event();              // the "close" event; answers message.returnvalue

  // Modal dialogs: open_window() returns after they close.
  virtual bool is_dialog() const { return false; }
  // Unsaved changes make closing ask whether to save (lists with an update table).
  virtual bool has_unsaved_changes() const { return false; }

  void wf_msgdlg(const std::string& text);  // the window's message box (title = window title)
  void set_title(const std::string& title);
  std::string title() const;
  void set_size_units(int width, int height);  // host units
  void close_window();                         // close (runs close_event, destroy)
  // Places a control at host-unit coordinates (-1: keep the control's current size).
  void place(QWidget* w, int x, int y, int width = -1, int height = -1);
  static bool was_placed(const QWidget* w);  // whether place() put it where it stands

  // Runs the open sequence (used by open_window and by tests).
  void run_open_sequence();
  bool is_opening() const { return opening_; }
  bool is_closed() const { return closed_; }

  // Paints the shown window now, before long work (a large first read) keeps the event loop
  // from it: pending show and paint events run, user input waits.
  void paint_now();

  // Runs fn after the current handlers have finished; during the open sequence, after it.
  void post_event(std::function<void()> fn);

 protected:
  // After create: an ancestor arranges what it made around the window's own controls.
  virtual void controls_created() {}
  // After kpo_postopen: the ancestors that read their data at opening do it here.
  virtual void open_finished() {}
  // Before closing asks about unsaved changes: stores the edit still open in a control.
  virtual void accept_pending_edits() {}
  // Closes with this dialog result when close_event and destroy have run.
  void finish(int result);
  // Stores the pending edits; with unsaved changes asks "是否保存所做的修改？" and saves on yes.
  // False when the window is to stay as it is (cancel, or the save failed).
  bool ask_save_first();

  void closeEvent(QCloseEvent* e) override;
  void done(int r) override;

 private:
  bool try_close();
  bool opening_ = false;
  bool closing_ = false;
  bool closed_ = false;
  std::vector<std::function<void()>> posted_;
};
