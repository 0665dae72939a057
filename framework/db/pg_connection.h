#pragma once
// The shared shop database over libpq. Parameters go with explicit types (int8, numeric, text,
// timestamp) so that the server compares like with like; rows of a query stream one at a time.
// A connection found broken outside a transaction is re-established and the statement run again;
// inside a transaction the statement fails and the transaction is gone. When the answer to COMMIT
// is lost, the server is asked on a new connection whether that transaction was stored. A commit
// waits for the server and its synchronous standbys at most the wait limit; waits
// for locks and statements are bounded (lock_waits.h).

#include <memory>
#include <string>
#include <unordered_map>

#include "connection.h"

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

class pg_connection : public db_connection {
 public:
  static std::unique_ptr<db_connection> open(const std::string& url, std::string& error);
  ~pg_connection() override;

  backend kind() const override { return backend::postgres; }
  db_result exec(std::string_view sql, std::span<const value> params, row_sink* sink) override;
  db_result begin() override;
  db_result commit() override;
  db_result rollback() override;
  bool in_transaction() const override { return tx_open_; }
  std::string url() const override { return url_; }
  link_security security() const override;
  db_result confirm_durable() override;
  void set_commit_wait_limit(std::chrono::milliseconds limit) override { wait_limit_ = limit; }

 private:
  pg_connection(PGconn* conn, std::string url) : conn_(conn), url_(std::move(url)) {}
  bool broken() const;
  bool reconnect(std::string& error);
  void sync_transaction_state();
  db_result run(const std::string& text, const rewritten_sql& rw, std::span<const value> params,
                row_sink* sink, bool count_changes, int64_t& delivered);
  db_result control(const char* sql);  // BEGIN / COMMIT / ROLLBACK / SAVEPOINT ...
  db_result lost(db_result r);
  db_result open_transaction();
  db_result settle_lost_commit(db_result r);
  // COMMIT's last result (owned by the caller) and what happened while it was awaited.
  struct commit_answer {
    PGresult* res = nullptr;
    bool cancelled = false;  // the wait limit passed and the server was asked to cancel
    bool warned = false;     // the server warned meanwhile
  };
  commit_answer send_commit();
  db_result unconfirmed(std::string why) const;
  std::string transaction_status();

  const rewritten_sql& rewritten(std::string_view sql);

  PGconn* conn_;
  std::string url_;
  std::unordered_map<std::string, rewritten_sql> rewrites_;  // per SQL text
  bool tx_open_ = false;
  bool tx_lost_ = false;  // the transaction went with the connection; commit must not succeed
  // Of the open transaction: its id, the server process running it and when that server started,
  // by which a commit whose answer was lost is looked up afterwards.
  std::string xid_, server_started_;
  int backend_pid_ = 0;
  std::chrono::milliseconds wait_limit_{10000};
  bool warned_ = false;  // set when the server sends a warning
};
