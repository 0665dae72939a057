#pragma once
// The events the framework's controls raise to the window that holds them: the nearest enclosing
// widget that implements control_events (every window does, through w_base). A window handles an
// event by overriding its virtual here and runs the ancestor's version first, except where its
// handler replaces the ancestor's (a kpo_retrieve reads the rows once, with its own arguments).
// Each default is the control's own handling; a control outside any window gets the defaults.
// A window holds at most one control of each kind that raises events, so the name says whose
// event it is (dw_… of its dw_1); the control is passed along for the defaults.

#include <cstdint>

class QWidget;
class u_wsk_cbx;
class u_wsk_dw;
class u_wsk_sle;

class control_events {
 public:
  // Data view control. kpo_retrieve (from of_retrieve): retrieve() without arguments; answers
  // the rows read. kpo_update (from of_update): update(), a failure shown with the database's
  // reason; answers it.
  virtual long dw_kpo_retrieve(u_wsk_dw& dw);
  virtual int dw_kpo_update(u_wsk_dw& dw);
  // A click on a row, a double-click (row 0: below the last row) and Enter in the grid: nothing.
  virtual void dw_clicked(u_wsk_dw& dw, int64_t row);
  virtual void dw_doubleclicked(u_wsk_dw& dw, int64_t row);
  virtual void dw_enterpressed(u_wsk_dw& dw);

  // Single-line edit. kpo_keypressed after each key the edit has handled (during Enter,
  // runtime::enter_down() is true); modified when the text changed and then Enter was pressed or
  // the field was left. Both answer message.returnvalue.
  virtual long sle_kpo_keypressed(u_wsk_sle& sle, int key, int keyflags);
  virtual long sle_modified(u_wsk_sle& sle);

  // Check box: clicked after the click has changed the check mark; nothing.
  virtual void cbx_clicked(u_wsk_cbx& cbx);

  // The receiver of a control's events.
  static control_events& of(QWidget* control);

 protected:
  ~control_events() = default;
};
