#include "framework/runtime/runtime.h"

#include <filesystem>

#include "framework/value/local_clock.h"

n_cst_msg message;

int64_t n_cst_msg::number() const {
  if (doubleparm == double(longparm)) return longparm;
  // 2^63 as a double; every double in (-2^63, 2^63) has its whole part in int64_t.
  constexpr double limit = 9223372036854775808.0;
  if (!(doubleparm > -limit && doubleparm < limit)) return 0;
  return int64_t(doubleparm);
}

namespace {

struct box_state {
  std::function<int(const msgbox_request&)> handler;
  std::deque<int> scripted;
  std::vector<msgbox_request> shown;
};

box_state& boxes() {
  static box_state s;
  return s;
}

// A long-running terminal shows many boxes; the log only needs the recent ones.
constexpr size_t max_logged_boxes = 1000;

std::optional<std::string> fixed_directory;
std::optional<datetime> fixed_now;
bool enter_is_down = false;

}  // namespace

int messagebox(const std::string& title, const std::string& text, mb_icon icon,
               mb_buttons buttons, int default_button) {
  box_state& s = boxes();
  const msgbox_request req{title, text, icon, buttons, default_button};
  if (s.shown.size() >= max_logged_boxes) s.shown.erase(s.shown.begin());
  s.shown.push_back(req);
  if (!s.scripted.empty()) {
    const int answer = s.scripted.front();
    s.scripted.pop_front();
    return answer;
  }
  if (s.handler) return s.handler(req);
  return default_button;
}

namespace runtime {

void set_messagebox_handler(std::function<int(const msgbox_request&)> handler) {
  boxes().handler = std::move(handler);
}

void script_answers(std::deque<int> answers) { boxes().scripted = std::move(answers); }

std::vector<msgbox_request> take_shown_boxes() {
  std::vector<msgbox_request> out;
  out.swap(boxes().shown);
  return out;
}

std::string current_directory() {
  if (fixed_directory) return *fixed_directory;
  std::error_code ec;
  std::string dir = std::filesystem::current_path(ec).string();
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

void set_current_directory(std::optional<std::string> dir) { fixed_directory = std::move(dir); }

datetime now() {
  return fixed_now ? *fixed_now : local_now();
}

datetime today() { return day_of(now()); }

void set_now(std::optional<datetime> fixed) { fixed_now = fixed; }

bool enter_down() { return enter_is_down; }
void set_enter_down(bool down) { enter_is_down = down; }

}  // namespace runtime
