// SQLite backend.
#include "sqlite_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "backend_support.h"
#include "lock_waits.h"
#include "sqlite_file.h"

namespace {

constexpr size_t max_cached_statements = 128;

enum class decl_kind { other, integer, decimal, datetime, text };

// What a column's declared type says it holds: "REAL(14,2)" is a decimal of 14 digits with 2
// places.
decl_kind kind_of_decl(const char* decl, int& scale, declared_digits& digits) {
  scale = -1;
  digits = {};
  if (!decl) return decl_kind::other;
  std::string d;
  for (const char* p = decl; *p; ++p) d += char(std::toupper(static_cast<unsigned char>(*p)));
  if (d.find("INT") != std::string::npos) return decl_kind::integer;
  if (d.find("DATE") != std::string::npos || d.find("TIME") != std::string::npos)
    return decl_kind::datetime;
  if (d.find("CHAR") != std::string::npos || d.find("TEXT") != std::string::npos ||
      d.find("CLOB") != std::string::npos)
    return decl_kind::text;
  if (d.find("REAL") != std::string::npos || d.find("NUM") != std::string::npos ||
      d.find("DEC") != std::string::npos || d.find("DOUB") != std::string::npos ||
      d.find("FLOA") != std::string::npos) {
    size_t comma = d.find(',');
    if (comma != std::string::npos) scale = std::atoi(d.c_str() + comma + 1);
    size_t open = d.find('(');
    if (open != std::string::npos) digits = {std::atoi(d.c_str() + open + 1), scale < 0 ? 0 : scale};
    return decl_kind::decimal;
  }
  return decl_kind::other;
}

// A REAL read as a decimal. SQLite's own text of a double has 15 significant digits; when the
// double times 10^scale lies within rounding error of a whole number, that number is what the
// text would give, so the text is only made for the rare other values.
std::optional<decimal> real_as_decimal(sqlite3_stmt* st, int col, int scale) {
  if (scale >= 0 && scale <= 15) {
    static const double p10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    double m = sqlite3_column_double(st, col) * p10[scale];
    double r = std::nearbyint(m);
    if (std::fabs(r) < 1e15 && std::fabs(m - r) <= std::fabs(m) * 4e-16)
      return decimal{static_cast<__int128>(static_cast<int64_t>(r)), scale};
  }
  const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
  return t ? parse_number_text(t, scale) : std::nullopt;
}

class sqlite_row : public db_row {
 public:
  explicit sqlite_row(sqlite3_stmt* st) : st_(st) {
    int n = sqlite3_column_count(st);
    names_.resize(size_t(n));
    kinds_.resize(size_t(n));
    scales_.resize(size_t(n));
    digits_.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
      const char* name = sqlite3_column_name(st, i);
      for (const char* p = name ? name : ""; *p; ++p)
        names_[size_t(i)] += char(std::tolower(static_cast<unsigned char>(*p)));
      kinds_[size_t(i)] =
          kind_of_decl(sqlite3_column_decltype(st, i), scales_[size_t(i)], digits_[size_t(i)]);
    }
  }

