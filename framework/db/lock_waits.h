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
  // PostgreSQL: for any one statement; well above the longest read of the largest list.
  std::chrono::milliseconds statement{120000};
};

lock_wait_limits current_lock_wait_limits();
void set_lock_wait_limits(const lock_wait_limits& limits);

// What a user is told when a statement gave up waiting for another session.
extern const char* const held_elsewhere_text;

// Marks r as a wait given up on: held_elsewhere, the text above, the database's code kept.
db_result& mark_held_elsewhere(db_result& r);
