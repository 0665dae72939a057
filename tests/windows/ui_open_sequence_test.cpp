// The open sequence and the dialog ancestor: event order with ancestors first, OK / -1 /
// Cancel / Esc handling, a click posted during opening, and the close events.

#include <gtest/gtest.h>

#include "framework/runtime/runtime.h"
#include "framework/ui/w_dialog.h"
#include "framework/ui/window_registry.h"
#include "support/window_helpers.h"

namespace {

std::vector<std::string> events;

// An ancestor of its own, to see that a window's override runs after its ancestor's.
class w_logging_dialog : public w_dialog {
 public:
  void create() override { w_dialog::create(); events.push_back("base create"); }
  void kpo_preopen() override { w_dialog::kpo_preopen(); events.push_back("base preopen"); }
  void kpo_postopen() override { w_dialog::kpo_postopen(); events.push_back("base postopen"); }
  long close_event() override {
    events.push_back("base close");
    return w_dialog::close_event();
  }
  void destroy() override { w_dialog::destroy(); events.push_back("destroy"); }
};

class w_test_dialog : public w_logging_dialog {
 public:
  int answer = 0;
  bool post_cancel = false;
  void create() override { w_logging_dialog::create(); events.push_back("create"); }
  void kpo_preopen() override {
    w_logging_dialog::kpo_preopen();
    events.push_back("preopen " + std::to_string(int(message.doubleparm)));
    if (post_cancel) {
      post_cancel_click();
      events.push_back("posted");
    }
  }
  void kpo_postopen() override {
    w_logging_dialog::kpo_postopen();
    events.push_back("postopen");
  }
  int kpo_default() override {
    w_logging_dialog::kpo_default();
    events.push_back("default");
    return answer;
  }
};


using strings = std::vector<std::string>;

TEST(open_sequence, runs_ancestors_first_and_a_posted_cancel_after_opening) {
  register_window("w_ui_test_self_closing", [] {
    auto* w = new w_test_dialog;
    w->post_cancel = true;
    return w;
  });
  events.clear();
  // The dialog is modal: open_window returns once the posted Cancel has closed it.
  EXPECT_EQ(open_window("w_ui_test_self_closing", 42), nullptr);
  EXPECT_EQ(events, (strings{"base create", "create", "base preopen", "preopen 42", "posted",
                             "base postopen", "postopen", "base close", "destroy"}));
  EXPECT_EQ(open_window("w_no_such_window", 1), nullptr);
}

TEST(dialog_buttons, ok_closes_on_0_or_1_and_stays_open_on_minus_1) {
  for (int answer : {-1, 0, 1}) {
    events.clear();
    w_test_dialog w;
    w.answer = answer;
    w.run_open_sequence();
    show_active(&w);
    click(w.cb_ok);
    EXPECT_EQ(w.is_closed(), answer != -1) << answer;
    EXPECT_EQ(w.isVisible(), answer == -1) << answer;
    if (answer != -1) {
      EXPECT_EQ(w.result(), QDialog::Accepted);
      EXPECT_EQ(strings(events.end() - 3, events.end()),
                (strings{"default", "base close", "destroy"}));
    }
  }
}

TEST(dialog_buttons, cancel_and_esc_close_without_kpo_default) {
  for (bool esc : {false, true}) {
    events.clear();
    w_test_dialog w;
    w.run_open_sequence();
    show_active(&w);
    if (esc) press_key(&w, Qt::Key_Escape);
    else click(w.cb_cancel);
    EXPECT_TRUE(w.is_closed());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(std::count(events.begin(), events.end(), "default"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "base close"), 1);
    // A second close does not run the close events again.
    w.close_window();
    EXPECT_EQ(std::count(events.begin(), events.end(), "destroy"), 1);
  }
}

TEST(dialog_buttons, buttons_not_placed_stand_at_the_bottom_right) {
  w_test_dialog w;
  w.set_size_units(2000, 1000);
  w.cb_help->hide();
  w.run_open_sequence();
  EXPECT_GT(w.cb_cancel->x(), w.cb_ok->x());
  EXPECT_LE(w.cb_cancel->geometry().right(), w.width());
  EXPECT_LE(w.cb_ok->geometry().bottom(), w.height());
  EXPECT_GT(w.cb_ok->y(), w.height() / 2);
  w.close_window();
}

}  // namespace