  int column_count() const override { return int(names_.size()); }
  std::string_view column_name(int col) const override { return names_[size_t(col)]; }
  bool is_null(int col) const override { return sqlite3_column_type(st_, col) == SQLITE_NULL; }
  std::optional<int64_t> get_long(int col) const override {
    switch (sqlite3_column_type(st_, col)) {
      case SQLITE_NULL: return std::nullopt;
      case SQLITE_INTEGER: return sqlite3_column_int64(st_, col);
      case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(st_, col);
        if (v != std::trunc(v) || v < -0x1p63 || v >= 0x1p63) return std::nullopt;
        return int64_t(v);
      }
      default: return parse_whole_number(get_text(col));
    }
  }
  std::string_view get_text(int col) const override {
    const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
    if (!t) return {};
    return std::string_view(t, size_t(sqlite3_column_bytes(st_, col)));
  }
  std::optional<decimal> get_decimal(int col, int scale) const override {
    switch (sqlite3_column_type(st_, col)) {
      case SQLITE_NULL: return std::nullopt;
      case SQLITE_INTEGER: {
        decimal d = decimal::from_long(sqlite3_column_int64(st_, col));
        return scale > 0 ? d.rescale(scale) : d;  // a long fits at any scale
      }
      case SQLITE_FLOAT: return real_as_decimal(st_, col, scale);
      default: return parse_number_text(get_text(col), scale);
    }
  }
  std::optional<datetime> get_datetime(int col) const override {
    if (sqlite3_column_type(st_, col) == SQLITE_NULL) return std::nullopt;
    return datetime::parse(get_text(col));
  }
  value get_value(int col) const override {
    int type = sqlite3_column_type(st_, col);
    if (type == SQLITE_NULL) return value();
    switch (kinds_[size_t(col)]) {
      case decl_kind::decimal:
        if (auto d = get_decimal(col, scales_[size_t(col)])) return value(*d);
        break;
      case decl_kind::datetime:
        if (auto t = get_datetime(col)) return value(*t);
        break;
      default: break;
    }
    switch (type) {
      case SQLITE_INTEGER: return value(int64_t(sqlite3_column_int64(st_, col)));
      case SQLITE_FLOAT:
        if (auto d = real_as_decimal(st_, col, -1)) return value(*d);
        break;
      default: break;
    }
    return value(std::string(get_text(col)));
  }
  declared_digits column_digits(int col) const override { return digits_[size_t(col)]; }

 private:
  sqlite3_stmt* st_;
  std::vector<std::string> names_;
  std::vector<decl_kind> kinds_;
  std::vector<int> scales_;
  std::vector<declared_digits> digits_;
};

}  // namespace

struct sqlite_connection::statement {
  sqlite3_stmt* stmt = nullptr;
  rewritten_sql rw;
  statement_kind kind = statement_kind::read;
  bool busy = false;  // running now (a sink that runs the same text again gets its own)
  ~statement() { sqlite3_finalize(stmt); }
};

std::unique_ptr<db_connection> sqlite_connection::open(const std::string& url, std::string& error) {
  const std::string path = sqlite_file_of(url);
  if (path.empty()) {
    error = "cannot open database '" + url + "': no file named (use sqlite:PATH)";
    return nullptr;
  }
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  auto fail = [&](const std::string& why) {
    error = "cannot open database '" + url + "': " + why;
    sqlite3_close_v2(db);
    return nullptr;
  };
  if (rc != SQLITE_OK) return fail(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, int(current_lock_wait_limits().lock.count()));
  char* msg = nullptr;
  // WAL lets readers go on while another terminal writes; the LIKE pragma makes LIKE
  // case-sensitive, as in PostgreSQL, which lets a prefix LIKE use the (binary) index. A page
  // cache of up to 64 MB (taken as pages are read) keeps the pages that key lookups into a large
  // member table revisit; SQLite's default 2 MB makes each lookup read them from the file again.
  // The file is never memory-mapped: a file cut short while mapped (a restore, a disk tool) kills
  // the process with SIGBUS when a read touches the lost pages; read through the cache, the same
  // read fails with "database disk image is malformed".
  rc = sqlite3_exec(db,
                    "PRAGMA journal_mode=WAL; PRAGMA case_sensitive_like=ON; PRAGMA cache_size=-65536; "
                    "PRAGMA mmap_size=0;",
                    nullptr, nullptr, &msg);
  if (rc != SQLITE_OK) {
    std::string why = msg ? msg : sqlite3_errstr(rc);
    sqlite3_free(msg);
    return fail(why);
  }
  return std::unique_ptr<db_connection>(new sqlite_connection(db, url));
}

sqlite_connection::sqlite_connection(sqlite3* db, std::string url) : db_(db), url_(std::move(url)) {}

sqlite_connection::~sqlite_connection() {
  cache_.clear();
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db_);
}

