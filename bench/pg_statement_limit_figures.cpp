// The longest list reads from PostgreSQL against the time limit every terminal's session puts on
// a statement: the whole register of a million members must read well within it.

#include <algorithm>

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"
#include "framework/db/lock_waits.h"

void pg_statement_limit_figures(const bench_context& c) {
  progress_note("statement limit figure (PostgreSQL)");
  uo_transaction tr;
  connect_or_fail(tr, pg_set_url(c.pg_url, pg_set_1m));
  struct list_read {
    const char* view;
    std::vector<value> args;
  };
  // Every shop's members (MEMBER_SITE is null); the choose-member search with an empty text.
  const list_read reads[] = {{"dw_member_maintain", {value(int64_t(1))}},
                             {"dw_member_view", {value(int64_t(1))}},
                             {"dw_member_award", {}},
                             {"dw_choose_member", {value("")}}};
  double slowest = 0;
  for (const list_read& r : reads) {
    int64_t rows = 0;
    // The worst of two reads: the limit has to hold for every one.
    const double t = std::max(best_retrieve(1, definition_or_fail(r.view), tr, r.args, &rows),
                              best_retrieve(1, definition_or_fail(r.view), tr, r.args));
    print_note(std::string(r.view) + ": " + std::to_string(rows) + " rows from PostgreSQL in " +
               fixed(t, 2) + " s");
    slowest = std::max(slowest, t);
  }
  const double limit = double(current_lock_wait_limits().statement.count()) / 1000;
  print_note("statement_timeout of every session: " + fixed(limit, 0) + " s");
  print_figure("pg_longest_list_vs_statement_limit", slowest / limit, "<= 0.1");
}
