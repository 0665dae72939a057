// The member lists on paper and in files: every printed value read back from the PDF equals the
// database's (numbers and codes whole, long texts ending in "…", the list's further columns on
// further pages), the status line tells what went where, and long output can be cancelled.

#include <QProgressDialog>
#include <QPushButton>

#include "framework/ui/work_progress.h"
#include "member/w_member_maintain.h"
#include "support/pdf_text.h"
#include "windows/member_maintain_fixture.h"

class member_list_paper : public member_list_test {
 protected:
  void TearDown() override {
    work_progress::set_show_after_ms(500);
    member_list_test::TearDown();
  }
  // Members whose values the old print cut: long numbers and codes, a time, long texts; enough
  // of them for pages down as well as across.
  void add_wide_members(int count) {
    for (int i = 0; i < count; ++i)
      exec("INSERT INTO t_member (memberid, memberno, membername, memberaddr, siteid, levelid, "
           "integral, amountconsumed, usercard, contactphone, mobile, code, notes, jones, medcard, "
           "lastupdated, birthday, marry) VALUES (:id, :no, :name, :addr, 2, 2, :points, 8389.67, "
           "'330102197001011234', '0571-88888888', '13912345678', 'CODE-0000000000000', :notes, "
           "'读书', 1, '2025-03-04 05:06:07', 19800101, '已婚')",
           {value(int64_t(900000 + i)), value("000000000000" + std::to_string(12345678 + i)),
            value("会员" + std::to_string(i)), value("杭州市西湖区文三路一百二十三号三单元五楼"),
            value(int64_t(1787 + i)),
            value(std::string(i % 2 ? "短" : "很长的备注，说明这位会员的各种情况，一直写到纸上放不下为止"))});
  }
};

// Every cell printed equals the grid's text of it (the grid shows the database's values), whole
// for numbers, codes, dates and times; a text may only be cut short with "…". The figures the
// old print cut are checked against the database itself.
TEST_P(member_list_paper, every_printed_value_is_the_database_value) {
  add_wide_members(70);
  struct {
    const char* window;
    const char* output;
    const char* where;
  } cases[] = {{"w_member_maintain", "pdf", "已写入 PDF 文件 "},
               {"w_member_view", "pdf", "已写入 PDF 文件 "},
               {"w_member_maintain", "print", "已打印到文件 "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.window) + " " + c.output);
    auto w = open<w_single_dw_list>(c.window);
    ASSERT_TRUE(w);
    w->status->show_note("以前的结果");
    u_wsk_dw& dw = *w->dw_1;
    const std::string pdf = runtime::current_directory() + "/" + c.window + ".pdf";
    output_list_to(*w, c.output, pdf);
    std::string error;
    const auto pages = read_pdf_text(pdf, error);
    ASSERT_FALSE(pages.empty()) << error;
    EXPECT_EQ(w->status->outcome_text().toStdString(),
              "“" + w->report_title() + "”共 " + std::to_string(pages.size()) + " 页，" + c.where + pdf);
    const auto rows = printed_rows(pages, "序号", "会员代号");
    ASSERT_EQ(int64_t(rows.size()), dw.rowcount());
    if (const std::string kept = review_file(std::string(c.window) + "_" + c.output); !kept.empty()) {
      std::filesystem::copy_file(pdf, kept + ".pdf", std::filesystem::copy_options::overwrite_existing);
      grab_png(w.get(), kept + ".png");
    }

    const auto& cols = dw.dv().definition().columns;
    int cut_texts = 0;
    for (int64_t r = 1; r <= dw.rowcount(); ++r) {
      const std::string id = std::to_string(dw.of_get_id(r));
      const printed_row& printed = rows.at(id);
      for (int col = 0; col < int(cols.size()); ++col) {
        const dv_column& dc = cols[size_t(col)];
        if (!dc.visible) continue;
        std::string expected = shown(dw, r, dc.name);
        if (dc.style == edit_style::checkbox)
          expected = dw.dv().getitem(r, col).to_text() == dc.checkbox_on ? "√" : "";
        const std::string got = printed.count(dc.header) ? printed.at(dc.header) : "";
        if (got == expected) continue;
        const std::string kept = got.substr(0, got.size() - std::string("…").size());
        const bool cut = dc.type == col_type::string_t && dc.length > 20 && got.ends_with("…") &&
                         expected.starts_with(kept);
        EXPECT_TRUE(cut) << "member " << id << " " << dc.header << ": printed \"" << got
                         << "\", shown \"" << expected << "\"";
        cut_texts += cut;
      }
    }
    if (std::string(c.window) == "w_member_maintain") EXPECT_GT(cut_texts, 0);  // notes, addresses
    const printed_row& first = rows.at("900000");
    for (const char* column : {"integral", "memberno"})
      EXPECT_EQ(first.at(cols[size_t(dw.dv().definition().column_index(column))].header),
                scalar_text(std::string("SELECT ") + column + " FROM t_member WHERE memberid = 900000"));
    EXPECT_EQ(first.at("累计消费金额"), "8389.67");
    const std::string time_header = std::string(c.window) == "w_member_view" ? "最后更新时间" : "最后更新";
    EXPECT_NE(first.at(time_header).find("05:06:07"), std::string::npos) << first.at(time_header);
    w->close_window();
  }
}

// Output that runs long shows a progress dialog modal to the window; its cancel button, clicked,
// stops the work, leaves no file (nor a half-written one beside it) and says so. The dialog
// shows at once here: a fast machine writes these rows' CSV within the half second.
TEST_P(member_list_paper, cancelled_output_leaves_no_file) {
  work_progress::set_show_after_ms(0);
  exec("INSERT INTO t_member (memberid, memberno, membername, siteid, integral, notes) "
       "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 60000) "
       "SELECT i, CAST(i AS VARCHAR(20)), '会员', 2, i, '备注' FROM n");
  auto w = open<w_member_maintain>("w_member_maintain");
  ASSERT_TRUE(w);
  const std::filesystem::path dir = std::filesystem::path(runtime::current_directory()) / "out";
  std::filesystem::create_directories(dir);
  struct {
    const char* output;
    const char* status;
  } cases[] = {{"csv", "已取消导出，没有写入 "}, {"pdf", "已取消输出，没有写入 "},
               {"print", "已取消输出，没有写入 "}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    const std::string output = c.output, path = (dir / ("list." + output)).string();
    std::string title;
    watch_.start<QProgressDialog>([&title](QProgressDialog& d) {
      title = d.windowTitle().toStdString();
      EXPECT_EQ(d.windowModality(), Qt::WindowModal);
      if (const std::string kept = review_file("progress_" + title); !kept.empty()) {
        grab_png(d.parentWidget(), kept + "_window.png");
        grab_png(&d, kept + "_dialog.png");
      }
      click(d.findChild<QPushButton*>());
    }, after_act::wait_for_close);
    output_list_to(*w, output, path);
    EXPECT_TRUE(watch_.seen());
    EXPECT_FALSE(title.empty());
    EXPECT_EQ(w->status->outcome_text().toStdString(), c.status + path);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_TRUE(shown_boxes().empty());
    show_active(w.get());
  }
}

INSTANTIATE_BOTH_BACKENDS(member_list_paper);
