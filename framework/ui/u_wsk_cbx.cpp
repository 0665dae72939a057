#include "framework/ui/u_wsk_cbx.h"

u_wsk_cbx::u_wsk_cbx(QWidget* parent) : QCheckBox(parent) {
  connect(this, &QCheckBox::clicked, this, [this] {
    if (on_clicked) on_clicked();
  });
}
