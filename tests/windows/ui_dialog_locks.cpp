// The export, PDF and print dialogs of every list window, opened by the user's key or click in
// the folder of the terminal's SQLite database, leave the process's locks on the database as they
// were: another program that opens and closes the database meanwhile cannot take the write-ahead
// log from under the terminal, and a save made afterwards reaches the database file.

#include <gtest/gtest.h>

#include <QFileSystemModel>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/db/transaction.h"
#include "framework/ui/w_single_dw_list.h"
#include "framework/ui/window_registry.h"
#include "host/first_run.h"
#include "support/sqlite3_tool.h"
#include "support/window_helpers.h"

namespace {

namespace fs = std::filesystem;

class dialog_locks : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("dialog_locks_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    db_ = (dir_ / "member-demo.db").string();
    // The dialogs show the folder of the database: the file dialogs start in the current
    // directory, the print dialog's file name completer lists the home folder.
    old_cwd_ = fs::current_path();
    fs::current_path(dir_);
    if (const char* h = std::getenv("HOME")) old_home_ = h;
    setenv("HOME", dir_.c_str(), 1);
    runtime::set_current_directory(dir_.string());
    ASSERT_EQ(sqlca.connect("sqlite:" + db_), 0) << sqlca.sqlerrtext;
    std::string error;
    ASSERT_EQ(prepare_demo_database(sqlca, 20, error), 1) << error;
    ASSERT_TRUE(ensure_site_ini(dir_.string(), error)) << error;
  }
  void TearDown() override {
    sqlca.disconnect();
    runtime::set_current_directory(std::nullopt);
    if (old_home_) setenv("HOME", old_home_->c_str(), 1);
    if (!old_cwd_.empty()) fs::current_path(old_cwd_);
    fs::remove_all(dir_);
  }

  // This process's locks on the database file and its shared-memory index, one line per lock
  // (file, kind, mode, range), sorted.
  std::vector<std::string> locks() const {
    std::vector<std::string> out;
    for (const std::string suffix : {"", "-shm"}) {
      struct stat st {};
      if (::stat((db_ + suffix).c_str(), &st) != 0) continue;
      const std::string inode = ":" + std::to_string(st.st_ino);
      std::ifstream in("/proc/locks");
      for (std::string line; std::getline(in, line);) {
        std::istringstream f(line);
        std::string n, kind, advisory, mode, pid, dev, start, end;
        f >> n >> kind >> advisory >> mode >> pid >> dev >> start >> end;
        if (pid != std::to_string(::getpid()) || !dev.ends_with(inode)) continue;
        out.push_back(suffix + " " + kind + " " + mode + " " + start + "-" + end);
      }
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  // Gives the input, then waits for the modal dialog it opens to list the database's folder
  // and cancels it from a timer. The folder's entries (the util folder, which every list shows,
  // and the database files, which a name filter may hide) arrive in one batch, so a shown row
  // means the dialog's file model has seen the database files. Answers the dialog's class name,
  // or "" when no dialog listed the folder within 10 s.
  std::string cancel_dialog_once_listed(const std::function<void()>& input) {
    std::string seen;
    bool done = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      QWidget* m = QApplication::activeModalWidget();
      bool listed = false;
      if (m) {
        for (QFileSystemModel* fm : m->findChildren<QFileSystemModel*>()) {
          listed = listed || fm->rowCount(fm->index(QString::fromStdString(dir_.string()))) > 0;
          if (listed) folder_type_ = fm->type(fm->index(QString::fromStdString((dir_ / "util").string())));
        }
      }
      if (!listed && ++ticks < 500) return;
      timer.stop();
      done = true;
      if (!m) return;
      if (listed) seen = m->metaObject()->className();
      m->close();
    });
    timer.start(20);
    input();
    while (!done) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return seen;
  }

  // Opens a list window by class name as the host does, shown and active.
  static std::unique_ptr<w_single_dw_list> open_list(const std::string& class_name) {
    std::unique_ptr<w_single_dw_list> w(dynamic_cast<w_single_dw_list*>(create_window(class_name)));
    if (!w) return nullptr;
    w->run_open_sequence();
    show_active(w.get());
    return w;
  }

  fs::path dir_;
  std::string db_;
  QString folder_type_;  // the type the last listed file dialog shows for the util folder

 private:
  fs::path old_cwd_;
  std::optional<std::string> old_home_;
};

TEST_F(dialog_locks, list_window_dialogs_keep_the_database_locks_and_later_saves_arrive) {
  const std::vector<std::string> before = locks();
  ASSERT_FALSE(before.empty()) << "no locks on the database to watch";
  for (const char* cls : {"w_member_maintain", "w_member_view", "w_member_price_query",
                          "w_member_award", "w_member_award_record"}) {
    auto w = open_list(cls);
    ASSERT_TRUE(w) << cls;
    QWidget* pdf_button = w->toolbar->widgetForAction(w->toolbar->act_pdf);
    auto ctrl = [&](Qt::Key k) { return [&w, k] { press_key(w.get(), k, Qt::ControlModifier); }; };
    const struct {
      const char* name;
      std::function<void()> give;
      std::string dialog;
    } inputs[] = {
        {"Ctrl+E", ctrl(Qt::Key_E), "QFileDialog"},
        {"PDF", [&] { click(pdf_button); }, "QFileDialog"},
        {"Ctrl+P", ctrl(Qt::Key_P), "QPrintDialog"},
    };
    for (const auto& in : inputs) {
      show_active(w.get());  // back in the window, as the window system does when a dialog closes
      EXPECT_EQ(cancel_dialog_once_listed(in.give), in.dialog) << cls << ", " << in.name;
      EXPECT_EQ(locks(), before) << cls << ", " << in.name;
      if (in.dialog == "QFileDialog") EXPECT_EQ(folder_type_.toStdString(), "文件夹") << cls;
    }
  }

  // Another program opens and closes the database; then the terminal saves an edit.
  EXPECT_EQ(sqlite3_tool(db_, "SELECT count(*) FROM t_member"), "20");
  auto w = open_list("w_member_maintain");
  ASSERT_TRUE(w);
  const int64_t id = w->dw_1->of_get_id(1);
  ASSERT_TRUE(type_into_cell(*w->dw_1, 1, "notes", "锁后保存"));
  press_key(w.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(w->dw_1->modifiedcount(), 0);
  EXPECT_EQ(sqlite3_tool(db_, "SELECT notes FROM t_member WHERE memberid = " +
                                  std::to_string(id)),
            "锁后保存");
}

}  // namespace
