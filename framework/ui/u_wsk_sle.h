#pragma once
// Single-line edit of the framework. Every key press raises kpo_keypressed(key, keyflags) after
// the edit's own handling; an Enter press holds runtime::enter_down() true meanwhile. `modified`
// runs when the text was changed and then Enter was pressed or the field was left.

#include <QLineEdit>
#include <functional>
#include <string>

class u_wsk_sle : public QLineEdit {
  Q_OBJECT
 public:
  explicit u_wsk_sle(QWidget* parent = nullptr);
  std::string text_utf8() const;
  // Ancestor handling of a key; the window's handler (below) runs after it.
  long kpo_keypressed(int key, int keyflags);
  std::function<long(int key, int keyflags)> on_kpo_keypressed;
  std::function<long()> on_modified;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  bool changed_since_modified_ = false;
};
