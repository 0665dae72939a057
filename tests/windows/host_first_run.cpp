// First start of the demo terminal: an empty database gets the schema and demo data once; a
// database of someone else is left alone; the shop's ini file is written once.

#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "data/schema.h"
#include "framework/db/sqlite_file.h"
#include "framework/runtime/runtime.h"
#include "host/first_run.h"
#include "support/old_layouts.h"
#include "support/test_db.h"

namespace {

class host_first_run : public db_test {
 public:
  host_first_run() { with_schema_ = false; }
};

TEST_P(host_first_run, fills_an_empty_database_once) {
  std::string error;
  ASSERT_EQ(count_tables(admin()), 0);
  if (kind() == backend::postgres) {
    // A terminal creates nothing on a shared server, whatever its role may do, and says who can.
    for (uo_transaction* t : {&tr(), &admin()}) {
      EXPECT_EQ(prepare_demo_database(*t, 30, error), -1);
      EXPECT_NE(error.find("--create-schema"), std::string::npos) << error;
    }
    EXPECT_EQ(count_tables(admin()), 0);
    return;
  }
  ASSERT_EQ(prepare_demo_database(admin(), 30, error), 1) << error;
  EXPECT_EQ(row_count("t_member"), 30);
  EXPECT_GT(row_count("t_member_level"), 0);
  EXPECT_GT(row_count("t_bill_header"), 0);
  EXPECT_GT(row_count("t_sys_param"), 0);

  // The next start finds the tables and adds nothing.
  ASSERT_EQ(prepare_demo_database(tr(), 50, error), 0) << error;
  EXPECT_EQ(row_count("t_member"), 30);
}

TEST_P(host_first_run, leaves_a_foreign_database_alone) {
  exec("CREATE TABLE t_other (id INTEGER)");
  std::string error;
  EXPECT_EQ(prepare_demo_database(admin(), 30, error), -1);
  EXPECT_NE(error.find("t_member"), std::string::npos) << error;
  EXPECT_EQ(count_tables(admin()), 1);
}

// The administrator's step (--create-schema): schema and rights, demo data only into an empty
// register; terminals then start on it.
TEST_P(host_first_run, administrator_creates_the_schema_for_the_terminals) {
  std::string done, error;
  ASSERT_EQ(create_shop_schema(admin(), 20, done, error), 0) << error;
  EXPECT_NE(done.find("20 demo members"), std::string::npos) << done;
  if (kind() == backend::postgres) EXPECT_NE(done.find("member_terminal"), std::string::npos) << done;
  EXPECT_EQ(prepare_demo_database(tr(), 30, error), 0) << error;
  EXPECT_EQ(row_count("t_member"), 20);
  ASSERT_EQ(create_shop_schema(admin(), 30, done, error), 0) << error;
  EXPECT_NE(done.find("no demo data"), std::string::npos) << done;
  EXPECT_EQ(row_count("t_member"), 20);
}

INSTANTIATE_BOTH_BACKENDS(host_first_run);

TEST(host_site_ini, written_with_site_1_and_never_overwritten) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string base = dir.path().toStdString();
  std::string error;
  ASSERT_TRUE(ensure_site_ini(base, error)) << error;
  EXPECT_EQ(profileint(base + "\\util\\syncclient.ini", "Site", "ID", 0), 1);

  std::ofstream(site_ini_path(base)) << "[Site]\nID=7\n";
  ASSERT_TRUE(ensure_site_ini(base, error)) << error;
  EXPECT_EQ(profileint(site_ini_path(base), "Site", "ID", 0), 7);
}

TEST(host_site_ini, unwritable_place_is_reported) {
  QTemporaryDir dir;
  const std::string blocker = dir.path().toStdString() + "/file";
  std::ofstream(blocker) << "x";
  std::string error;
  EXPECT_FALSE(ensure_site_ini(blocker, error));  // "util" cannot go below a plain file
  EXPECT_NE(error.find("util"), std::string::npos) << error;
}

}  // namespace

namespace {

// A terminal upgrades only its own file; a shop server's older layout is the administrator's
// step, named; a newer layout is refused by both, nothing written.
TEST_P(host_first_run, a_terminal_start_meets_older_and_newer_layouts) {
  std::string error, note, done;
  ASSERT_TRUE(load_old_layout(admin(), release_1_0_0, error)) << error;
  ASSERT_TRUE(fill_old_rows(admin(), error)) << error;
  const std::string rows = dump_old_rows(admin());
  const std::string ours = std::to_string(member_schema().version);
  if (kind() == backend::postgres) {
    EXPECT_EQ(bring_schema_up_to_date(tr(), note, error), -1);
    EXPECT_NE(error.find("holds version 2 of the member module's tables; this program's is " + ours +
                         ". An administrator upgrades it first, with\n  member-terminal --create-schema"),
              std::string::npos)
        << error;
    ASSERT_EQ(create_shop_schema(admin(), 20, done, error), 0) << error;
    EXPECT_NE(done.find("(upgraded from version 2 to " + ours + "); no demo data written"),
              std::string::npos)
        << done;
  }
  ASSERT_EQ(bring_schema_up_to_date(tr(), note, error), 0) << error;
  EXPECT_EQ(note.empty(), kind() == backend::postgres) << note;
  if (kind() == backend::sqlite) std::filesystem::remove(sqlite_file_of(url()) + ".v2.bak");
  EXPECT_EQ(dump_old_rows(admin()), rows);
  ASSERT_EQ(bring_schema_up_to_date(tr(), note, error), 0) << error;
  EXPECT_EQ(note, "");

  const std::string newer = std::to_string(member_schema().version + 1);
  exec("UPDATE t_schema_version SET version = " + newer);
  EXPECT_EQ(bring_schema_up_to_date(tr(), note, error), -1);
  EXPECT_NE(error.find("holds version " + newer + " of the member module's tables; this program's is " +
                       ours + ". It was made by a newer release"),
            std::string::npos)
      << error;
  EXPECT_EQ(scalar_text("SELECT CAST(version AS VARCHAR(20)) FROM t_schema_version"), newer);
}

// Two terminals starting at once on one old file: the second waits for the first's upgrade, then
// neither copies the file nor reports an upgrade it did not make.
TEST_P(host_first_run, a_second_terminal_starting_at_once_finds_the_upgrade_done) {
  if (kind() != backend::sqlite) GTEST_SKIP() << "a terminal upgrades only its own SQLite file";
  std::string error, note = "unset", second_error;
  ASSERT_TRUE(load_old_layout(admin(), release_1_0_0, error)) << error;
  // The first terminal is upgrading: it holds the write lock until its upgrade commits.
  ASSERT_EQ(admin().begin(), 0);
  auto second = connect_another();
  int rc = -2;
  std::thread start([&] { rc = bring_schema_up_to_date(*second, note, second_error); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  start.join();
  EXPECT_EQ(rc, 0) << second_error;
  EXPECT_EQ(note, "");
  EXPECT_FALSE(std::filesystem::exists(sqlite_file_of(url()) + ".v2.bak"));
}

}  // namespace
