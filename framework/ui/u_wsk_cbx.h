#pragma once
// Check box of the framework: raises clicked to the window (control_events) after a click has
// changed the check mark.

#include <QCheckBox>

class u_wsk_cbx : public QCheckBox {
  Q_OBJECT
 public:
  explicit u_wsk_cbx(QWidget* parent = nullptr);
};
