// The transaction object, f_check_sql and f_get_next_sequence.
#include "transaction.h"

#include <cstdio>

uo_transaction sqlca;

namespace {

const char* not_connected_text = "not connected to a database";

// Keeps the first row of a select into; counts the rows (stops reading at the second).
class into_sink : public row_sink {
 public:
  explicit into_sink(std::vector<value>& into) : into_(into) {}
  bool on_row(const db_row& row) override {
    if (rows_ == 0) {
      into_.clear();
      into_.reserve(size_t(row.column_count()));
      for (int c = 0; c < row.column_count(); ++c) into_.push_back(row.get_value(c));
    }
    return ++rows_ < 2;
  }
  int rows() const { return rows_; }

 private:
  std::vector<value>& into_;
  int rows_ = 0;
};

std::function<void(const std::string&, const std::string&)>& reporter() {
  static std::function<void(const std::string&, const std::string&)> r;
  return r;
}

}  // namespace

// ---- uo_transaction --------------------------------------------------------------------------

int uo_transaction::connect(const std::string& url) {
  disconnect();
  std::string error;
  url_ = url;
  conn_ = db_connection::open(url, error);
  db_result r;
  if (conn_ && wait_limit_) conn_->set_commit_wait_limit(*wait_limit_);
  if (!conn_) {
    r.code = -1;
    r.error_text = error;
  }
  return take(r);
}

int uo_transaction::disconnect() {
  if (conn_ && conn_->in_transaction()) conn_->rollback();  // an unfinished unit is not kept
  conn_.reset();
  return take(db_result{});
}

backend uo_transaction::kind() const { return conn_ ? conn_->kind() : backend::sqlite; }

sqlca_state::sqlca_state(const uo_transaction& tr)
    : sqlcode(tr.sqlcode), sqlnrows(tr.sqlnrows), sqldbcode(tr.sqldbcode), sqlerrtext(tr.sqlerrtext),
      sqlreason(tr.sqlreason),
      in_doubt(tr.in_doubt_), unconfirmed(tr.unconfirmed_), held_elsewhere(tr.held_elsewhere_) {}

void sqlca_state::restore(uo_transaction& tr) const {
  tr.sqlcode = sqlcode;
  tr.sqlnrows = sqlnrows;
  tr.sqldbcode = sqldbcode;
  tr.sqlerrtext = sqlerrtext;
  tr.sqlreason = sqlreason;
  tr.in_doubt_ = in_doubt;
  tr.held_elsewhere_ = held_elsewhere;
  tr.unconfirmed_ = unconfirmed;
}

int uo_transaction::take(const db_result& r) {
  sqlcode = r.code;
  sqlnrows = long(r.rows_affected);
  sqldbcode = r.db_code;
  sqlerrtext = r.error_text;
  sqlreason.clear();
  if (r.code < 0) {  // kept across the rollback that follows a failure
    duplicate_ = r.duplicate;
    duplicate_columns_ = r.duplicate_columns;
    duplicate_constraint_ = r.duplicate_constraint;
  }
  in_doubt_ = r.in_doubt;
  held_elsewhere_ = r.held_elsewhere;
  unconfirmed_ = r.unconfirmed;
  return int(r.code);
}

std::vector<std::string> uo_transaction::duplicate_columns() {
  if (!duplicate_ || !conn_ || conn_->kind() != backend::postgres || duplicate_constraint_.empty())
    return duplicate_columns_;
  // A unique constraint is an index of the same name, in the table's schema (found on the search
  // path, as the table was: other schemas may hold an index of that name); its columns in key
  // order.
  class names : public row_sink {
   public:
    bool on_row(const db_row& row) override {
      out.push_back(row.get_value(0).to_text());
      return true;
    }
    std::vector<std::string> out;
  } sink;
  const value name[] = {value(duplicate_constraint_)};
  if (conn_->exec("select a.attname from pg_class i join pg_index x on x.indexrelid = i.oid "
                  "join pg_attribute a on a.attrelid = x.indrelid and a.attnum = any(x.indkey) "
                  "where i.oid = to_regclass(quote_ident(:name)) order by array_position(x.indkey::int2[], a.attnum)",
                  name, &sink).code == 0)
    duplicate_columns_ = sink.out;
  return duplicate_columns_;
}

static db_result not_connected() {
  db_result r;
  r.code = -1;
  r.error_text = not_connected_text;
  return r;
}

int uo_transaction::execute(std::string_view sql, std::span<const value> params) {
  if (!conn_) return take(not_connected());
  return take(conn_->exec(sql, params, nullptr));
}

int uo_transaction::select_into(std::string_view sql, std::span<const value> params,
                                std::vector<value>& into) {
  into.clear();
  if (!conn_) return take(not_connected());
  into_sink sink(into);
  db_result r = conn_->exec(sql, params, &sink);
  if (r.code < 0) {
    into.clear();
  } else {
    r.rows_affected = sink.rows();
    if (sink.rows() == 0) {
      r.code = 100;
    } else if (sink.rows() > 1) {
      r.code = -1;
      r.error_text = "select into: the query returned more than one row";
      into.clear();
    } else {
      r.code = 0;
    }
  }
  return take(r);
}

