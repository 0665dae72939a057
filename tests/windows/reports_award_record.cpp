// w_member_award_record: the date range (inclusive days), the member-number narrowing on Enter,
// a report that never saves, and its print/PDF/CSV output.

#include <QAction>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "award/w_member_award_record.h"
#include "data/demo_data.h"
#include "windows/reports_fixture.h"
#include "support/cell_checks.h"

namespace {

class award_record_report : public reports_test {
 protected:
  std::unique_ptr<w_member_award_record> open_report() {
    add_members_and_records();
    return open<w_member_award_record>("w_member_award_record");
  }
  // Chooses the days as a user does in the pickers' calendars; each change reads the report again.
  static void choose_days(w_member_award_record& w, QDate start, QDate end) {
    EXPECT_TRUE(choose_date(w.uo_start, start));
    EXPECT_TRUE(choose_date(w.uo_end, end));
  }
  // Types text into sle_1 and presses Enter.
  static void search(w_member_award_record& w, const std::string& text) {
    type_into(w.sle_1, text);
    press_key(w.sle_1, Qt::Key_Return);
  }
};

TEST_P(award_record_report, opens_on_the_current_month_with_its_columns) {
  auto w = open_report();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->title(), "会员奖励记录");
  EXPECT_EQ(w->st_1->text().toStdString(), "起始日期");
  EXPECT_EQ(w->st_2->text().toStdString(), "终止日期");
  EXPECT_EQ(w->st_3->text().toStdString(), "会员号:");
  EXPECT_EQ(w->uo_start->date(), QDate(2009, 12, 1));
  EXPECT_EQ(w->uo_end->date(), QDate(2009, 12, 31));
  // Both bounds inclusive; 6 is left out because its member is gone.
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{2, 3, 4, 5, 8}));
  EXPECT_EQ(headers(*w->dw_1),
            (std::vector<std::string>{"序号", "流水号", "会员ID", "会员名称", "会员积分", "备注",
                                      "领取日期", "会员号\r\n", "", "身份证\r\n"}));
  EXPECT_EQ(tab_orders(*w->dw_1), (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
  const int64_t row = w->dw_1->find("seqid=2", 1, w->dw_1->rowcount());
  EXPECT_EQ(w->dw_1->getitemstring(row, "memberno"), "00123");
  EXPECT_EQ(w->dw_1->getitemstring(row, "membername"), "张三");
  EXPECT_EQ(w->dw_1->getitemstring(row, "usercard"), "110101199001011234");
  EXPECT_EQ(number_in(w->dw_1->getitemnumber(row, "timevalidated")).to_long(), 20091201);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_record_report, date_changes_and_the_toolbar_read_the_days_again) {
  auto w = open_report();
  ASSERT_TRUE(w);
  // One day; whatever time of day a picker is given, the whole day counts.
  w->uo_end->of_setdate(datetime::from_parts(2009, 12, 31, 0, 0, 1));
  w->uo_start->of_setdate(datetime::from_parts(2009, 12, 31, 23, 59, 59));
  process_events();
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{4, 8}));
  choose_days(*w, QDate(2009, 11, 30), QDate(2010, 1, 1));
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{1, 2, 3, 4, 5, 7, 8}));

  // An end before the start lists nothing, without a box; the status line says why.
  choose_days(*w, QDate(2010, 1, 1), QDate(2009, 12, 31));
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_EQ(w->status->outcome_text().toStdString(),
            "起始日期 2010-01-01 晚于终止日期 2009-12-31：日期范围颠倒，没有记录");

  choose_days(*w, QDate(2009, 12, 1), QDate(2009, 12, 31));
  EXPECT_EQ(w->status->outcome_text().toStdString(), "");
  exec("INSERT INTO t_member_award_record (seqid, memberid, mdname, mdintegral, timevalidated) "
       "VALUES (9, 2, '精美雨伞', 150, 20091202)");
  EXPECT_EQ(w->dw_1->rowcount(), 5);
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_retrieve));
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{2, 3, 4, 5, 8, 9}));
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_record_report, enter_keeps_exactly_the_typed_member_number) {
  auto w = open_report();
  ASSERT_TRUE(w);
  search(*w, "  00123  ");
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{2, 8}));
  // The narrowing stays in force when the days change.
  choose_days(*w, QDate(2009, 11, 1), QDate(2010, 1, 31));
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{1, 2, 7, 8}));
  choose_days(*w, QDate(2009, 12, 1), QDate(2009, 12, 31));

  search(*w, "0012");  // no prefix match
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  search(*w, "");  // an empty number: only rows whose memberno is empty
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{4}));

  // A double quote is part of the number, not of the expression.
  search(*w, "a\"b");
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{5}));
  search(*w, "\" or memberno<>\"");
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  search(*w, "00123\\");
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  search(*w, std::string(1000, '9'));
  EXPECT_EQ(w->dw_1->rowcount(), 0);
  EXPECT_TRUE(shown_boxes().empty());
}

