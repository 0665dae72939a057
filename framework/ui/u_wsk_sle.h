#pragma once
// Single-line edit of the framework (pasted line breaks and tabs are dropped). Every key press raises kpo_keypressed(key, keyflags) to the
// window (control_events) after the edit's own handling; an Enter press holds
// runtime::enter_down() true meanwhile. `modified` is raised when the text was changed and then
// Enter was pressed or the field was left.

#include <QLineEdit>
#include <string>

class u_wsk_sle : public QLineEdit {
  Q_OBJECT
 public:
  explicit u_wsk_sle(QWidget* parent = nullptr);
  std::string text_utf8() const;

 protected:
  // A shortcut of the window's commands (Ctrl+E export, ...) goes to the command even with the
  // focus here; the edit keeps the standard editing keys.
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void raise_modified_if_changed();
  bool changed_since_modified_ = false;
};