db_result sqlite_connection::failure(const std::string& what) const {
  db_result r;
  r.code = -1;
  r.db_code = sqlite3_extended_errcode(db_);
  r.error_text = what.empty() ? std::string(sqlite3_errmsg(db_)) : what;
  // "database is locked": another connection kept its write transaction past the busy timeout.
  if (what.empty() && (r.db_code & 0xff) == SQLITE_BUSY) mark_held_elsewhere(r);
  if (r.db_code == SQLITE_CONSTRAINT_UNIQUE || r.db_code == SQLITE_CONSTRAINT_PRIMARYKEY) {
    // SQLite names the columns only in its message: "…: t_member.memberid, t_member.x".
    r.duplicate = true;
    const std::string msg = sqlite3_errmsg(db_);
    for (size_t at = msg.find(": "); at != std::string::npos;) {
      const size_t end = msg.find(", ", at + 2);
      const std::string item = msg.substr(at + 2, end == std::string::npos ? end : end - at - 2);
      if (const size_t dot = item.rfind('.'); dot != std::string::npos)
        r.duplicate_columns.push_back(item.substr(dot + 1));
      at = end;
    }
  }
  return r;
}

sqlite_connection::statement* sqlite_connection::prepare(std::string_view sql, db_result& r,
                                                         std::unique_ptr<statement>& uncached) {
  auto it = cache_.find(std::string(sql));
  if (it != cache_.end() && !it->second->busy) return it->second.get();

  auto st = std::make_unique<statement>();
  st->rw = rewrite_sql(sql, backend::sqlite);
  st->kind = classify_statement(sql);
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db_, st->rw.text.c_str(), int(st->rw.text.size()), &st->stmt, &tail);
  if (rc != SQLITE_OK) {
    r = failure("");
    return nullptr;
  }
  if (!st->stmt) {
    r = failure("empty statement");
    return nullptr;
  }
  std::string_view rest = tail ? std::string_view(tail) : std::string_view();
  for (size_t i = 0; i < rest.size();) {
    size_t n = (rest[i] == '-' || rest[i] == '/') ? skip_quoted(rest, i) : 0;
    if (n) {
      i += n;
    } else if (std::isspace(static_cast<unsigned char>(rest[i])) || rest[i] == ';') {
      ++i;
    } else {
      r = failure("only one statement can be run at a time");
      return nullptr;
    }
  }
  if (it != cache_.end()) {  // the cached one is running: use a private copy
    uncached = std::move(st);
    return uncached.get();
  }
  if (cache_.size() >= max_cached_statements) {
    for (auto i = cache_.begin(); i != cache_.end();) i = i->second->busy ? std::next(i) : cache_.erase(i);
  }
  return cache_.emplace(std::string(sql), std::move(st)).first->second.get();
}

db_result sqlite_connection::simple(const char* sql) {
  db_result r;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) r = failure("");
  return r;
}

