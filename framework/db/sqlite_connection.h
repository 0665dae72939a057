#pragma once
// The embedded database over the sqlite3 C API: WAL journal, a busy timeout (lock_waits.h),
// case-sensitive LIKE (as in PostgreSQL, and so that a prefix LIKE can use a plain index).
// Prepared statements are kept per SQL text and reused. A unit that would write into a file
// deleted or replaced under the terminal fails instead.

#include <memory>
#include <string>
#include <unordered_map>

#include "connection.h"

struct sqlite3;
struct sqlite3_stmt;

class sqlite_connection : public db_connection {
 public:
  // url is "sqlite:PATH"; the file is created when missing.
  static std::unique_ptr<db_connection> open(const std::string& url, std::string& error);
  ~sqlite_connection() override;

  backend kind() const override { return backend::sqlite; }
  db_result exec(std::string_view sql, std::span<const value> params, row_sink* sink) override;
  db_result begin() override;
  db_result commit() override;
  db_result rollback() override;
  bool in_transaction() const override;
  std::string url() const override { return url_; }
  db_result backup_to(const std::string& path) override;

 private:
  struct statement;
  sqlite_connection(sqlite3* db, std::string url);
  statement* prepare(std::string_view sql, db_result& r, std::unique_ptr<statement>& uncached);
  db_result simple(const char* sql);  // a control statement without parameters
  db_result failure(const std::string& what) const;
  db_result file_moved() const;  // the file is no longer at its path

  sqlite3* db_;
  std::string url_;
  std::unordered_map<std::string, std::unique_ptr<statement>> cache_;
};
