#pragma once
// Ancestor of the dialogs: modal, with p_sign, cb_ok ("确定"), cb_cancel ("取消") and cb_help
// ("帮助(&H)"). A click on cb_ok runs kpo_default and closes the dialog when it answers 0 or 1;
// -1 keeps it open. cb_cancel (and Esc) closes without kpo_default. Every close runs close_event.
// Buttons the window does not place stand at the bottom right. The keyboard starts in the
// window's own first control, not on a button. A dialog whose OK saves a control's edits asks
// whether to save them when it is closed any other way.

#include <QLabel>
#include <QPushButton>

#include "framework/ui/w_base.h"

class u_wsk_dw;

class w_dialog : public w_base {
  Q_OBJECT
 public:
  explicit w_dialog(QWidget* parent = nullptr);
  bool is_dialog() const override { return true; }

  QLabel* p_sign = nullptr;
  QPushButton* cb_ok = nullptr;
  QPushButton* cb_cancel = nullptr;
  QPushButton* cb_help = nullptr;

  void cb_ok_clicked();      // trigger: runs kpo_default, closes on 0 or 1
  void cb_cancel_clicked();  // trigger: closes
  void post_cancel_click();  // queued: runs after the current handlers have finished

  bool has_unsaved_changes() const override;

 protected:
  // The control whose edits OK saves through kpo_save.
  void set_saved_by_ok(u_wsk_dw* dw) { saved_by_ok_ = dw; }
  void accept_pending_edits() override;
  void controls_created() override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  u_wsk_dw* saved_by_ok_ = nullptr;
};
