#pragma once
// The message box of the screens: a QMessageBox with the requested icon, buttons (Chinese
// captions) and default button. Answers the number of the button pressed, 1 = first.

#include "framework/runtime/runtime.h"

int show_gui_messagebox(const msgbox_request& req);
