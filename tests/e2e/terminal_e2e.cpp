// The demo terminal on a real X server (run by tests/e2e/run.sh under Xvfb and a window
// manager): the host's launcher on a fresh demo database, driven by clicks and keys; real
// windows, dialogs and message boxes; the database read after each step by the sqlite3 tool.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <unistd.h>

#include "framework/db/transaction.h"
#include "framework/module/module_loader.h"
#include "framework/ui/install_ui.h"
#include "framework/ui/w_single_dw_list.h"
#include "host/first_run.h"
#include "host/host_options.h"
#include "host/host_windows.h"
#include "host/launcher_window.h"
#include "support/sqlite3_tool.h"
#include "support/window_helpers.h"
#include "support/cell_checks.h"

namespace {

namespace fs = std::filesystem;
constexpr int k_wait_ms = 15000;

// A shown, exposed top-level window with that object name (a window's class name) or class.
QWidget* shown_window(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if ((w->objectName() == name || w->inherits(name.toLatin1())) && w->isVisible() &&
        w->windowHandle() && w->windowHandle()->isExposed())
      return w;
  return nullptr;
}

class terminal_e2e : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("terminal_e2e_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
    setenv("HOME", dir_.c_str(), 1);
    runtime::set_current_directory(dir_.string());
    db_ = (dir_ / "member-demo.db").string();
    // As the host's start does.
    const std::string url = default_database_url(dir_.string());
    ASSERT_EQ(sqlca.connect(url), 0) << sqlca.sqlerrtext;
    std::string error;
    ASSERT_EQ(prepare_demo_database(sqlca, 20, error), 1) << error;
    ASSERT_TRUE(ensure_site_ini(dir_.string(), error)) << error;
    launcher_ = std::make_unique<launcher_window>(url);
    launcher_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(launcher_.get(), k_wait_ms));
  }
  void TearDown() override {
    if (launcher_) launcher_->close();
    launcher_.reset();
    sqlca.disconnect();
    fs::current_path("/");
    fs::remove_all(dir_);
  }

  std::string db(const std::string& sql) const { return sqlite3_tool(db_, sql); }

  // Runs fn once, from the event loop, on the window named name as soon as it is shown and the
  // window manager has made it active (also while a modal loop runs). The answer tells whether
  // it ran.
  std::shared_ptr<bool> when_shown(const QString& name, std::function<void(QWidget*)> fn) {
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, name, fn, ran] {
      QWidget* w = shown_window(name);
      if (!w || !w->isActiveWindow()) return;
      timer->stop();
      timer->deleteLater();
      fn(w);
      *ran = true;
    });
    timer->start(20);
    return ran;
  }
  // Answers the next message box with the button whose text begins with answer; its text is
  // kept in box_text_.
  void answer_box(const QString& answer) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [this, timer, answer] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      timer->stop();
      timer->deleteLater();
      box_text_ = box->text().toStdString();
      for (QAbstractButton* b : box->buttons())
        if (b->text().startsWith(answer)) return click(b);
      ADD_FAILURE() << "no button " << answer.toStdString() << " in the box " << box_text_;
      box->close();
    });
    timer->start(20);
  }
  // Brings the launcher to the front, as a user's click on it does.
  void to_launcher() {
    launcher_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(launcher_.get(), k_wait_ms));
  }
  // Clicks the launcher's button for a window class.
  void click_launcher(const std::string& class_name) {
    auto* b = launcher_->findChild<QPushButton*>(QString::fromStdString("cb_" + class_name));
    ASSERT_NE(b, nullptr) << class_name;
    to_launcher();
    click(b);
  }
  // With MEMBER_E2E_SHOTS set, saves the window as the X server shows it, as NAME.png there.
  static void shot(QWidget* w, const std::string& name) {
    const char* dir = std::getenv("MEMBER_E2E_SHOTS");
    if (!dir || !w->windowHandle()) return;
    w->windowHandle()->screen()->grabWindow(w->winId())
        .save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
  }
  static bool wait_until(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, k_wait_ms);
  }
  // In a shown file dialog: types the file name and presses Enter.
  static void save_as(QWidget* dialog, const std::string& path) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(type_into(name, path));
    press_key(name, Qt::Key_Return);
  }

  fs::path dir_;
  std::string db_;
  std::string box_text_;
  std::unique_ptr<launcher_window> launcher_;
};

