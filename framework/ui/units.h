#pragma once
// Host units to pixels: about 4.57 units per pixel across and 4 down at 96 DPI, scaled by the
// screen's DPI. The one place that converts layout sizes.

int units_to_px_x(int units);
int units_to_px_y(int units);

class QWidget;
// Moves (and sizes, unless -1) a control at host-unit coordinates within its parent.
void place_units(QWidget* w, int x, int y, int width = -1, int height = -1);
