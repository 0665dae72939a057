#pragma once
// What the window tests share: find a control by objectName, type into a grid cell or a form
// field, press keys, answer the next message boxes, and grab a screenshot to PNG.

#include <QApplication>
#include <QString>
#include <QWidget>
#include <deque>
#include <string>
#include <vector>

#include "framework/runtime/runtime.h"

class u_wsk_dw;

template <class T = QWidget>
T* find_control(QWidget* root, const std::string& name) {
  return root->findChild<T*>(QString::fromStdString(name));
}

// Shows the window, makes it active and lets pending events run (focus needs an active window).
void show_active(QWidget* w);
void process_events();

// Sends a key press and release to the widget that has the focus in w's window (or to w).
void press_key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Types text as key presses into the focused widget.
void type_text(QWidget* w, const std::string& text);

// Free-form: focuses the column's field, replaces its text and leaves it with Tab (so the text
// is stored as a user's would be). Answers whether the field could be focused.
bool type_into_field(u_wsk_dw& dw, const std::string& column, const std::string& text);
// Grid: makes the cell current, opens its editor, replaces the text and commits with Enter.
bool type_into_cell(u_wsk_dw& dw, int64_t row, const std::string& column, const std::string& text);
// The column whose free-form field (or grid cell) has the focus now; "" for none.
std::string focused_column(u_wsk_dw& dw);

// Double-clicks the grid at a row (1-based), or below the last row when row is 0.
void double_click_row(u_wsk_dw& dw, int64_t row);

// The next boxes answer these buttons in turn; the boxes shown are read with shown_boxes().
void answer_next_boxes(std::deque<int> answers);
std::vector<msgbox_request> shown_boxes();

// Renders the widget (offscreen) into a PNG file; answers whether it was written.
bool grab_png(QWidget* w, const std::string& path);
