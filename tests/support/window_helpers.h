#pragma once
// What the window tests share: find a control by objectName; drive windows the way a user does,
// with mouse clicks on a widget or on a grid cell's rectangle and key presses to the focused
// widget, all through the application's event dispatch (spontaneous events, so focus follows
// clicks and shortcuts apply); answer the next message boxes; grab a screenshot to PNG.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/runtime/runtime.h"
#include "framework/ui/w_base.h"
#include "framework/ui/window_registry.h"

class QAction;
class QDateEdit;
class QToolBar;
class u_wsk_dw;
class w_single_dw_list;

template <class T = QWidget>
T* find_control(QWidget* root, const std::string& name) {
  return root->findChild<T*>(QString::fromStdString(name));
}

// Shows the window, makes it active and lets pending events run (focus needs an active window).
void show_active(QWidget* w);
void process_events();

// Opens the window by class name as the host does, shown and active; null, failing the test,
// when the name makes no W.
template <class W = w_base>
std::unique_ptr<W> open_as_host(const std::string& class_name) {
  std::unique_ptr<w_base> made(create_window(class_name));
  auto* w = dynamic_cast<W*>(made.get());
  if (!w) {
    ADD_FAILURE() << class_name;
    return nullptr;
  }
  made.release();
  w->run_open_sequence();
  show_active(w);
  return std::unique_ptr<W>(w);
}

// A left click (or double-click) on the widget at pos (by default its centre; a check box's box).
void click(QWidget* w, QPoint pos = {});
void double_click(QWidget* w, QPoint pos);
// Clicks the toolbar's button for the action; answers false when no button for it is shown.
bool click_tool(QToolBar* bar, QAction* action);

// Sends a key press and release to the widget that has the keyboard focus (w's window's focus
// widget when the application has none).
void press_key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);
// Puts text on the clipboard, as another program would, and pastes it with Ctrl+V into
// whatever has the keyboard focus.
void paste(QWidget* w, const QString& text);
// Types text key by key into whatever has the focus at each key; delay_ms > 0 lets the event
// loop run that long before every key, as a person typing does.
void type_text(QWidget* w, const std::string& text, int delay_ms = 0);
// Clicks into a single-line field, replaces its text by typing (Ctrl+A, then the keys) and
// leaves the focus there. Answers whether the click gave the field the focus.
bool type_into(QWidget* field, const std::string& text);

// Free-form: clicks the column's field and types the text (a drop-down: the keys choose in its
// list, Enter takes the choice), then leaves it with Tab so the value is stored as a user's
// would be. Answers whether the field took the focus.
bool type_into_field(u_wsk_dw& dw, const std::string& column, const std::string& text);

// Grid: wheels the cell into view and clicks its rectangle (row from 1).
// Answers false when the cell cannot be shown.
bool click_cell(u_wsk_dw& dw, int64_t row, const std::string& column);
// Clicks the cell, types the text at once (the first key opens the cell's editor, which starts
// with it; an empty text is F2 and Backspace) and commits with Enter. delay_ms as for
// type_text. Answers whether an editor took the keys.
bool type_into_cell(u_wsk_dw& dw, int64_t row, const std::string& column, const std::string& text,
                    int delay_ms = 0);
// The column whose free-form field (or grid cell) has the focus now; "" for none.
std::string focused_column(u_wsk_dw& dw);

// Double-clicks the grid at a row (1-based) in the column (the first shown by default), or
// below the last row when row is 0.
void double_click_row(u_wsk_dw& dw, int64_t row, const std::string& column = "");

// Runs fn on the next modal dialog once it shows (a timer looks for it while the code under test
// waits in the dialog's event loop); after wait_ms without one, nothing is run.
void when_modal_shows(std::function<void(QWidget* dialog)> fn, int wait_ms = 5000);
// Answers the next file dialog as a user does: types the path into its file name field and
// presses Enter. An empty path cancels the dialog with Esc.
void answer_next_file_dialog(const std::string& path);
// Answers the next print dialog: prints to the PDF file typed into its output file field.
void answer_next_print_dialog(const std::string& pdf_path);
// Writes the list's output as a user asks for it: "csv" (Ctrl+E), "pdf" (the toolbar's button)
// or "print" (Ctrl+P, printing to a file), answering the dialog with path.
void output_list_to(w_single_dw_list& w, const std::string& output, const std::string& path);
// Opens the picker's calendar with a click on its arrow and walks to the day with PageUp /
// PageDown and the arrow keys, then takes it with Enter. Answers whether the day was reached.
bool choose_date(QDateEdit* picker, QDate day);

// The next boxes answer these buttons in turn; the boxes shown are read with shown_boxes().
void answer_next_boxes(std::deque<int> answers);
std::vector<msgbox_request> shown_boxes();
// The boxes' texts, in the order shown.
std::vector<std::string> box_texts(const std::vector<msgbox_request>& boxes);
// Expects the box shown to be the one expected: title, text, icon, buttons and default button.
void expect_box(const msgbox_request& shown, const msgbox_request& expected);

// Renders the widget (offscreen) into a PNG file; answers whether it was written.
bool grab_png(QWidget* w, const std::string& path);
// With MEMBER_REPORTS_OUT set, the path there (without extension) for the named output a
// person is to look at; "" when it is not set.
std::string review_file(const std::string& name);
