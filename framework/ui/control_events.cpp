#include "framework/ui/control_events.h"

#include <QWidget>

#include "framework/runtime/runtime.h"

// The data view control's retrieve and update defaults are its own handling: they are in
// u_wsk_dw.cpp, beside the control, so that this file needs none of the controls.
void control_events::dw_clicked(u_wsk_dw&, int64_t) {}
void control_events::dw_doubleclicked(u_wsk_dw&, int64_t) {}
void control_events::dw_enterpressed(u_wsk_dw&) {}
long control_events::sle_kpo_keypressed(u_wsk_sle&, int, int) { return message.returnvalue; }
long control_events::sle_modified(u_wsk_sle&) { return message.returnvalue; }
void control_events::cbx_clicked(u_wsk_cbx&) {}

namespace {
// Answers the events of a control that no window holds.
class control_defaults final : public control_events {};
}  // namespace

control_events& control_events::of(QWidget* control) {
  for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* receiver = dynamic_cast<control_events*>(w)) return *receiver;
  static control_defaults defaults;
  return defaults;
}
