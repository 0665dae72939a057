// The list and report ancestors over a real database: reading at opening, Enter and double-click
// opening the current row, the toolbar's row actions, asking before closing with unsaved
// changes, CSV and PDF output, and the date range report.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTableView>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "framework/dataview/columns.h"
#include "framework/ui/w_duration_report.h"
#include "support/full_disk.h"
#include "support/test_db.h"
#include "support/window_helpers.h"

namespace {

using namespace dv_columns;

dv_definition make_level_list() {
  dv_definition d;
  d.name = "dw_ui_test_levels";
  d.sql = "SELECT levelid, levelname FROM t_member_level ORDER BY levelid";
  d.update_table = "t_member_level";
  d.columns = {
      stored("levelid", integer).header("等级代号").width(300).tab(10).key(),
      stored("levelname", text(60)).header("等级名称").width(500).tab(20),
  };
  return d;
}
const dv_registration reg_levels(make_level_list());

dv_definition make_range_report() {
  dv_definition d;
  d.name = "dw_ui_test_range";
  d.sql = "SELECT seqid, timevalidated FROM t_member_award_record "
          "WHERE timevalidated >= :starttime AND timevalidated <= :endtime ORDER BY seqid";
  d.arguments = {{"starttime", col_type::long_t}, {"endtime", col_type::long_t}};
  d.columns = {
      queried("seqid", integer).header("流水号"),
      queried("timevalidated", integer).header("领取日期"),
  };
  return d;
}
const dv_registration reg_range(make_range_report());

class w_test_list : public w_single_dw_list {
 public:
  int64_t rows_at_postopen = -1;
  int opened = 0;
  bool own_enter = false;  // the window's own Enter handler, in place of the ancestor's
  void create() override {
    w_single_dw_list::create();
    set_title("等级维护");
    EXPECT_EQ(dw_1->set_dataobject("dw_ui_test_levels"), 1);
  }
  void kpo_postopen() override {
    w_single_dw_list::kpo_postopen();
    rows_at_postopen = dw_1->rowcount();
  }
  void kpo_open() override {
    w_single_dw_list::kpo_open();
    ++opened;
  }
  void dw_enterpressed(u_wsk_dw& dw) override {
    if (!own_enter) w_single_dw_list::dw_enterpressed(dw);
  }
};

class w_test_range : public w_duration_report {
 public:
  void create() override {
    w_duration_report::create();
    set_title("领取记录");
    EXPECT_EQ(dw_1->set_dataobject("dw_ui_test_range"), 1);
  }
  long dw_kpo_retrieve(u_wsk_dw&) override {
    return long(dw_1->retrieve({value(uo_start->of_getstartdatetime().yyyymmdd()),
                                value(uo_end->of_getenddatetime().yyyymmdd())}));
  }
};

class list_test : public db_test {
 protected:
  void SetUp() override {
    db_test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    exec("INSERT INTO t_member_level (levelid, levelname) VALUES (1, '普通会员'), (2, '银卡, \"VIP\"'), "
         "(3, '金卡会员')");
    // The list under test keeps the levels, which no window of the module writes: here the
    // terminals get the rights such a window would need.
    if (kind() == backend::postgres) exec("GRANT INSERT, UPDATE, DELETE ON t_member_level TO member_terminal");
    shown_boxes();
  }
  void TearDown() override {
    runtime::script_answers({});
    runtime::set_now(std::nullopt);
    db_test::TearDown();
  }
  std::unique_ptr<w_test_list> open_list() {
    auto w = std::make_unique<w_test_list>();
    w->run_open_sequence();
    show_active(w.get());
    return w;
  }
  // Per process, so that test runs of other build trees on this machine never share a file.
  std::filesystem::path temp(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           (name + "_" + backend_name(kind()) + "_" + std::to_string(QCoreApplication::applicationPid()));
  }
};

TEST_P(list_test, reads_after_opening_and_enter_or_double_click_open_the_current_row) {
  auto w = open_list();
  EXPECT_EQ(w->rows_at_postopen, 0);  // read once the window's own postopen is done
  EXPECT_EQ(w->dw_1->rowcount(), 3);
  ASSERT_TRUE(click_cell(*w->dw_1, 1, "levelid"));
  press_key(w->dw_1->grid(), Qt::Key_Return);
  double_click_row(*w->dw_1, 2);
  double_click_row(*w->dw_1, 0);  // below the rows: nothing to open
  EXPECT_EQ(w->opened, 2);
  // A window's own Enter handler replaces the default.
  w->own_enter = true;
  press_key(w->dw_1->grid(), Qt::Key_Return);
  EXPECT_EQ(w->opened, 2);
}

TEST_P(list_test, closing_with_unsaved_changes_asks_and_cancel_keeps_everything) {
  auto w = open_list();
  ASSERT_TRUE(type_into_cell(*w->dw_1, 1, "levelname", "普通"));
  answer_next_boxes({3});  // cancel
  w->close_window();
  EXPECT_FALSE(w->is_closed());
  auto boxes = shown_boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "是否保存所做的修改？");
  EXPECT_EQ(boxes[0].buttons, mb_buttons::yesnocancel);
  EXPECT_EQ(w->dw_1->getitemstring(1, "levelname").value_or(""), "普通");

  answer_next_boxes({2});  // no: closes without saving
  w->close_window();
  EXPECT_TRUE(w->is_closed());
  EXPECT_EQ(scalar_text("SELECT levelname FROM t_member_level WHERE levelid = 1"), "普通会员");
}

