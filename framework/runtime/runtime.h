#pragma once
// Host runtime services the windows use: the message object, message boxes, ini profile values,
// the current directory, today's date and the Enter key's state. Each sits behind a seam that a
// test (or the GUI) replaces: answer the next boxes, fix today, hold Enter down.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/value/value.h"

// The global message object: what a window was opened with, and a dialog's answer. A number
// goes as doubleparm and, exactly, as longparm: a double holds whole numbers exactly only up to
// 2^53, and member ids made from card numbers are larger.
struct n_cst_msg {
  double doubleparm = 0;
  std::string stringparm;
  long returnvalue = 0;
  int64_t longparm = 0;  // last, so that the fields before keep their places

  // Sets both: longparm exactly, doubleparm as near as a double comes.
  void set_number(int64_t n) {
    longparm = n;
    doubleparm = double(n);
  }
  // The whole number sent: longparm while doubleparm is still its double (set_number set both);
  // else doubleparm's whole part, for a sender that set only doubleparm (0 when out of range).
  int64_t number() const;
};
extern n_cst_msg message;

enum class mb_icon { none, information, question, exclamation, stop };
enum class mb_buttons { ok, okcancel, yesno, yesnocancel, retrycancel, abortretryignore };

struct msgbox_request {
  std::string title, text;
  mb_icon icon = mb_icon::information;
  mb_buttons buttons = mb_buttons::ok;
  int default_button = 1;
};

// Shows a message box; answers the number of the button pressed, 1 = first.
int messagebox(const std::string& title, const std::string& text,
               mb_icon icon = mb_icon::information, mb_buttons buttons = mb_buttons::ok,
               int default_button = 1);

namespace runtime {
// The GUI installs the real box; without a handler the box answers its default button.
void set_messagebox_handler(std::function<int(const msgbox_request&)> handler);
// Test seam: the next boxes answer these buttons in turn (then the handler takes over again).
void script_answers(std::deque<int> answers);
// Every box shown since the last call (tests read what was said).
std::vector<msgbox_request> take_shown_boxes();

// Current directory without trailing separator; a test may fix it.
std::string current_directory();
void set_current_directory(std::optional<std::string> dir);  // nullopt: the process's own

// Today and now as the station's local clock gives them; a test may fix them.
datetime now();
datetime today();  // midnight of now()
void set_now(std::optional<datetime> fixed);

// Whether Enter is down at this moment. The search boxes set it while handling an Enter key
// press; a test may hold it.
bool enter_down();
void set_enter_down(bool down);
}  // namespace runtime

// Integer of [section] key= in an ini file; the default for a missing file, section or key or a
// value that is not a whole number. A path written with backslashes ("\util\syncclient.ini") is
// read with this system's separators.
int64_t profileint(const std::string& path, const std::string& section, const std::string& key,
                   int64_t default_value);
