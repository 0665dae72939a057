#pragma once
// Test databases on both backends: a fresh, empty database with the schema for every test.
// SQLite lives in a temporary file; PostgreSQL in a schema of its own in the cluster named by
// MEMBER_TEST_PG_URL (an administrator; the case is skipped when that is unset), dropped
// afterwards. On PostgreSQL the code under test connects as a terminal would, through
// MEMBER_TEST_PG_TERMINAL_URL: a login role that is a member of member_terminal.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/db/transaction.h"

std::string backend_name(backend kind);  // "sqlite", "postgres"

// One throwaway database. open() answers false with the reason when it cannot be had (for
// PostgreSQL without MEMBER_TEST_PG_URL: a reason to skip).
class test_database {
 public:
  test_database() = default;
  test_database(const test_database&) = delete;
  test_database& operator=(const test_database&) = delete;
  ~test_database();

  bool open(backend kind, std::string& reason);
  void close();  // drops the database; connections to it should be closed first
  const std::string& url() const { return url_; }              // a terminal's
  const std::string& admin_url() const { return admin_url_; }  // SQLite: the same
  backend kind() const { return kind_; }

 private:
  void remove_files();  // the SQLite file and its -wal and -shm
  backend kind_ = backend::sqlite;
  std::string url_, admin_url_, file_, schema_;
  std::unique_ptr<db_connection> admin_;  // PostgreSQL: creates and drops the schema
};

// Fixture of the database tests; instantiate with INSTANTIATE_BOTH_BACKENDS(suite).
// tr() is connected to the fresh database as a terminal, and so is the global sqlca (a second
// connection). admin() sets up and checks what a terminal may not write or read (PostgreSQL: a
// third connection, as the administrator; SQLite: tr() itself).
class db_test : public ::testing::TestWithParam<backend> {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Set to false in a derived fixture's constructor for a database without the schema.
  bool with_schema_ = true;

  backend kind() const { return GetParam(); }
  const std::string& url() const { return db_.url(); }
  const std::string& admin_url() const { return db_.admin_url(); }
  uo_transaction& tr() { return tr_; }
  uo_transaction& admin() { return kind() == backend::postgres ? admin_ : tr_; }
  // Another terminal: a new connection to the same database.
  std::unique_ptr<uo_transaction> connect_another();

  // Runs one statement on admin() and commits it; a failure fails the test. Answers sqlcode.
  int exec(const std::string& sql, std::vector<value> params = {});
  // First column of the single row of a query on admin() (null when no row; failure fails the
  // test).
  value scalar(const std::string& sql, std::vector<value> params = {});
  int64_t scalar_long(const std::string& sql, std::vector<value> params = {});  // null: -999999
  std::string scalar_text(const std::string& sql, std::vector<value> params = {});
  int64_t row_count(const std::string& table);
  // Takes a table out of the terminal's reach (PostgreSQL: its rights on it are revoked; SQLite:
  // the table is renamed away), and gives the terminal back reading it.
  void make_unreadable(const std::string& table);
  void make_readable(const std::string& table);

 private:
  test_database db_;
  uo_transaction tr_, admin_;
};

#define INSTANTIATE_BOTH_BACKENDS(suite)                                                   \
  INSTANTIATE_TEST_SUITE_P(both, suite, ::testing::Values(backend::sqlite, backend::postgres), \
                           [](const ::testing::TestParamInfo<backend>& info) {             \
                             return backend_name(info.param);                              \
                           })

// Keeps every row of a query (cells as db_row::get_value gives them), for checks.
class row_collector : public row_sink {
 public:
  void on_columns(const db_row& shape) override;
  bool on_row(const db_row& row) override;
  std::vector<std::string> columns;
  std::vector<std::vector<value>> rows;
};

// Restarts the test PostgreSQL server (pg_ctl restart with MEMBER_PG_BINDIR and
// MEMBER_PG_DATADIR, set by scripts/with-postgres.sh). False with the reason when it cannot.
bool restart_postgres(std::string& reason);