TEST_P(list_test, yes_saves_before_closing_and_the_toolbar_inserts_and_deletes) {
  auto w = open_list();
  EXPECT_EQ(w->delete_action(), 1);  // row 1
  EXPECT_EQ(w->insert_action(), 1);
  EXPECT_EQ(w->dw_1->getrow(), 3);
  ASSERT_TRUE(type_into_cell(*w->dw_1, 3, "levelid", "9"));
  // An editor still open when closing is stored first.
  ASSERT_TRUE(click_cell(*w->dw_1, 3, "levelname"));
  type_text(w->dw_1->grid(), "钻石会员");
  answer_next_boxes({1});  // yes
  w->close_window();
  EXPECT_TRUE(w->is_closed());
  EXPECT_EQ(row_count("t_member_level"), 3);
  EXPECT_EQ(scalar_text("SELECT levelname FROM t_member_level WHERE levelid = 9"), "钻石会员");
  EXPECT_EQ(scalar_long("SELECT COUNT(*) FROM t_member_level WHERE levelid = 1"), 0);
}

TEST_P(list_test, csv_export_and_pdf_carry_headers_and_rows_as_shown) {
  auto w = open_list();
  const auto csv = temp("levels.csv"), pdf = temp("levels.pdf");
  answer_next_file_dialog(csv.string());
  press_key(w.get(), Qt::Key_E, Qt::ControlModifier);
  std::ifstream in(csv, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "\xEF\xBB\xBF等级代号,等级名称\r\n1,普通会员\r\n2,\"银卡, \"\"VIP\"\"\"\r\n"
                        "3,金卡会员\r\n");
  answer_next_file_dialog(pdf.string());
  click(w->toolbar->widgetForAction(w->toolbar->act_pdf));
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
  // A cancelled dialog writes nothing.
  std::filesystem::remove(csv);
  answer_next_file_dialog("");
  press_key(w.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_FALSE(std::filesystem::exists(csv));
  EXPECT_EQ(w->export_csv_to("/no/such/dir/x.csv"), -1);
  EXPECT_EQ(shown_boxes().size(), 1u);
  std::filesystem::remove(csv);
  if (kind() == backend::postgres) std::filesystem::remove(pdf);  // the SQLite one is looked at
}

// A file whose bytes do not all reach the disk fails with a message, and leaves nothing where
// the user asked for it: a device that takes no byte, or a disk that fills midway.
TEST_P(list_test, output_that_does_not_reach_the_disk_fails_and_leaves_no_file) {
  auto w = open_list();
  const auto whole = temp("whole.pdf");
  ASSERT_EQ(w->write_pdf_to(whole.string()), 1);
  ASSERT_GT(std::filesystem::file_size(whole), 8192u);  // more than the disk below holds
  std::filesystem::remove(whole);
  struct {
    const char* output;
    long free_bytes;  // -1: /dev/full
  } cases[] = {{"pdf", -1}, {"print", -1}, {"csv", -1}, {"pdf", 8192}, {"print", 8192}, {"csv", 0}};
  std::string skipped;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.output) + " with " + std::to_string(c.free_bytes) + " bytes free");
    std::optional<full_disk> disk;
    if (c.free_bytes >= 0 && !disk.emplace(c.free_bytes).ready()) {
      skipped = disk->reason();
      continue;
    }
    const std::string output = c.output;
    const std::string target =
        disk ? disk->path(output == "csv" ? "out.csv" : "out.pdf") : "/dev/full";
    output_list_to(*w, output, target);
    const auto boxes = box_texts(shown_boxes());
    EXPECT_EQ(boxes.size(), 1u);
    const std::string box = boxes.empty() ? "" : boxes[0];
    EXPECT_NE(box.find("写入文件 " + target + " 失败"), std::string::npos) << box;
    EXPECT_EQ(w->status->outcome_text().toStdString(), "");
    if (disk) EXPECT_EQ(disk->files(), std::vector<std::string>{});
    else EXPECT_TRUE(std::filesystem::is_character_file(target));
  }
  if (!skipped.empty()) GTEST_SKIP() << skipped;
}

TEST_P(list_test, the_date_range_report_reads_at_opening_and_on_every_date_change) {
  exec("INSERT INTO t_member_award_record (seqid, memberid, mdname, mdintegral, notes, "
       "timevalidated) VALUES (1, 1, 'a', 1, '', 20090301), (2, 1, 'b', 1, '', 20090331), "
       "(3, 1, 'c', 1, '', 20090401)");
  runtime::set_now(datetime::from_parts(2009, 3, 15, 10, 0, 0));
  w_test_range w;
  w.run_open_sequence();
  show_active(&w);
  EXPECT_EQ(w.uo_start->date(), QDate(2009, 3, 1));
  EXPECT_EQ(w.uo_end->date(), QDate(2009, 3, 31));
  EXPECT_EQ(w.dw_1->rowcount(), 2);
  ASSERT_TRUE(choose_date(w.uo_end, QDate(2009, 4, 1)));
  EXPECT_EQ(w.dw_1->rowcount(), 3);
  ASSERT_TRUE(choose_date(w.uo_start, QDate(2009, 4, 2)));
  EXPECT_EQ(w.dw_1->rowcount(), 0);
  EXPECT_EQ(w.report_title(), "领取记录  2009-04-02 至 2009-04-01");
  // A report has no editing actions and never asks about saving.
  EXPECT_FALSE(w.toolbar->act_save->isVisible());
  EXPECT_FALSE(w.toolbar->act_insert->isEnabled());
  w.close_window();
  EXPECT_TRUE(w.is_closed());
  EXPECT_TRUE(shown_boxes().empty());
}

INSTANTIATE_BOTH_BACKENDS(list_test);

}  // namespace
