#pragma once
// Check box of the framework: on_clicked runs after a click has changed the check mark.

#include <QCheckBox>
#include <functional>

class u_wsk_cbx : public QCheckBox {
  Q_OBJECT
 public:
  explicit u_wsk_cbx(QWidget* parent = nullptr);
  std::function<void()> on_clicked;
};
