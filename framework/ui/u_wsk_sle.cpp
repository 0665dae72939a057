#include "framework/ui/u_wsk_sle.h"

#include <QAction>
#include <QKeyEvent>

#include "framework/runtime/runtime.h"
#include "framework/ui/control_events.h"
#include "framework/ui/single_line_text.h"

namespace {

// Modifier bits as the handlers read them: 1 Shift, 2 Ctrl, 4 Alt.
int keyflags_of(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
         (m & Qt::AltModifier ? 4 : 0);
}

// Whether the key is the shortcut of an enabled command of the widget's window. Keys that edit
// text (copy, paste, undo, ...) are not counted: they stay with the edit.
bool is_window_command(QWidget* w, QKeyEvent* e) {
  for (auto k : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
                 QKeySequence::Redo, QKeySequence::SelectAll})
    if (e->matches(k)) return false;
  const QKeySequence pressed(e->keyCombination());
  for (const QAction* a : w->window()->findChildren<QAction*>())
    if (a->isEnabled() && a->shortcuts().contains(pressed)) return true;
  return false;
}

}  // namespace

u_wsk_sle::u_wsk_sle(QWidget* parent) : QLineEdit(parent) {
  // What is typed here is searched for: a pasted line break or tab is dropped.
  keep_single_line(this, QString());
  connect(this, &QLineEdit::textChanged, this, [this] { changed_since_modified_ = true; });
}

std::string u_wsk_sle::text_utf8() const { return text().toStdString(); }

bool u_wsk_sle::event(QEvent* e) {
  // The line edit claims some Ctrl keys for itself (Ctrl+E: end of line); leaving the override
  // unclaimed lets the window's command have them.
  if (e->type() == QEvent::ShortcutOverride && is_window_command(this, static_cast<QKeyEvent*>(e))) {
    e->ignore();
    return true;
  }
  return QLineEdit::event(e);
}

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
