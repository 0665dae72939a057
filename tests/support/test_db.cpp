// Throwaway test databases on both backends.
#include "support/test_db.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "data/schema.h"

namespace {

std::atomic<int> counter{0};

std::string unique_suffix() {
  return std::to_string(getpid()) + "_" + std::to_string(counter++);
}

const char* env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : nullptr;
}

// Runs one statement on an admin connection; false with the reason.
bool run(db_connection& c, const std::string& sql, std::string& reason) {
  db_result r = c.exec(sql, {}, nullptr);
  if (r.code < 0) {
    reason = sql + ": " + r.error_text;
    return false;
  }
  if (c.in_transaction()) c.commit();
  return true;
}

}  // namespace

std::string backend_name(backend kind) { return kind == backend::postgres ? "postgres" : "sqlite"; }

test_database::~test_database() { close(); }

bool test_database::open(backend kind, std::string& reason) {
  close();
  kind_ = kind;
  if (kind == backend::sqlite) {
    file_ = (std::filesystem::temp_directory_path() / ("member_test_" + unique_suffix() + ".db")).string();
    // A process that died mid-test leaves its files; a later one with the same pid starts afresh.
    remove_files();
    url_ = admin_url_ = "sqlite:" + file_;
    return true;
  }
  const char* base = env("MEMBER_TEST_PG_URL");
  if (!base) {
    reason = "MEMBER_TEST_PG_URL is not set (run under scripts/with-postgres.sh)";
    return false;
  }
  const char* terminal = env("MEMBER_TEST_PG_TERMINAL_URL");
  if (!terminal) {
    reason = "MEMBER_TEST_PG_TERMINAL_URL is not set (run under scripts/with-postgres.sh)";
    return false;
  }
  std::string error;
  admin_ = db_connection::open(base, error);
  if (!admin_) {
    reason = error;
    return false;
  }
  schema_ = "test_" + unique_suffix();
  // Terminals may look into the schema; what they may do with its tables the schema's own set-up
  // grants.
  if (!run(*admin_, "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE", reason) ||
      !run(*admin_, "CREATE SCHEMA " + schema_, reason) ||
      !run(*admin_, "GRANT USAGE ON SCHEMA " + schema_ + " TO member_terminal", reason)) {
    admin_.reset();
    schema_.clear();
    return false;
  }
  // The schema comes first on the search path of every connection made with these URLs.
  auto in_schema = [&](std::string u) {
    return u + (u.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema_;
  };
  url_ = in_schema(terminal);
  admin_url_ = in_schema(base);
  return true;
}

void test_database::remove_files() {
  for (const char* ext : {"", "-wal", "-shm"}) {
    std::error_code ec;
    std::filesystem::remove(file_ + ext, ec);
  }
}

void test_database::close() {
  if (!file_.empty()) {
    remove_files();
    file_.clear();
  }
  if (admin_ && !schema_.empty()) {
    std::string reason;
    // A connection left inside a transaction would block the drop: give up after a while.
    run(*admin_, "SET lock_timeout = '10s'", reason);
    if (!run(*admin_, "DROP SCHEMA IF EXISTS " + schema_ + " CASCADE", reason))
      std::fprintf(stderr, "test database %s not dropped: %s\n", schema_.c_str(), reason.c_str());
  }
  admin_.reset();
  schema_.clear();
  url_.clear();
  admin_url_.clear();
}

// ---- db_test ---------------------------------------------------------------------------------

void db_test::SetUp() {
  std::string reason;
  if (!db_.open(GetParam(), reason)) {
    if (GetParam() == backend::postgres && !env("MEMBER_TEST_PG_URL")) GTEST_SKIP() << reason;
    FAIL() << reason;
  }
  ASSERT_EQ(tr_.connect(url()), 0) << tr_.sqlerrtext;
  if (kind() == backend::postgres) {
    ASSERT_EQ(admin_.connect(db_.admin_url()), 0) << admin_.sqlerrtext;
    // A terminal's open transaction must fail a set-up step, not hang it.
    ASSERT_EQ(admin_.execute("SET lock_timeout = '20s'"), 0) << admin_.sqlerrtext;
  }
  if (with_schema_) {
    ASSERT_EQ(create_schema(admin()), 0) << admin().sqlerrtext;
  }
  ASSERT_EQ(sqlca.connect(url()), 0) << sqlca.sqlerrtext;
}

void db_test::TearDown() {
  sqlca.disconnect();
  tr_.disconnect();
  admin_.disconnect();
  db_.close();
}

std::unique_ptr<uo_transaction> db_test::connect_another() {
  auto t = std::make_unique<uo_transaction>();
  EXPECT_EQ(t->connect(url()), 0) << t->sqlerrtext;
  return t;
}

void db_test::make_unreadable(const std::string& table) {
  exec(kind() == backend::postgres ? "REVOKE ALL ON " + table + " FROM member_terminal"
                                   : "ALTER TABLE " + table + " RENAME TO " + table + "_away");
}

void db_test::make_readable(const std::string& table) {
  exec(kind() == backend::postgres ? "GRANT SELECT ON " + table + " TO member_terminal"
                                   : "ALTER TABLE " + table + "_away RENAME TO " + table);
}

int db_test::exec(const std::string& sql, std::vector<value> params) {
  uo_transaction& a = admin();
  int rc = a.execute(sql, params);
  EXPECT_GE(rc, 0) << sql << "\n" << a.sqlerrtext;
  long code = a.sqlcode;
  if (rc >= 0) {
    EXPECT_EQ(a.commit(), 0) << a.sqlerrtext;
  } else {
    a.rollback();
  }
  return int(code);
}

value db_test::scalar(const std::string& sql, std::vector<value> params) {
  std::vector<value> into;
  uo_transaction& a = admin();
  int rc = a.select_into(sql, params, into);
  EXPECT_GE(rc, 0) << sql << "\n" << a.sqlerrtext;
  return rc == 0 && !into.empty() ? into[0] : value();
}

int64_t db_test::scalar_long(const std::string& sql, std::vector<value> params) {
  value v = scalar(sql, std::move(params));
  if (v.is_null()) return -999999;
  if (auto d = v.number()) return d->to_long();
  ADD_FAILURE() << sql << ": not a number: " << v.to_text();
  return -999999;
}

std::string db_test::scalar_text(const std::string& sql, std::vector<value> params) {
  return scalar(sql, std::move(params)).to_text();
}

int64_t db_test::row_count(const std::string& table) {
  return scalar_long("SELECT COUNT(*) FROM " + table);
}

void row_collector::on_columns(const db_row& shape) {
  columns.clear();
  for (int c = 0; c < shape.column_count(); ++c) columns.emplace_back(shape.column_name(c));
}

bool row_collector::on_row(const db_row& row) {
  std::vector<value> cells;
  for (int c = 0; c < row.column_count(); ++c) cells.push_back(row.get_value(c));
  rows.push_back(std::move(cells));
  return true;
}

// ---- restarting the server -------------------------------------------------------------------

bool restart_postgres(std::string& reason) {
  const char* bindir = env("MEMBER_PG_BINDIR");
  const char* datadir = env("MEMBER_PG_DATADIR");
  if (!bindir || !datadir) {
    reason = "MEMBER_PG_BINDIR / MEMBER_PG_DATADIR are not set (run under scripts/with-postgres.sh)";
    return false;
  }
  std::string log = std::filesystem::path(datadir).parent_path().string() + "/server.log";
  std::string cmd = std::string(bindir) + "/pg_ctl -D '" + datadir + "' -l '" + log +
                    "' -m fast -w restart >/dev/null 2>&1";
  if (geteuid() == 0) cmd = "runuser -u postgres -- " + cmd;
  int rc = std::system(cmd.c_str());
  if (rc != 0) {
    reason = "pg_ctl restart failed (" + std::to_string(rc) + ")";
    return false;
  }
  return true;
}
