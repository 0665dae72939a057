// PostgreSQL backend.
#include "pg_connection.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <thread>

#include "backend_support.h"
#include "core_dumps.h"
#include "lock_waits.h"
#include "pg_url.h"

namespace {

// Type OIDs of the server's built-in types.
constexpr Oid bool_oid = 16, int8_oid = 20, int2_oid = 21, int4_oid = 23, text_oid = 25,
              oid_oid = 26, float4_oid = 700, float8_oid = 701, date_oid = 1082,
              timestamp_oid = 1114, timestamptz_oid = 1184, numeric_oid = 1700;

// The server's type for a parameter of a column type.
Oid oid_of(col_type t) {
  switch (t) {
    case col_type::long_t: return int8_oid;
    case col_type::decimal_t: return numeric_oid;
    case col_type::string_t: return text_oid;
    case col_type::datetime_t: return timestamp_oid;
  }
  return 0;
}

const char* lost_text = "connection lost; the transaction was rolled back";

std::string one_line(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\t') c = ' ';
  while (!s.empty() && s.back() == ' ') s.pop_back();
  std::string out;
  for (char c : s)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

void ignore_notice(void*, const char*) {}

// Notices are not shown, but a warning is noted: the server warns, for one, when a commit's wait
// for its synchronous standby is cut short (stored here, perhaps not there).
void note_warning(void* warned, const PGresult* res) {
  const char* severity = PQresultErrorField(res, PG_DIAG_SEVERITY_NONLOCALIZED);
  if (severity && std::strcmp(severity, "WARNING") == 0) *static_cast<bool*>(warned) = true;
}

// Asks the server, on a connection of its own, to cancel what conn runs.
void send_cancel(PGconn* conn) {
  if (PGcancel* c = PQgetCancel(conn)) {
    char buf[256];
    PQcancel(c, buf, sizeof buf);
    PQfreeCancel(c);
  }
}

class pg_row : public db_row {
 public:
  void shape(const PGresult* res) {
    res_ = res;
    int n = PQnfields(res);
    names_.assign(size_t(n), {});
    types_.assign(size_t(n), 0);
    digits_.assign(size_t(n), {});
    for (int i = 0; i < n; ++i) {
      for (const char* p = PQfname(res, i); *p; ++p)
        names_[size_t(i)] += char(std::tolower(static_cast<unsigned char>(*p)));
      types_[size_t(i)] = PQftype(res, i);
      // NUMERIC(p,s) comes as the type modifier ((p << 16) | s) + 4; -1 when undeclared.
      int mod = PQfmod(res, i);
      if (types_[size_t(i)] == numeric_oid && mod >= 4)
        digits_[size_t(i)] = {((mod - 4) >> 16) & 0xffff, (mod - 4) & 0x7ff};
    }
  }
  void at(const PGresult* res, int row) {
    res_ = res;
    row_ = row;
  }

  int column_count() const override { return int(names_.size()); }
  std::string_view column_name(int col) const override { return names_[size_t(col)]; }
  bool is_null(int col) const override { return PQgetisnull(res_, row_, col); }
  std::optional<int64_t> get_long(int col) const override {
    if (is_null(col)) return std::nullopt;
    if (types_[size_t(col)] == bool_oid) return get_text(col) == "t";
    return parse_whole_number(get_text(col));
  }
  std::string_view get_text(int col) const override {
    return std::string_view(PQgetvalue(res_, row_, col), size_t(PQgetlength(res_, row_, col)));
  }
  std::optional<decimal> get_decimal(int col, int scale) const override {
    if (is_null(col)) return std::nullopt;
    return parse_number_text(get_text(col), scale);
  }
  std::optional<datetime> get_datetime(int col) const override {
    if (is_null(col)) return std::nullopt;
    std::string_view t = get_text(col);
    // timestamptz ends in the session's zone ("+08", "-03:30"): the wall-clock time is what counts.
    if (types_[size_t(col)] == timestamptz_oid) {
      size_t zone = t.find_first_of("+-", 19);
      if (zone != std::string_view::npos) t = t.substr(0, zone);
    }
    return datetime::parse(t);
  }
  value get_value(int col) const override {
    if (is_null(col)) return value();
    switch (types_[size_t(col)]) {
      case int8_oid:
      case int2_oid:
      case int4_oid:
      case oid_oid:
      case bool_oid:
        if (auto v = get_long(col)) return value(*v);
        break;
      case numeric_oid:
      case float4_oid:
      case float8_oid:
        if (auto d = get_decimal(col, -1)) return value(*d);
        break;
      case date_oid:
      case timestamp_oid:
      case timestamptz_oid:
        if (auto t = get_datetime(col)) return value(*t);
        break;
      default: break;
    }
    return value(std::string(get_text(col)));
  }
  declared_digits column_digits(int col) const override { return digits_[size_t(col)]; }

 private:
  const PGresult* res_ = nullptr;
  int row_ = 0;
  std::vector<std::string> names_;
  std::vector<Oid> types_;
  std::vector<declared_digits> digits_;
};

// The error of a failed result: the server's message (and detail), else the connection's.
db_result error_of(PGconn* conn, const PGresult* res) {
  db_result r;
  r.code = -1;
  const char* primary = res ? PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  if (primary) {
    r.error_text = primary;
    if (const char* detail = PQresultErrorField(res, PG_DIAG_MESSAGE_DETAIL))
      r.error_text += std::string(" (") + detail + ")";
  } else {
    r.error_text = one_line(PQerrorMessage(conn));
    if (r.error_text.empty()) r.error_text = "the database gave no answer";
  }
  if (const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr) {
    bool digits = std::strlen(state) == 5;
    for (const char* p = state; *p; ++p) digits = digits && std::isdigit(static_cast<unsigned char>(*p));
    if (digits) r.db_code = std::atoi(state);
    // lock_not_available (lock_timeout ran out) and deadlock_detected: another session holds
    // what the statement needs.
    if (std::strcmp(state, "55P03") == 0 || std::strcmp(state, "40P01") == 0) mark_held_elsewhere(r);
    // unique_violation: the constraint is named; its columns are looked up after the rollback.
    if (std::strcmp(state, "23505") == 0) {
      r.duplicate = true;
      if (const char* c = PQresultErrorField(res, PG_DIAG_CONSTRAINT_NAME)) r.duplicate_constraint = c;
    }
  }
  return r;
}

// A whole result of a statement that returns no rows, or its rows counted.
struct result_guard {
  PGresult* res;
  ~result_guard() { PQclear(res); }
};

bool session_setup(PGconn* conn, std::string& error) {
  PQsetNoticeProcessor(conn, ignore_notice, nullptr);
  // JIT compilation pays off for long analytic queries, not for a terminal's short ones: on the
  // price list it took about 40% of the retrieval. No statement waits without end for a row
  // another session holds, nor runs without end.
  const lock_wait_limits limits = current_lock_wait_limits();
  const std::string setup = "SET DateStyle = 'ISO, YMD'; SET jit = off; SET lock_timeout = " +
                            std::to_string(limits.lock.count()) + "; SET statement_timeout = " +
                            std::to_string(limits.statement.count());
  result_guard g{PQexec(conn, setup.c_str())};
  if (PQresultStatus(g.res) != PGRES_COMMAND_OK) {
    error = error_of(conn, g.res).error_text;
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<db_connection> pg_connection::open(const std::string& url, std::string& error) {
  // The password may come from the URL, the environment or a password file, and a reconnect
  // reads it again: from here on the process holds it.
  forbid_core_dumps();
  // Over TCP to another machine the server's certificate is checked unless the URL chose a mode:
  // libpq's default would send the password to any server that answers, in plain text if asked.
  const std::string sslmode = pg_default_sslmode(url);
  const char* keys[] = {"dbname", "client_encoding", "fallback_application_name", "connect_timeout",
                        sslmode.empty() ? nullptr : "sslmode", nullptr};
  const char* values[] = {url.c_str(), "UTF8", "member-terminal", "10", sslmode.c_str(), nullptr};
  PGconn* conn = PQconnectdbParams(keys, values, 1);
  std::string why;
  if (!conn) {
    why = "out of memory";
  } else if (PQstatus(conn) != CONNECTION_OK) {
    why = one_line(PQerrorMessage(conn));
  } else if (!session_setup(conn, why)) {
  } else {
    auto* opened = new pg_connection(conn, url);
    PQsetNoticeReceiver(conn, note_warning, &opened->warned_);  // kept by PQreset
    return std::unique_ptr<db_connection>(opened);
  }
  PQfinish(conn);
  error = "cannot open database '" + display_url(url) + "': " + why;
  return nullptr;
}

pg_connection::~pg_connection() { PQfinish(conn_); }

link_security pg_connection::security() const {
  if (!PQsslInUse(conn_)) {
    const char* host = PQhost(conn_);
    return host && (*host == '/' || *host == '@') ? link_security::local_socket : link_security::plain;
  }
  std::string mode;
  if (PQconninfoOption* options = PQconninfo(conn_)) {
    for (PQconninfoOption* o = options; o->keyword; ++o)
      if (std::strcmp(o->keyword, "sslmode") == 0 && o->val) mode = o->val;
    PQconninfoFree(options);
  }
  if (mode == "verify-full") return link_security::tls_verified;
  return mode == "verify-ca" ? link_security::tls_ca_only : link_security::tls_unverified;
}

bool pg_connection::broken() const { return PQstatus(conn_) != CONNECTION_OK; }

bool pg_connection::reconnect(std::string& error) {
  PQreset(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) {
    error = "the connection to database '" + display_url(url_) + "' is lost and cannot be restored: " +
            one_line(PQerrorMessage(conn_));
    return false;
  }
  return session_setup(conn_, error);
}

void pg_connection::sync_transaction_state() {
  switch (PQtransactionStatus(conn_)) {
    case PQTRANS_IDLE: tx_open_ = false; break;
    case PQTRANS_INTRANS:
    case PQTRANS_INERROR: tx_open_ = true; break;
    default: break;  // broken or busy: handled where the loss is seen
  }
}

// The transaction was open when the connection broke: the server has rolled it back.
db_result pg_connection::lost(db_result r) {
  r.code = -1;
  r.error_text = std::string(lost_text) + " (" + r.error_text + ")";
  tx_open_ = false;
  tx_lost_ = true;
  return r;
}

db_result pg_connection::run(const std::string& text, const rewritten_sql& rw,
                             std::span<const value> params, row_sink* sink, bool count_changes,
                             int64_t& delivered) {
  const size_t n = rw.placeholders.size();
  std::vector<Oid> types(n, 0);
  std::vector<const char*> values(n, nullptr);
  std::vector<std::string> texts(n);
  for (size_t i = 0; i < n; ++i) {
    const sql_placeholder& ph = rw.placeholders[i];
    const value& v = params[size_t(ph.name)];
    if (v.is_null()) {  // of the type the caller gave it, else the server's guess
      if (std::optional<col_type> t = v.null_type()) types[i] = oid_of(*t);
      continue;
    }
    if (ph.folded) {
      texts[i] = v.to_text() + ph.suffix;
      types[i] = text_oid;
      values[i] = texts[i].c_str();
      continue;
    }
    if (v.is_string()) {
      values[i] = v.as_string().c_str();
      types[i] = text_oid;
      continue;
    }
    texts[i] = v.to_text();
    values[i] = texts[i].c_str();
    types[i] = oid_of(v.is_long() ? col_type::long_t : v.is_decimal() ? col_type::decimal_t
                                                                       : col_type::datetime_t);
  }

  db_result r;
  if (!sink) {
    result_guard g{PQexecParams(conn_, text.c_str(), int(n), types.data(), values.data(), nullptr,
                                nullptr, 0)};
    ExecStatusType st = PQresultStatus(g.res);
    if (st == PGRES_TUPLES_OK) {
      r.rows_affected = count_changes ? std::atoll(PQcmdTuples(g.res)) : PQntuples(g.res);
    } else if (st == PGRES_COMMAND_OK) {
      r.rows_affected = std::atoll(PQcmdTuples(g.res));
    } else {
      return error_of(conn_, g.res);
    }
    return r;
  }

  if (!PQsendQueryParams(conn_, text.c_str(), int(n), types.data(), values.data(), nullptr, nullptr, 0))
    return error_of(conn_, nullptr);
  PQsetSingleRowMode(conn_);
  pg_row row;
  bool shaped = false, stopped = false, failed = false;
  int64_t rows = 0, changes = 0;
  while (PGresult* res = PQgetResult(conn_)) {
    result_guard g{res};
    if (stopped) continue;  // draining after a cancel
    if (failed) continue;
    switch (PQresultStatus(res)) {
      case PGRES_SINGLE_TUPLE:
        if (!shaped) {
          row.shape(res);
          sink->on_columns(row);
          shaped = true;
        }
        row.at(res, 0);
        ++rows;
        ++delivered;
        if (!sink->on_row(row)) {
          stopped = true;
          // Outside a transaction the rest of a long query is cancelled; inside, a cancel would
          // abort the transaction, so the remaining rows are read and dropped.
          if (!tx_open_) send_cancel(conn_);
        }
        break;
      case PGRES_TUPLES_OK:
      case PGRES_COMMAND_OK:
        if (!shaped && PQnfields(res) > 0) {
          row.shape(res);
          sink->on_columns(row);
          shaped = true;
        }
        changes = std::atoll(PQcmdTuples(res));
        break;
      default:
        r = error_of(conn_, res);
        failed = true;
        break;
    }
  }
  if (failed) return r;
  r.rows_affected = count_changes ? changes : rows;
  return r;
}

const rewritten_sql& pg_connection::rewritten(std::string_view sql) {
  std::string key(sql);
  auto it = rewrites_.find(key);
  if (it != rewrites_.end()) return it->second;
  if (rewrites_.size() >= 128) rewrites_.clear();
  return rewrites_.emplace(std::move(key), rewrite_sql(sql, backend::postgres)).first->second;
}

db_result pg_connection::exec(std::string_view sql, std::span<const value> params, row_sink* sink) {
  const rewritten_sql rw = rewritten(sql);
  if (std::string why = unbindable(rw, params); !why.empty()) {
    db_result r;
    r.code = -1;
    r.error_text = why;
    return r;
  }
  statement_kind kind = classify_statement(sql);
  if (is_write(kind) && !tx_open_) {
    db_result b = begin();
    if (b.code != 0) return b;
  }
  std::string error;
  if (broken() && !tx_open_ && !reconnect(error)) {
    db_result r;
    r.code = -1;
    r.error_text = error;
    return r;
  }
  bool inside = tx_open_;
  bool count_changes = kind == statement_kind::insert || kind == statement_kind::update_delete;
  int64_t delivered = 0;
  db_result r = run(rw.text, rw, params, sink, count_changes, delivered);
  if (r.code != 0 && broken()) {
    if (inside) return lost(r);
    // Outside a transaction nothing is lost: connect again and run the statement once more.
    if (delivered == 0) {
      if (!reconnect(error)) {
        r.error_text = error;
        return r;
      }
      r = run(rw.text, rw, params, sink, count_changes, delivered);
    }
  }
  sync_transaction_state();
  if (r.code == 0 && kind == statement_kind::update_delete && r.rows_affected == 0) r.code = 100;
  return r;
}

db_result pg_connection::control(const char* sql) {
  result_guard g{PQexec(conn_, sql)};
  db_result r;
  if (PQresultStatus(g.res) != PGRES_COMMAND_OK) r = error_of(conn_, g.res);
  return r;
}

db_result pg_connection::begin() {
  if (tx_open_) return {};
  tx_lost_ = false;
  std::string error;
  if (broken() && !reconnect(error)) {
    db_result r;
    r.code = -1;
    r.error_text = error;
    return r;
  }
  db_result r = open_transaction();
  if (r.code != 0 && broken() && reconnect(error)) r = open_transaction();
  if (r.code == 0) tx_open_ = true;
  return r;
}

// BEGIN, and in the same round trip the transaction's id and its server's start time.
db_result pg_connection::open_transaction() {
  xid_.clear();
  result_guard g{PQexec(conn_, "BEGIN; SELECT txid_current()::text, pg_postmaster_start_time()::text")};
  if (PQresultStatus(g.res) != PGRES_TUPLES_OK || PQntuples(g.res) != 1) {
    db_result r = error_of(conn_, g.res);
    if (PQtransactionStatus(conn_) == PQTRANS_INTRANS || PQtransactionStatus(conn_) == PQTRANS_INERROR)
      control("ROLLBACK");
    return r;
  }
  xid_ = PQgetvalue(g.res, 0, 0);
  server_started_ = PQgetvalue(g.res, 0, 1);
  backend_pid_ = PQbackendPID(conn_);
  return {};
}

// What the server says of the transaction xid_ on the current connection: "committed",
// "aborted", "in progress", or "" when it cannot say. Only the server that ran the transaction,
// still running since, can say: a server restarted or taken over by a standby may have handed the
// same id to another transaction.
std::string pg_connection::transaction_status() {
  const char* params[] = {xid_.c_str()};
  result_guard g{PQexecParams(conn_,
                              "SELECT txid_status($1::bigint), pg_postmaster_start_time()::text",
                              1, nullptr, params, nullptr, nullptr, 0)};
  if (PQresultStatus(g.res) != PGRES_TUPLES_OK || PQntuples(g.res) != 1 || PQgetisnull(g.res, 0, 0))
    return {};
  if (server_started_ != PQgetvalue(g.res, 0, 1)) return {};
  return PQgetvalue(g.res, 0, 0);
}

// The connection went while COMMIT or its answer was on the way: the unit may be stored or not.
// A new connection asks the server. A transaction still open there (the server has not yet seen
// its connection go) is ended, so that its outcome is settled and its locks are freed rather than
// it committing later behind a reported failure. Only "committed" is success; without an answer
// the failure says that the outcome is unknown.
db_result pg_connection::settle_lost_commit(db_result r) {
  tx_open_ = false;
  tx_lost_ = false;
  std::string error, status;
  if (!xid_.empty() && reconnect(error)) {
    for (int wait = 0; wait < 30; ++wait) {
      status = transaction_status();
      if (status != "in progress") break;
      if (wait == 5) {
        const std::string pid = std::to_string(backend_pid_);
        const char* params[] = {pid.c_str(), xid_.c_str()};
        result_guard g{PQexecParams(
            conn_,
            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid = $1::int AND "
            "backend_xid::text = ($2::bigint % 4294967296)::text",
            2, nullptr, params, nullptr, nullptr, 0)};
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  xid_.clear();
  if (status == "committed") return confirm_durable();
  r.code = -1;
  if (status == "aborted") {
    r.error_text = std::string(lost_text) + " (" + r.error_text + ")";
  } else {
    r.error_text = "connection lost during the commit; whether the database stored the transaction "
                   "is not known (" + r.error_text + (error.empty() ? "" : "; " + error) + ")";
    r.in_doubt = true;
  }
  return r;
}

db_result pg_connection::commit() {
  if (tx_lost_) {
    tx_lost_ = false;
    db_result r;
    r.code = -1;
    r.error_text = lost_text;
    return r;
  }
  if (!tx_open_) return {};
  if (broken()) {
    // Seen gone before COMMIT was sent: a transaction ends stored only on COMMIT.
    tx_open_ = false;
    db_result r;
    r.code = -1;
    r.error_text = lost_text;
    return r;
  }
  if (PQtransactionStatus(conn_) == PQTRANS_INERROR) {
    // A statement of this transaction failed: the server would answer COMMIT with a rollback.
    control("ROLLBACK");
    tx_open_ = false;
    db_result r;
    r.code = -1;
    r.error_text = "a statement of the transaction failed; the transaction was rolled back";
    return r;
  }
  const commit_answer a = send_commit();
  result_guard g{a.res};
  db_result r;
  if (PQresultStatus(g.res) != PGRES_COMMAND_OK) {
    r = error_of(conn_, g.res);
    // The answer went with the connection, or a cancel may have come after the commit.
    if (broken() || a.cancelled) return settle_lost_commit(r);
  } else if (std::strcmp(PQcmdStatus(g.res), "ROLLBACK") == 0) {
    r.code = -1;
    r.error_text = "the transaction was rolled back by the database";
  } else if (a.warned) {
    // Stored here, but the wait for the synchronous standby may have been cut short: by our
    // cancel at the limit (the standby stalls: no use waiting again), or on the server.
    tx_open_ = false;
    xid_.clear();
    return a.cancelled ? unconfirmed("") : confirm_durable();
  }
  tx_lost_ = false;
  sync_transaction_state();
  if (r.code == 0) tx_open_ = false;
  return r;
}

// COMMIT, its answer awaited at most the wait limit. A commit that waits for a stalled synchronous
// standby (statement_timeout does not end that wait) is cancelled then: the server keeps it and
// warns. A server that does not answer the cancel within as long again is given up: the
// connection is shut, and the commit is settled as one whose answer was lost.
pg_connection::commit_answer pg_connection::send_commit() {
  using std::chrono::steady_clock;
  commit_answer a;
  warned_ = false;
  if (PQsendQuery(conn_, "COMMIT")) {
    auto deadline = steady_clock::now() + wait_limit_;
    while (PQisBusy(conn_)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now()).count();
      if (left <= 0 && a.cancelled) {
        shutdown(PQsocket(conn_), SHUT_RDWR);
        PQconsumeInput(conn_);
        break;
      }
      if (left <= 0) {
        send_cancel(conn_);
        a.cancelled = true;
        deadline = steady_clock::now() + wait_limit_;
        continue;
      }
      pollfd p{PQsocket(conn_), POLLIN, 0};
      poll(&p, 1, int(std::min<long long>(left, 1000)));
      if (!PQconsumeInput(conn_)) break;
    }
  }
  while (PGresult* res = PQgetResult(conn_)) {
    PQclear(a.res);
    a.res = res;
  }
  a.warned = warned_;
  return a;
}

db_result pg_connection::unconfirmed(std::string why) const {
  db_result r;
  r.code = -1;
  r.in_doubt = r.unconfirmed = true;
  r.error_text = "the database stored the transaction, but did not confirm within " +
                 std::to_string((wait_limit_.count() + 999) / 1000) +
                 " s that its synchronous standby has it; whether it survives a takeover by the "
                 "standby is not known" + (why.empty() ? "" : " (" + why + ")");
  return r;
}

// A write of our own, whose commit waits for the synchronous standbys as any other does: once it
// is confirmed, so is everything the server committed before it. Without standbys it is at once.
db_result pg_connection::confirm_durable() {
  std::string error;
  if (tx_open_) return unconfirmed("a transaction is open");
  if (broken() && !reconnect(error)) return unconfirmed(error);
  {
    result_guard g{PQexec(conn_, "BEGIN; SELECT pg_logical_emit_message(true, 'member-terminal', '')")};
    if (PQresultStatus(g.res) != PGRES_TUPLES_OK) {
      error = error_of(conn_, g.res).error_text;
      if (PQtransactionStatus(conn_) != PQTRANS_IDLE) control("ROLLBACK");
      return unconfirmed(error);
    }
  }
  const commit_answer a = send_commit();
  result_guard g{a.res};
  if (PQresultStatus(g.res) == PGRES_COMMAND_OK && !a.warned) return {};
  error = PQresultStatus(g.res) == PGRES_COMMAND_OK ? "" : error_of(conn_, g.res).error_text;
  if (PQtransactionStatus(conn_) == PQTRANS_INTRANS || PQtransactionStatus(conn_) == PQTRANS_INERROR)
    control("ROLLBACK");
  return unconfirmed(error);
}

db_result pg_connection::rollback() {
  tx_lost_ = false;
  if (!tx_open_) return {};
  db_result r = control("ROLLBACK");
  if (r.code != 0 && broken()) r = {};  // the server has rolled it back with the connection
  tx_open_ = false;
  return r;
}