TEST_P(award_record_report, keys_other_than_enter_change_nothing) {
  auto w = open_report();
  ASSERT_TRUE(w);
  search(*w, "00124");
  ASSERT_EQ(sorted_ids(*w->dw_1), (ids_t{3}));
  click(w->sle_1);
  press_key(w->sle_1, Qt::Key_End);
  type_text(w->sle_1, "x");
  press_key(w->sle_1, Qt::Key_Backspace);
  press_key(w->sle_1, Qt::Key_Backspace);
  press_key(w->sle_1, Qt::Key_Tab);
  EXPECT_EQ(sorted_ids(*w->dw_1), (ids_t{3}));
  EXPECT_EQ(w->dw_1->dv().filteredcount(), 4);
}

TEST_P(award_record_report, typed_cells_are_never_saved_and_closing_does_not_ask) {
  auto w = open_report();
  ASSERT_TRUE(w);
  const int64_t row = w->dw_1->find("seqid=3", 1, w->dw_1->rowcount());
  ASSERT_TRUE(type_into_cell(*w->dw_1, row, "mdname", "改过的名称"));
  ASSERT_TRUE(type_into_cell(*w->dw_1, row, "memberno", "77777"));
  EXPECT_EQ(w->dw_1->getitemstring(row, "mdname"), "改过的名称");
  ASSERT_TRUE(click_tool(w->toolbar, w->toolbar->act_retrieve));  // reads again without asking
  EXPECT_EQ(w->dw_1->getitemstring(w->dw_1->find("seqid=3", 1, 5), "mdname"), "不锈钢保温杯");
  ASSERT_TRUE(type_into_cell(*w->dw_1, 1, "notes", "x"));
  w->close_window();
  EXPECT_TRUE(w->is_closed());
  EXPECT_TRUE(shown_boxes().empty());
  EXPECT_EQ(scalar_text("SELECT mdname FROM t_member_award_record WHERE seqid = 3"),
            "不锈钢保温杯");
  EXPECT_EQ(scalar_text("SELECT memberno FROM t_member WHERE memberid = 2"), "00124");
}

// Reads a whole file.
std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_P(award_record_report, prints_exports_and_writes_pdf_with_title_and_range) {
  auto w = open_report();
  ASSERT_TRUE(w);
  EXPECT_EQ(w->report_title(), "会员奖励记录  2009-12-01 至 2009-12-31");
  search(*w, "00123");
  const auto dir = std::filesystem::temp_directory_path() /
                   ("reports_out_" + std::to_string(::getpid()) + backend_name(kind()));
  std::filesystem::create_directories(dir);
  answer_next_file_dialog((dir / "r.csv").string());
  press_key(w.get(), Qt::Key_E, Qt::ControlModifier);
  const std::string csv = slurp(dir / "r.csv");
  EXPECT_NE(csv.find("流水号"), std::string::npos);
  EXPECT_NE(csv.find("00123"), std::string::npos);
  EXPECT_EQ(csv.find("00124"), std::string::npos);  // only the shown rows
  answer_next_file_dialog((dir / "r.pdf").string());
  click(w->toolbar->widgetForAction(w->toolbar->act_pdf));
  EXPECT_EQ(slurp(dir / "r.pdf").substr(0, 5), "%PDF-");
  answer_next_print_dialog((dir / "printed.pdf").string());
  press_key(w.get(), Qt::Key_P, Qt::ControlModifier);
  const std::string printed = slurp(dir / "printed.pdf");
  EXPECT_EQ(printed.substr(0, 5), "%PDF-");
  EXPECT_GT(printed.size(), 1000u);
  std::filesystem::remove_all(dir);
}

// The report over the demo data, in the range the demo records fall in. With
// MEMBER_REPORTS_OUT set, its screenshot and PDF are written there for a person to look at.
TEST_P(award_record_report, demo_data_report_fills_the_window_and_the_pdf) {
  ASSERT_EQ(generate_demo_data(admin()), 0) << admin().sqlerrtext;
  runtime::set_now(datetime::from_parts(2024, 3, 10));
  auto w = open<w_member_award_record>("w_member_award_record");
  ASSERT_TRUE(w);
  EXPECT_GT(w->dw_1->rowcount(), 0);
  const int64_t month_rows = w->dw_1->rowcount();
  choose_days(*w, QDate(2023, 1, 1), QDate(2024, 12, 31));
  EXPECT_GE(w->dw_1->rowcount(), month_rows);
  EXPECT_LE(w->dw_1->rowcount(), 100);
  choose_days(*w, QDate(2024, 3, 1), QDate(2024, 3, 31));
  EXPECT_EQ(w->dw_1->rowcount(), month_rows);

  choose_days(*w, QDate(2024, 1, 1), QDate(2024, 12, 31));  // a year: more than one page
  const std::string name = "w_member_award_record_" + backend_name(kind()), kept = review_file(name);
  const std::string pdf =
      (kept.empty() ? (std::filesystem::temp_directory_path() / name).string() : kept) + ".pdf";
  ASSERT_EQ(w->write_pdf_to(pdf), 1);
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
  if (!kept.empty()) EXPECT_TRUE(grab_png(w.get(), kept + ".png"));
  else std::filesystem::remove(pdf);
}

INSTANTIATE_BOTH_BACKENDS(award_record_report);

}  // namespace
