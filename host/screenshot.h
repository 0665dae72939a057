#pragma once
// Headless rendering for --screenshot: opens one window by class name over sqlca and saves it
// as a PNG. A modal dialog is grabbed once its open sequence has run and is then closed, so the
// call never waits for a user.

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

// 0 on success; otherwise non-zero with error saying what went wrong.
int render_window_png(const std::string& class_name, std::optional<int64_t> parm,
                      const std::optional<std::string>& text, const std::string& file,
                      std::string& error);

// Renders a shown widget to a PNG file; false with error set when it cannot be saved.
bool save_widget_png(QWidget* w, const std::string& file, std::string& error);

// Lets pending layout and paint events run for about ms milliseconds.
void settle_events(int ms);
