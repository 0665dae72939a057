#pragma once
// Opens windows by class name, the way the host application does. A dialog (w_dialog) is modal:
// the call returns after it closed, with its answer in `message`. Other windows stay open and
// are returned to the caller, which owns them (the host keeps them; tests delete them).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class w_base;

using window_factory = std::function<w_base*()>;
void register_window(const std::string& class_name, window_factory f);
bool window_available(const std::string& class_name);
std::vector<std::string> registered_windows();

// Sets the number in message (set_number) or its stringparm and opens. Null when the class is
// unknown; for a modal dialog the pointer returned is null too (the dialog is gone when the call
// returns).
w_base* open_window(const std::string& class_name, int64_t parm = 0);
w_base* open_window_text(const std::string& class_name, const std::string& text);
// Creates the window without opening it (tests run run_open_sequence() and show it themselves).
w_base* create_window(const std::string& class_name);
