#pragma once
// How long a statement waits for what another session holds, and how such a wait ends. Every
// connection opened afterwards takes the limits: SQLite as its busy timeout, PostgreSQL as
// lock_timeout and statement_timeout. A statement that gives up waiting for a lock fails the
// same way on both: held_elsewhere in its result, with held_elsewhere_text.

#include <chrono>

#include "connection.h"

struct lock_wait_limits {
  // For a row, table or (SQLite) the database file that another session holds.
  std::chrono::milliseconds lock{10000};
  // PostgreSQL: for any one statement. The longest list read, a register of a million members,
  // took 11.6 s on a loaded build machine (bench: pg_longest_list_vs_statement_limit).
  std::chrono::milliseconds statement{180000};
};

lock_wait_limits current_lock_wait_limits();
void set_lock_wait_limits(const lock_wait_limits& limits);

// What a user is told when a statement gave up waiting for another session.
extern const char* const held_elsewhere_text;

// Marks r as a wait given up on: held_elsewhere, the text above, the database's code kept.
db_result& mark_held_elsewhere(db_result& r);
