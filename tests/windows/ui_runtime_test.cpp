// Runtime services: ini profile values, scripted message boxes, the clock seam, the search box's
// Enter handling, date pickers and unit conversion.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <filesystem>
#include <fstream>

#include "framework/db/transaction.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/control_events.h"
#include "framework/ui/u_wsk_sle.h"
#include "framework/ui/units.h"
#include "framework/ui/uo_date.h"
#include "support/window_helpers.h"

namespace {

class profile_test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("member_profile_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "util");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void write(const std::string& text) {
    std::ofstream(dir_ / "util" / "syncclient.ini", std::ios::binary) << text;
  }
  int64_t site(int64_t def = 0) {
    return profileint(dir_.string() + "\\util\\syncclient.ini", "Site", "ID", def);
  }
  std::filesystem::path dir_;
};

TEST_F(profile_test, reads_the_key_through_a_backslash_path) {
  write("\xEF\xBB\xBF[Other]\r\nID=9\r\n[site]\r\n; shop\r\n  id = 42 \r\n");
  EXPECT_EQ(site(), 42);  // section and key match without regard to case, BOM and CRLF ignored
}

TEST_F(profile_test, anything_missing_or_malformed_gives_the_default) {
  EXPECT_EQ(site(7), 7);  // no file
  write("[Site]\nName=x\n");
  EXPECT_EQ(site(7), 7);  // no key
  write("[Shop]\nID=3\n");
  EXPECT_EQ(site(7), 7);  // no section
  for (const char* bad : {"ID=abc", "ID=12abc", "ID=", "ID=1.5"}) {
    write(std::string("[Site]\n") + bad + "\n");
    EXPECT_EQ(site(7), 7) << bad;
  }
  write("[Site]\nID=-3\n");
  EXPECT_EQ(site(7), -3);
}

TEST(runtime_boxes, scripted_answers_then_the_handler_and_every_box_logged) {
  shown_boxes();
  runtime::set_messagebox_handler([](const msgbox_request&) { return 3; });
  answer_next_boxes({2});
  EXPECT_EQ(messagebox("t1", "first", mb_icon::question, mb_buttons::yesnocancel, 1), 2);
  EXPECT_EQ(messagebox("t2", "second", mb_icon::question, mb_buttons::yesnocancel, 1), 3);
  runtime::set_messagebox_handler({});
  EXPECT_EQ(messagebox("t3", "third", mb_icon::stop, mb_buttons::okcancel, 2), 2);  // default
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].title, "t1");
  EXPECT_EQ(boxes[2].icon, mb_icon::stop);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST(runtime_boxes, a_failed_statement_is_reported_in_a_stop_box) {
  shown_boxes();
  uo_transaction tr;
  tr.sqlcode = -1;
  tr.sqlerrtext = "no such table: t_x";
  EXPECT_FALSE(f_check_sql(true, false, false, "奖励领取", "增加会员奖励领取记录失败", tr));
  const auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "奖励领取");
  EXPECT_EQ(boxes[0].icon, mb_icon::stop);
  EXPECT_NE(boxes[0].text.find("增加会员奖励领取记录失败"), std::string::npos);
  EXPECT_NE(boxes[0].text.find("no such table: t_x"), std::string::npos);
}

TEST(runtime_clock, today_is_midnight_of_a_fixed_now) {
  runtime::set_now(datetime::from_parts(2009, 7, 5, 13, 45, 10));
  EXPECT_EQ(runtime::today(), datetime::from_parts(2009, 7, 5));
  runtime::set_now(std::nullopt);
  EXPECT_GT(runtime::today().yyyymmdd(), 20200101);
}

TEST(search_box, enter_is_down_only_while_enter_is_handled_and_modified_follows_changes) {
  // The window holding the edit records its events.
  struct host : QWidget, control_events {
    std::vector<std::pair<int, bool>> calls;
    int modified = 0;
    long sle_kpo_keypressed(u_wsk_sle&, int key, int) override {
      calls.emplace_back(key, runtime::enter_down());
      return 0;
    }
    long sle_modified(u_wsk_sle&) override { return ++modified; }
  } window;
  u_wsk_sle& sle = *new u_wsk_sle(&window);
  const auto& calls = window.calls;
  const int& modified = window.modified;
  show_active(&window);
  sle.setFocus();
  type_text(&sle, "12");
  press_key(&sle, Qt::Key_Return);
  press_key(&sle, Qt::Key_Return);  // nothing changed since: no second modified
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_FALSE(calls[0].second);
  EXPECT_EQ(calls[2].first, int(Qt::Key_Return));
  EXPECT_TRUE(calls[2].second);
  EXPECT_FALSE(runtime::enter_down());
  EXPECT_EQ(sle.text_utf8(), "12");
  EXPECT_EQ(modified, 1);
}

TEST(date_picker, start_and_end_of_the_chosen_day) {
  uo_date d;
  d.of_setdate(datetime::from_parts(2009, 12, 31, 8, 0, 0));
  EXPECT_EQ(d.of_getstartdatetime(), datetime::from_parts(2009, 12, 31, 0, 0, 0));
  EXPECT_EQ(d.of_getenddatetime(), datetime::from_parts(2009, 12, 31, 23, 59, 59));
  EXPECT_EQ(d.displayFormat(), "yyyy-MM-dd");
}

TEST(units, host_units_to_pixels_at_96_dpi) {
  // The offscreen screen reports 96 DPI.
  EXPECT_EQ(units_to_px_x(457), 100);
  EXPECT_EQ(units_to_px_y(400), 100);
  EXPECT_EQ(units_to_px_x(0), 0);
}

}  // namespace
