#include "framework/ui/u_wsk_cbx.h"

#include "framework/ui/control_events.h"

u_wsk_cbx::u_wsk_cbx(QWidget* parent) : QCheckBox(parent) {
  connect(this, &QCheckBox::clicked, this, [this] { control_events::of(this).cbx_clicked(*this); });
}
