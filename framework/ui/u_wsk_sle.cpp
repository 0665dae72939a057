#include "framework/ui/u_wsk_sle.h"

#include <QKeyEvent>

#include "framework/runtime/runtime.h"
#include "framework/ui/control_events.h"

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

void u_wsk_sle::keyPressEvent(QKeyEvent* e) {
  QLineEdit::keyPressEvent(e);
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  const bool was_down = runtime::enter_down();
  if (enter) runtime::set_enter_down(true);
  control_events::of(this).sle_kpo_keypressed(*this, e->key(), keyflags_of(e->modifiers()));
  if (enter) {
    runtime::set_enter_down(was_down);
    // Enter belongs to the search box: it does not go on to the window's default button.
    e->accept();
    raise_modified_if_changed();
  }
}

void u_wsk_sle::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  raise_modified_if_changed();
}

void u_wsk_sle::raise_modified_if_changed() {
  if (!changed_since_modified_) return;
  changed_since_modified_ = false;
  control_events::of(this).sle_modified(*this);
}