db_result sqlite_connection::exec(std::string_view sql, std::span<const value> params, row_sink* sink) {
  db_result r;
  std::unique_ptr<statement> uncached;
  statement* st = prepare(sql, r, uncached);
  if (!st) return r;
  const rewritten_sql& rw = st->rw;
  if (std::string why = unbindable(rw, params); !why.empty()) return failure(why);

  // A statement that writes starts a transaction that lasts until commit or rollback. IMMEDIATE
  // takes the write lock now, waiting for another terminal's transaction to end.
  if (is_write(st->kind) && sqlite3_get_autocommit(db_)) {
    db_result b = begin();
    if (b.code != 0) return b;
  }

  sqlite3_stmt* s = st->stmt;
  st->busy = true;
  int rc = SQLITE_OK;
  for (size_t i = 0; i < rw.placeholders.size() && rc == SQLITE_OK; ++i) {
    const sql_placeholder& ph = rw.placeholders[i];
    const value& v = params[size_t(ph.name)];
    int n = int(i + 1);
    if (v.is_null()) {
      rc = sqlite3_bind_null(s, n);
    } else if (ph.folded) {
      std::string t = v.to_text() + ph.suffix;
      rc = sqlite3_bind_text(s, n, t.data(), int(t.size()), SQLITE_TRANSIENT);
    } else if (v.is_long()) {
      rc = sqlite3_bind_int64(s, n, v.as_long());
    } else if (v.is_string()) {
      const std::string& t = v.as_string();
      rc = sqlite3_bind_text(s, n, t.data(), int(t.size()), SQLITE_STATIC);
    } else {  // decimals and datetimes as their exact text
      std::string t = v.to_text();
      rc = sqlite3_bind_text(s, n, t.data(), int(t.size()), SQLITE_TRANSIENT);
    }
  }

  int64_t rows = 0;
  if (rc == SQLITE_OK) {
    std::optional<sqlite_row> row;
    bool want_rows = true;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      ++rows;
      if (!sink || !want_rows) continue;
      if (!row) {
        row.emplace(s);
        sink->on_columns(*row);
      }
      if (!sink->on_row(*row)) break;
    }
    if (rc == SQLITE_ROW) rc = SQLITE_DONE;  // stopped by the sink
    if (rc == SQLITE_DONE && sink && !row && sqlite3_column_count(s) > 0) {
      sqlite_row shape(s);
      sink->on_columns(shape);
    }
  }
  if (rc != SQLITE_DONE) {
    r = failure("");
  } else {
    switch (st->kind) {
      case statement_kind::insert:
      case statement_kind::update_delete:
        r.rows_affected = sqlite3_changes64(db_);
        if (st->kind == statement_kind::update_delete && r.rows_affected == 0) r.code = 100;
        break;
      case statement_kind::other_write:
      case statement_kind::control: r.rows_affected = 0; break;
      case statement_kind::read: r.rows_affected = rows; break;
    }
  }
  sqlite3_reset(s);
  sqlite3_clear_bindings(s);
  st->busy = false;
  return r;
}

db_result sqlite_connection::file_moved() const {
  db_result r;
  r.code = -1;
  r.db_code = SQLITE_READONLY_DBMOVED;
  r.error_text = "the database file " + sqlite_file_of(url_) +
                 " was deleted, renamed or replaced while this terminal had it open; nothing was "
                 "written. Start the terminal again on the right file.";
  return r;
}

// What is written to a file that is no longer at its path goes nowhere (the next start does not
// see it), so a unit neither begins nor commits there.
db_result sqlite_connection::begin() {
  if (!sqlite3_get_autocommit(db_)) return {};
  if (sqlite_file_has_moved(db_)) return file_moved();
  return simple("BEGIN IMMEDIATE");
}

db_result sqlite_connection::commit() {
  if (sqlite3_get_autocommit(db_)) return {};
  if (sqlite_file_has_moved(db_)) {
    simple("ROLLBACK");
    return file_moved();
  }
  return simple("COMMIT");
}

db_result sqlite_connection::rollback() {
  if (sqlite3_get_autocommit(db_)) return {};
  return simple("ROLLBACK");
}

bool sqlite_connection::in_transaction() const { return !sqlite3_get_autocommit(db_); }

// Written under a temporary name and renamed when whole, so that a copy cut short (a full disk, a
// killed process) is never taken for a good one.
db_result sqlite_connection::backup_to(const std::string& path) {
  const std::string part = path + ".part";
  std::remove(part.c_str());
  sqlite3* copy = nullptr;
  int rc = sqlite3_open_v2(part.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::string why;
  if (rc == SQLITE_OK) {
    sqlite3_backup* b = sqlite3_backup_init(copy, "main", db_, "main");
    if (b) {
      rc = sqlite3_backup_step(b, -1);
      sqlite3_backup_finish(b);
      rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    } else {
      rc = SQLITE_ERROR;
    }
    if (rc != SQLITE_OK) why = sqlite3_errmsg(copy);
  } else {
    why = copy ? sqlite3_errmsg(copy) : "out of memory";
  }
  if (sqlite3_close(copy) != SQLITE_OK && why.empty()) why = "the copy could not be closed";
  if (why.empty() && std::rename(part.c_str(), path.c_str()) != 0) why = std::strerror(errno);
  if (why.empty()) return {};
  std::remove(part.c_str());
  return failure("cannot copy the database to " + path + ": " + why);
}
