// The SQLite file under a running terminal: deleted, renamed, replaced or cut short by another
// program. Nothing is reported as saved that went nowhere, and the terminal never dies of it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "framework/dataview/columns.h"
#include "framework/dataview/data_view.h"
#include "framework/db/sqlite_file.h"
#include "support/test_db.h"

namespace {

namespace fs = std::filesystem;

class db_sqlite_file_test : public db_test {};
INSTANTIATE_TEST_SUITE_P(only, db_sqlite_file_test, ::testing::Values(backend::sqlite),
                         [](const auto& info) { return backend_name(info.param); });

TEST_P(db_sqlite_file_test, a_file_moved_under_the_terminal_fails_the_save_and_keeps_the_edits) {
  using namespace dv_columns;
  dv_definition def;
  def.sql = "SELECT memberid, membername FROM t_member";
  def.update_table = "t_member";
  def.columns = {stored("memberid", integer).key(), stored("membername", text(60))};
  for (const char* how : {"deleted", "renamed", "replaced"}) {
    SCOPED_TRACE(how);
    TearDown();
    SetUp();
    const std::string file = sqlite_file_of(url()), away = file + ".moved";
    exec("INSERT INTO t_member (memberid, membername) VALUES (1, '张三')");
    data_view dv(def);
    dv.settransobject(&tr());
    ASSERT_EQ(dv.retrieve(), 1) << dv.last_error();
    ASSERT_EQ(dv.setitem(1, "membername", value("李四")), 1);
    ASSERT_EQ(tr().execute("DELETE FROM t_member"), 0);  // a unit begun before the move
    for (const char* ext : {"", "-wal", "-shm"}) fs::rename(file + ext, away + ext);
    if (std::string(how) == "replaced") fs::copy_file(away, file);
    if (std::string(how) == "deleted") fs::remove(away);

    EXPECT_EQ(tr().commit(), -1);
    EXPECT_NE(tr().sqlerrtext.find(file), std::string::npos) << tr().sqlerrtext;
    EXPECT_EQ(dv.update(), -1);
    EXPECT_NE(dv.last_error().find(file), std::string::npos) << dv.last_error();
    EXPECT_EQ(dv.getitem(1, "membername"), value("李四"));
    EXPECT_EQ(tr().execute("DELETE FROM t_member"), -1);
    EXPECT_FALSE(tr().in_transaction());
    for (const char* ext : {"", "-wal", "-shm"}) fs::remove(away + ext);
  }
}

// Cuts the file short when the first row arrives; the read goes on.
struct cutting_sink : row_sink {
  std::string file;
  bool on_row(const db_row&) override {
    return file.empty() || truncate(std::exchange(file, "").c_str(), 16384) == 0;
  }
};

TEST_P(db_sqlite_file_test, a_file_cut_short_while_read_fails_the_read_without_killing_the_terminal) {
  exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
       "INSERT INTO t_member (memberid, notes) SELECT i, printf('%090d', i) FROM n");
  ASSERT_EQ(tr().execute("PRAGMA wal_checkpoint(TRUNCATE)"), 0) << tr().sqlerrtext;
  // In a child, so that a SIGBUS fails the test instead of ending the test program; on a
  // connection of its own, whose cache holds none of the pages.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        auto reader = connect_another();
        cutting_sink cut;
        cut.file = sqlite_file_of(url());
        const int rc = reader->query("SELECT notes FROM t_member", {}, cut);
        std::fprintf(stderr, "%d %s", rc, reader->sqlerrtext.c_str());
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "-1 database disk image is malformed");
}

}  // namespace
