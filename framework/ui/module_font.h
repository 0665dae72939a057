#pragma once
// The module's screen font: "宋体" 9 point, found through fontconfig as an installed Song face.

#include <QFont>

QFont module_font();
// Maps "宋体" to the Song style faces a Linux station has; once, before the first window.
void install_fonts();
