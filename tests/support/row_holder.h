#pragma once
// Another session holding a member's row, as an open psql transaction or a terminal stuck
// mid-save does, and lock waits shortened for the connections opened meanwhile.

#include "framework/db/lock_waits.h"
#include "framework/db/transaction.h"

// SQLite knows no row locks: both kinds hold its write lock through an open write transaction.
enum class hold_kind { select_for_update, update };

// Holds the row of memberid on tr, a connection of its own, until tr rolls back; answers whether
// it could. The server ends a PostgreSQL holder left idle for 8 s, so that code that would wait
// without end fails its test instead of hanging it.
inline bool hold_row(uo_transaction& tr, int64_t memberid, hold_kind how) {
  const value id[] = {memberid};
  if (tr.kind() == backend::postgres && tr.execute("SET idle_in_transaction_session_timeout = 8000"))
    return false;
  return tr.begin() == 0 &&
         tr.execute(how == hold_kind::update
                        ? "UPDATE t_member SET notes = notes WHERE memberid = :id"
                        : "SELECT memberid FROM t_member WHERE memberid = :id FOR UPDATE",
                    id) == 0;
}

// Lock waits of this length for the connections opened while it lives.
class short_lock_waits {
 public:
  explicit short_lock_waits(std::chrono::milliseconds lock) : before_(current_lock_wait_limits()) {
    set_lock_wait_limits({lock, before_.statement});
  }
  ~short_lock_waits() { set_lock_wait_limits(before_); }

 private:
  const lock_wait_limits before_;
};