int uo_transaction::query(std::string_view sql, std::span<const value> params, row_sink& sink) {
  if (!conn_) return take(not_connected());
  return take(conn_->exec(sql, params, &sink));
}

int uo_transaction::begin() { return take(conn_ ? conn_->begin() : not_connected()); }
int uo_transaction::commit() { return take(conn_ ? conn_->commit() : not_connected()); }
int uo_transaction::rollback() { return take(conn_ ? conn_->rollback() : not_connected()); }
bool uo_transaction::in_transaction() const { return conn_ && conn_->in_transaction(); }
int uo_transaction::backup_copy(const std::string& path) {
  return take(conn_ ? conn_->backup_to(path) : not_connected());
}
int uo_transaction::confirm_durable() { return take(conn_ ? conn_->confirm_durable() : not_connected()); }

void uo_transaction::set_commit_wait_limit(std::chrono::milliseconds limit) {
  wait_limit_ = limit;
  if (conn_) conn_->set_commit_wait_limit(limit);
}

// ---- f_check_sql -----------------------------------------------------------------------------

void set_sql_error_reporter(std::function<void(const std::string& title, const std::string& text)> r) {
  reporter() = std::move(r);
}

bool f_check_sql(bool an_report, bool an_commit, bool an_rollback, const std::string& title,
                 const std::string& text, uo_transaction& tr) {
  if (tr.sqlcode == 0) {
    if (!an_commit || tr.commit() == 0) return true;
    // The commit failed: the unit is not stored, which is reported like any failure.
  }
  sqlca_state failed(tr);
  // Roll back before the report: the user reads the box while other terminals go on.
  if (an_rollback) {
    tr.rollback();
    failed.restore(tr);
  }
  if (an_report) {
    std::string why = failed.sqlerrtext;
    if (why.empty()) why = failed.sqlcode == 100 ? "没有找到数据，或没有修改任何行" : "数据库操作失败";
    std::string full =
        !failed.sqlreason.empty()
            ? text + "\n\n" + failed.sqlreason
            : text + "\n\n" + why + "\n(SQLCODE " + std::to_string(failed.sqlcode) +
                  (failed.sqldbcode ? ", DBCODE " + std::to_string(failed.sqldbcode) : "") + ")";
    if (reporter())
      reporter()(title, full);
    else
      std::fprintf(stderr, "%s: %s\n", title.c_str(), full.c_str());
  }
  tr.sqlreason.clear();  // the reason belongs to this failure only
  return false;
}

// ---- f_get_next_sequence ---------------------------------------------------------------------

int64_t f_get_next_sequence(const std::string& name, uo_transaction& tr) {
  if (!tr.connected()) {
    tr.sqlcode = -1;
    tr.sqlerrtext = not_connected_text;
    return -1;
  }
  const bool inside = tr.in_transaction();
  std::vector<value> into;
  int rc;
  if (tr.kind() == backend::postgres) {
    // A real sequence: no lock is held, so terminals drawing numbers are never serialised. Inside
    // the caller's transaction a savepoint keeps a failure from aborting the caller's unit.
    if (inside && tr.execute("SAVEPOINT member_next_sequence") != 0) return -1;
    const value seq[] = {value(name + "_seq")};
    rc = tr.select_into("SELECT nextval(:seqname::regclass)", seq, into);
    if (inside) {
      sqlca_state st(tr);
      tr.execute(rc == 0 ? "RELEASE SAVEPOINT member_next_sequence"
                         : "ROLLBACK TO SAVEPOINT member_next_sequence");
      st.restore(tr);
    }
  } else {
    // A row per sequence, advanced (or created) in one statement. SQLite lets one writer in at a
    // time anyway; outside the caller's transaction the step is committed at once.
    const value seq[] = {value(name)};
    rc = tr.select_into(
        "INSERT INTO t_sequence (seqname, lastvalue) VALUES (:seqname, 1) "
        "ON CONFLICT (seqname) DO UPDATE SET lastvalue = t_sequence.lastvalue + 1 "
        "RETURNING lastvalue",
        seq, into);
    if (!inside) {
      if (rc == 0) {
        if (tr.commit() != 0) rc = -1;
      } else {
        sqlca_state st(tr);
        tr.rollback();
        st.restore(tr);
      }
    }
  }
  if (rc == 0 && !into.empty() && into[0].is_long() && into[0].as_long() > 0) return into[0].as_long();
  if (rc == 0) {
    tr.sqlcode = -1;
    tr.sqlerrtext = "sequence '" + name + "' gave no number above 0";
  } else if (!tr.held_elsewhere()) {  // that text is said as it stands
    tr.sqlcode = -1;
    tr.sqlerrtext = "no number from sequence '" + name + "': " + tr.sqlerrtext;
  }
  return -1;
}
