#pragma once
// A connection to the shop database, opened from one URL: "sqlite:PATH" (embedded) or a
// PostgreSQL connection URI ("postgresql://..." or "postgres://..."). Backends implement it over
// the sqlite3 C API and libpq. SQL is written with named host variables ":name"; each distinct
// name is one parameter, numbered by first appearance (the same name used twice binds once).

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/value/value.h"

enum class backend { sqlite, postgres };

// How a connection reaches its database, weakest last: what a terminal shows so that staff and
// the administrator see whether the server's identity was checked.
enum class link_security {
  file,            // an embedded database file
  local_socket,    // a server on this machine through a Unix socket
  tls_verified,    // TLS, certificate of the shop's CA made out to the host name (verify-full)
  tls_ca_only,     // TLS, certificate of the shop's CA, host name not checked (verify-ca)
  tls_unverified,  // TLS, any certificate accepted
  plain            // over the network without encryption
};

// The digits a numeric column is declared with: NUMERIC(14,2) (or REAL(14,2) in SQLite) holds 14
// digits, 2 of them after the point. precision 0: the database does not say.
struct declared_digits {
  int precision = 0;
  int scale = 0;
};

// One row of a result, read in place: no allocation per cell. Valid only inside row_sink::on_row.
class db_row {
 public:
  virtual ~db_row() = default;
  virtual int column_count() const = 0;
  virtual std::string_view column_name(int col) const = 0;  // lower case
  virtual bool is_null(int col) const = 0;
  // A whole number within the 64-bit range, also from a numeric, a floating-point or a text
  // cell (150.00, "150"); nullopt for null and for anything else (150.7, "abc", 1e300).
  virtual std::optional<int64_t> get_long(int col) const = 0;
  virtual std::string_view get_text(int col) const = 0;    // any column as its text
  virtual std::optional<decimal> get_decimal(int col, int scale) const = 0;
  virtual std::optional<datetime> get_datetime(int col) const = 0;
  // The cell as a value of the type the database gives it (integers long, numerics decimal,
  // timestamps datetime, else text); a select into reads its host variables this way.
  virtual value get_value(int col) const = 0;
  // The declaration of a result column that comes straight from a table's numeric column.
  virtual declared_digits column_digits(int col) const = 0;
};

// Receives the rows of a query. on_columns runs once before the first row (also for no rows).
class row_sink {
 public:
  virtual ~row_sink() = default;
  virtual void on_columns(const db_row& shape) { (void)shape; }
  // Return false to stop reading (cancel).
  virtual bool on_row(const db_row& row) = 0;
};

// Outcome of one statement, SQLCA style.
struct db_result {
  int code = 0;               // 0 success, 100 not found / no row affected, -1 error
  int64_t rows_affected = 0;  // rows changed by insert/update/delete, rows read by a query
  int db_code = 0;            // the database's own error number where it has one
  std::string error_text;     // the database's own message (and what failed)
  bool in_doubt = false;      // a commit whose outcome is not known (see uo_transaction)
  bool unconfirmed = false;   // in doubt, though stored on the server: only its durability is not known
  bool held_elsewhere = false;  // gave up waiting for what another session holds (lock_waits.h)
  // A unique constraint or key already holds the value (SQLite: SQLITE_CONSTRAINT_UNIQUE or
  // _PRIMARYKEY, with the columns it names; PostgreSQL: SQLSTATE 23505, with the constraint).
  bool duplicate = false;
  std::vector<std::string> duplicate_columns;
  std::string duplicate_constraint;
};

class db_connection {
 public:
  virtual ~db_connection() = default;
  // Opens the URL; on failure returns null and sets error to a clear reason naming the URL.
  static std::unique_ptr<db_connection> open(const std::string& url, std::string& error);

  virtual backend kind() const = 0;
  // Runs one statement. Rows of a query go to sink when given. A statement that writes begins a
  // transaction when none is open; reads outside a transaction see the latest committed data.
  // A statement that finds a broken connection outside a transaction reconnects once and runs
  // again; inside one it fails and the transaction is gone (commit then fails too).
  virtual db_result exec(std::string_view sql, std::span<const value> params,
                         row_sink* sink = nullptr) = 0;
  virtual db_result begin() = 0;
  virtual db_result commit() = 0;
  virtual db_result rollback() = 0;
  virtual bool in_transaction() const = 0;
  virtual std::string url() const = 0;
  virtual link_security security() const { return link_security::file; }
  // Outside a transaction: whether everything the server has committed so far survives its
  // takeover by a synchronous standby (at once where there is none). Failing: in doubt.
  virtual db_result confirm_durable() { return {}; }
  // Embedded databases: a consistent copy of the whole database written to path with the
  // database's own online backup, complete or not there at all. Others: an error.
  virtual db_result backup_to(const std::string& path);
  // How long a commit may wait for the database and its synchronous standbys.
  virtual void set_commit_wait_limit(std::chrono::milliseconds limit) { (void)limit; }
};

// The URL as it may be shown anywhere (titles, messages, error texts, logs): every password in
// it ("user:secret@", "password=secret", "sslpassword=secret") replaced by "***".
std::string display_url(const std::string& url);

// SQL text with its host variables turned into the backend's placeholders. Each placeholder is
// bound from one host variable; ":name || 'literal'" is folded into one placeholder bound to the
// concatenation (null stays null), so that "memberno like :text||'%'" binds a plain pattern that
// the prefix LIKE optimisation of both databases can serve from an index.
struct sql_placeholder {
  int name = 0;        // index into rewritten_sql::names
  bool folded = false; // bound to the value's text followed by suffix
  std::string suffix;
};
struct rewritten_sql {
  std::string text;
  std::vector<std::string> names;             // distinct host variables, by first appearance
  std::vector<sql_placeholder> placeholders;  // placeholder N (from 1) is placeholders[N - 1]
};
rewritten_sql rewrite_sql(std::string_view sql, backend kind);

// A table or column name ("schema.table" part by part) quoted for the backend, so that a name
// that is a keyword of either database is still taken as a name. PostgreSQL folds unquoted names
// to lower case when it creates a table, so its quoted name is the folded one; SQLite matches
// quoted names without regard to case.
std::string quote_identifier(std::string_view name, backend kind);

// Rewrites ":name" host variables into the backend's placeholders ("?N" or "$N"), skipping string
// literals, quoted identifiers, comments and "::" casts. names receives the distinct names in
// order of first appearance (names match without regard to case).
std::string rewrite_placeholders(std::string_view sql, backend kind, std::vector<std::string>* names);
