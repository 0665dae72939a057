#include "framework/ui/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {

// Logical DPI of the primary screen; 96 before a GUI application exists.
void screen_dpi(double& x, double& y) {
  x = y = 96.0;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    x = s->logicalDotsPerInchX();
    y = s->logicalDotsPerInchY();
  }
}

}  // namespace

int units_to_px_x(int units) {
  double dx, dy;
  screen_dpi(dx, dy);
  return int(std::lround(units / 4.57 * dx / 96.0));
}

int units_to_px_y(int units) {
  double dx, dy;
  screen_dpi(dx, dy);
  return int(std::lround(units / 4.0 * dy / 96.0));
}

#include <QWidget>

void place_units(QWidget* w, int x, int y, int width, int height) {
  w->move(units_to_px_x(x), units_to_px_y(y));
  // A control never sized before takes its natural size for the side not given.
  const bool sized = w->testAttribute(Qt::WA_Resized);
  const int pw = width >= 0 ? units_to_px_x(width) : sized ? w->width() : w->sizeHint().width();
  const int ph = height >= 0 ? units_to_px_y(height) : sized ? w->height() : w->sizeHint().height();
  w->resize(pw, ph);
}
