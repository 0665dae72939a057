#include "framework/ui/u_wsk_sle.h"

#include <QKeyEvent>

#include "framework/runtime/runtime.h"

namespace {

// Modifier bits as the handlers read them: 1 Shift, 2 Ctrl, 4 Alt.
int keyflags_of(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
         (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

u_wsk_sle::u_wsk_sle(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] { changed_since_modified_ = true; });
}

std::string u_wsk_sle::text_utf8() const { return text().toStdString(); }

long u_wsk_sle::kpo_keypressed(int /*key*/, int /*keyflags*/) { return message.returnvalue; }

void u_wsk_sle::keyPressEvent(QKeyEvent* e) {
  QLineEdit::keyPressEvent(e);
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  const bool was_down = runtime::enter_down();
  if (enter) runtime::set_enter_down(true);
  const int flags = keyflags_of(e->modifiers());
  kpo_keypressed(e->key(), flags);
  if (on_kpo_keypressed) on_kpo_keypressed(e->key(), flags);
  if (enter) {
    runtime::set_enter_down(was_down);
    // Enter belongs to the search box: it does not go on to the window's default button.
    e->accept();
    if (changed_since_modified_) {
      changed_since_modified_ = false;
      if (on_modified) on_modified();
    }
  }
}

void u_wsk_sle::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (changed_since_modified_) {
    changed_since_modified_ = false;
    if (on_modified) on_modified();
  }
}
