#pragma once
// The transaction object of embedded SQL (`sqlca` is the global one). Statements that write begin
// a transaction implicitly; it lasts until commit() or rollback(), which f_check_sql issues.
// Reads outside a transaction see the latest committed data. After each statement the SQLCA
// fields tell what happened: sqlcode 0 success, 100 not found (a select into without a row, an
// update or delete that touched no row), -1 error with the database's message in sqlerrtext.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "connection.h"

class uo_transaction {
 public:
  uo_transaction() = default;
  uo_transaction(const uo_transaction&) = delete;
  uo_transaction& operator=(const uo_transaction&) = delete;

  // Connects to a URL (see db_connection); 0 on success, -1 with sqlerrtext set.
  int connect(const std::string& url);
  int disconnect();
  bool connected() const { return conn_ != nullptr; }
  backend kind() const;
  const std::string& url() const { return url_; }

  // Embedded SQL. Host variables are ":name" in the text, bound in order of first appearance.
  // insert / update / delete / any statement: sets sqlcode, sqlnrows.
  int execute(std::string_view sql, std::span<const value> params = {});
  // Single-row select into host variables: 0 with `into` filled, 100 without a row (into cleared),
  // -1 on error or when more than one row comes back.
  int select_into(std::string_view sql, std::span<const value> params, std::vector<value>& into);
  // A query whose rows go to sink (the data view retrieval path). rows_affected = rows read.
  int query(std::string_view sql, std::span<const value> params, row_sink& sink);
  // Starts a transaction now (the data view's update does, so that all its rows are one unit).
  int begin();
  int commit();
  int rollback();
  bool in_transaction() const;
  // After a failed commit(): whether the unit was stored is not known. Either the connection went
  // before the database answered and it could not tell afterwards (a caller that can recognise
  // its own unit looks), or the database stored the unit but did not confirm it durable within
  // the wait limit (commit_unconfirmed(): its synchronous standby did not answer).
  bool commit_in_doubt() const { return in_doubt_; }
  // After a failed statement: it gave up waiting for what another session holds (see
  // lock_waits.h); nothing of it was written.
  bool held_elsewhere() const { return held_elsewhere_; }
  bool commit_unconfirmed() const { return unconfirmed_; }
  // After a failed statement (until the next failure; the rollback keeps it): a unique
  // constraint or key already holds a value the statement would store.
  bool duplicate() const { return duplicate_; }
  // The columns of that constraint; empty when not known. PostgreSQL names only the constraint,
  // whose columns are read from its catalog: ask after the failed unit was rolled back.
  std::vector<std::string> duplicate_columns();
  // Outside a unit: 0 when everything the database has committed so far survives its takeover by
  // a synchronous standby (at once where there is none); -1 in doubt when that is not learnt
  // within the wait limit.
  int confirm_durable();
  // How long a commit waits for the database and its synchronous standbys before it gives up and
  // reports the outcome as not known (PostgreSQL; default 10 s). Kept across connects.
  void set_commit_wait_limit(std::chrono::milliseconds limit);

  // A copy of an embedded database beside it or elsewhere (db_connection::backup_to); 0 or -1.
  int backup_copy(const std::string& path);

  // SQLCA, as after the last statement.
  long sqlcode = 0;
  long sqlnrows = 0;
  long sqldbcode = 0;
  std::string sqlerrtext;
  // The failure in the user's words, set by the code that found out why (points no longer
  // enough, say); f_check_sql shows it in place of the database's text. Cleared by each statement.
  std::string sqlreason;

  db_connection* connection() { return conn_.get(); }

 private:
  int take(const db_result& r);
  std::unique_ptr<db_connection> conn_;
  std::string url_;
  bool in_doubt_ = false, unconfirmed_ = false;
  bool held_elsewhere_ = false;
  bool duplicate_ = false;
  std::vector<std::string> duplicate_columns_;
  std::string duplicate_constraint_;
  std::optional<std::chrono::milliseconds> wait_limit_;
  friend struct sqlca_state;
};

// The SQLCA after a statement, kept across later ones (a rollback, a check) and put back.
struct sqlca_state {
  explicit sqlca_state(const uo_transaction& tr);
  void restore(uo_transaction& tr) const;
  long sqlcode, sqlnrows, sqldbcode;
  std::string sqlerrtext, sqlreason;
  bool in_doubt, unconfirmed, held_elsewhere;
};

// The host's default transaction.
extern uo_transaction sqlca;

// Checks the last statement on tr. Success (sqlcode 0): commits when an_commit, answers true.
// Failure: shows title and text with the database's own error when an_report, rolls back when
// an_rollback, answers false. The message box goes through the runtime's seam (see runtime/).
bool f_check_sql(bool an_report, bool an_commit, bool an_rollback, const std::string& title,
                 const std::string& text, uo_transaction& tr);

// Where f_check_sql reports: title and full text (the caller's text and the database's error).
// Without a reporter the report goes to standard error.
void set_sql_error_reporter(std::function<void(const std::string& title, const std::string& text)> r);

// Next number of a named sequence: unique across terminals sharing the database, always above 0.
// Answers -1 (with tr's sqlerrtext set) when no number can be had. Drawn outside a unit it holds
// no lock until the caller's commit. PostgreSQL: a SEQUENCE "<name>_seq" (numbers of rolled-back
// units are not used again). SQLite: a row of t_sequence, created on first use; drawn inside a
// unit it is part of that unit (SQLite lets one writer in at a time anyway).
int64_t f_get_next_sequence(const std::string& name, uo_transaction& tr = sqlca);