TEST_F(terminal_e2e, a_shop_day_at_the_terminal) {
  ASSERT_EQ(db("SELECT count(*) FROM t_member"), "20");
  const std::string records = db("SELECT count(*) FROM t_member_award_record");

  // Every window opens from the launcher and closes with Esc; nothing is written.
  std::vector<std::string> classes = launcher_window::list_windows();
  for (const char* c : {"w_choose_member", "w_member_info", "w_member_sale_sum"})
    classes.push_back(c);
  for (const std::string& cls : classes) {
    SCOPED_TRACE(cls);
    const QString name = QString::fromStdString(cls);
    auto closed = when_shown(name, [](QWidget* w) { press_key(w, Qt::Key_Escape); });
    click_launcher(cls);
    EXPECT_TRUE(wait_until([&] { return *closed && !shown_window(name); }));
  }
  EXPECT_EQ(db("SELECT count(*) FROM t_member_award_record"), records);

  // The member list: a note typed into member 3's row and saved with Ctrl+S.
  click_launcher("w_member_maintain");
  ASSERT_TRUE(wait_until([] { return shown_window("w_member_maintain") != nullptr; }));
  auto* list = static_cast<w_single_dw_list*>(shown_window("w_member_maintain"));
  const int64_t row3 = list->dw_1->find("memberid=3", 1, list->dw_1->rowcount());
  ASSERT_GT(row3, 0);
  ASSERT_TRUE(type_into_cell(*list->dw_1, row3, "notes", "e2e list note"));
  press_key(list, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(db("SELECT notes FROM t_member WHERE memberid = 3"), "e2e list note");

  // Export to CSV and to PDF through the real file dialogs, from the same list; Ctrl+E is typed
  // in the search box, whose own Ctrl+E (end of line, on X11) must not swallow it.
  const std::string csv = (dir_ / "members.csv").string(), pdf = (dir_ / "members.pdf").string();
  when_shown("QFileDialog", [&](QWidget* d) { save_as(d, csv); });
  auto* search = list->findChild<QLineEdit*>("sle_1");
  ASSERT_NE(search, nullptr);
  click(search);
  press_key(search, Qt::Key_E, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([&] { return fs::exists(csv); }));
  std::ifstream in(csv);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("e2e list note"), std::string::npos);
  when_shown("QFileDialog", [&](QWidget* d) { save_as(d, pdf); });
  click(list->toolbar->widgetForAction(list->toolbar->act_pdf));
  ASSERT_TRUE(wait_until([&] { return fs::exists(pdf) && fs::file_size(pdf) > 1000; }));
  std::ifstream pdf_in(pdf);
  std::string magic(4, '\0');
  pdf_in.read(magic.data(), 4);
  EXPECT_EQ(magic, "%PDF");
  // The status line tells what went where, on how many pages.
  const std::string outcome = list->status->outcome_text().toStdString();
  EXPECT_EQ(outcome.rfind("“会员维护”共 ", 0), 0u) << outcome;
  EXPECT_NE(outcome.find(" 页，已写入 PDF 文件 " + pdf), std::string::npos) << outcome;
  EXPECT_EQ(db("SELECT notes FROM t_member WHERE memberid = 3"), "e2e list note");
  press_key(list, Qt::Key_Escape);
  ASSERT_TRUE(wait_until([] { return !shown_window("w_member_maintain"); }));

  // The member form of member 2: a note typed into its field, saved with 确定.
  to_launcher();
  ASSERT_TRUE(type_into(launcher_->findChild<QLineEdit*>("sle_memberid"), "2"));
  auto saved = when_shown("w_member_info", [](QWidget* w) {
    auto* dw = w->findChild<u_wsk_dw*>("dw_1");
    ASSERT_NE(dw, nullptr);
    ASSERT_TRUE(type_into_field(*dw, "notes", "e2e form note"));
    click(w->findChild<QPushButton*>("cb_ok"));
  });
  click_launcher("w_member_info");
  ASSERT_TRUE(wait_until([&] { return *saved && !shown_window("w_member_info"); }));
  EXPECT_EQ(db("SELECT notes FROM t_member WHERE memberid = 2"), "e2e form note");

  // An award redeemed: a double-click on the member with the most points opens the awards
  // they reach, a double-click on the dearest asks, 是 redeems, and the member's points drop
  // by the award's points.
  click_launcher("w_member_award");
  ASSERT_TRUE(wait_until([] { return shown_window("w_member_award") != nullptr; }));
  auto* awards = static_cast<w_single_dw_list*>(shown_window("w_member_award"));
  u_wsk_dw& members = *awards->dw_1;
  auto points_of = [&](int64_t r) { return number_in(members.getitemnumber(r, "integral")).to_long(); };
  int64_t richest = 1;
  for (int64_t r = 2; r <= members.rowcount(); ++r)
    if (points_of(r) > points_of(richest)) richest = r;
  const int64_t member = members.of_get_id(richest);
  const std::string points_sql = "SELECT integral FROM t_member WHERE memberid = " +
                                 std::to_string(member);
  const long before = std::stol(db(points_sql));
  long award_points = -1;
  auto redeemed = when_shown("w_member_award_control", [&](QWidget* w) {
    auto* dw = w->findChild<u_wsk_dw*>("dw_1");
    ASSERT_NE(dw, nullptr);
    ASSERT_GT(dw->rowcount(), 0);
    int64_t dearest = 1;  // the award of the most points
    for (int64_t r = 2; r <= dw->rowcount(); ++r)
      if (number_in(dw->getitemnumber(r, "mdintegral")).to_long() >
          number_in(dw->getitemnumber(dearest, "mdintegral")).to_long())
        dearest = r;
    award_points = long(number_in(dw->getitemnumber(dearest, "mdintegral")).to_long());
    answer_box("是");
    answer_box("确定");
    double_click_row(*dw, dearest);
  });
  double_click_row(members, richest);
  ASSERT_TRUE(wait_until([&] { return *redeemed && !shown_window("w_member_award_control"); }));
  EXPECT_EQ(box_text_, "会员奖励领取操作成功！");
  ASSERT_GT(award_points, 0);
  EXPECT_EQ(std::stol(db(points_sql)), before - award_points);
  EXPECT_EQ(std::stol(db("SELECT count(*) FROM t_member_award_record")), std::stol(records) + 1);

  // The same member again, by keyboard only: Enter on the list's row opens the awards, which
  // name the member and the points; Down and Enter choose the second award, 是 redeems it.
  const long before_keys = std::stol(db(points_sql));
  std::string shown_member;
  long key_award = -1;
  auto by_keys = when_shown("w_member_award_control", [&](QWidget* w) {
    auto* dw = w->findChild<u_wsk_dw*>("dw_1");
    ASSERT_NE(dw, nullptr);
    shown_member = w->findChild<QLabel*>("st_member")->text().toStdString();
    shot(w, "award_control");
    press_key(w, Qt::Key_Down);
    key_award = long(dw->getitemnumber(dw->getrow(), "mdintegral")->to_long());
    answer_box("是");
    answer_box("确定");
    press_key(w, Qt::Key_Return);
  });
  ASSERT_TRUE(click_cell(members, members.find("memberid=" + std::to_string(member), 1,
                                               members.rowcount()), "membername"));
  press_key(awards, Qt::Key_Return);
  ASSERT_TRUE(wait_until([&] { return *by_keys && !shown_window("w_member_award_control"); }));
  EXPECT_NE(shown_member.find("当前积分：" + std::to_string(before_keys)), std::string::npos)
      << shown_member;
  EXPECT_EQ(std::stol(db(points_sql)), before_keys - key_award);

  // A number that no row holds: no box, the status line says so.
  auto* award_search = awards->findChild<QLineEdit*>("sle_1");
  ASSERT_TRUE(type_into(award_search, "no-such-card"));
  press_key(award_search, Qt::Key_Return);
  EXPECT_EQ(awards->status->outcome_text().toStdString(), "未找到会员号 no-such-card");
  shot(awards, "award_list");
  press_key(awards, Qt::Key_Escape);
  ASSERT_TRUE(wait_until([] { return !shown_window("w_member_award"); }));

  // 90,000 members: the list window is painted, exposed on the screen, before its first read
  // fills the grid, not black until then.
  db("WITH RECURSIVE n(i) AS (SELECT 100000 UNION ALL SELECT i + 1 FROM n WHERE i < 189999) "
     "INSERT INTO t_member (memberid, memberno, membername, siteid) "
     "SELECT i, CAST(i AS TEXT), '会员' || i, (SELECT siteid FROM t_member WHERE memberid = 1) "
     "FROM n");
  struct first_paint : QObject {
    int64_t rows = -1;
    bool exposed = false;
    bool eventFilter(QObject* o, QEvent* e) override {
      auto* w = qobject_cast<w_single_dw_list*>(o);
      if (w && e->type() == QEvent::Paint && rows < 0 && o->objectName() == "w_member_maintain") {
        rows = w->dw_1->rowcount();
        exposed = w->windowHandle() && w->windowHandle()->isExposed();
      }
      return false;
    }
  } painted;
  qApp->installEventFilter(&painted);
  click_launcher("w_member_maintain");
  ASSERT_TRUE(wait_until([] { return shown_window("w_member_maintain") != nullptr; }));
  qApp->removeEventFilter(&painted);
  auto* big = static_cast<w_single_dw_list*>(shown_window("w_member_maintain"));
  EXPECT_EQ(painted.rows, 0);
  EXPECT_TRUE(painted.exposed);
  EXPECT_GE(big->dw_1->rowcount(), 90000);
  shot(big, "maintain_90000");
  press_key(big, Qt::Key_Escape);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  install_ui();
  // The member module, loaded by path as the host loads it.
  std::string reason;
  if (!load_module(MEMBER_MODULE_FILE, reason) || !add_host_windows(reason)) {
    std::cerr << "cannot load the member module " MEMBER_MODULE_FILE ": " << reason << "\n";
    return 1;
  }
  return RUN_ALL_TESTS();
}
