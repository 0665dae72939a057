#pragma once
// Host units to pixels: about 4.57 units per pixel across and 4 down at 96 DPI, scaled by the
// screen's DPI. The one place that converts layout sizes.

int units_to_px_x(int units);
int units_to_px_y(int units);
