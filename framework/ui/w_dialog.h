#pragma once
// Ancestor of the dialogs: modal, with p_sign, cb_ok ("确定"), cb_cancel ("取消") and cb_help
// ("帮助(&H)"). A click on cb_ok runs kpo_default and closes the dialog when it answers 0 or 1;
// -1 keeps it open. cb_cancel (and Esc) closes without kpo_default. Every close runs close_event.
// Buttons the window does not place stand at the bottom right. The keyboard starts in the
// window's own first control, not on a button.

#include <QLabel>
#include <QPushButton>

#include "framework/ui/w_base.h"

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

 protected:
  void controls_created() override;
  void resizeEvent(QResizeEvent* e) override;
};
