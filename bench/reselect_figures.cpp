// One member's row read again after the member form saved it, against reading the whole
// register again (what F5 does), over 100,000 members.

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"

void reselect_figures(const bench_context& c) {
  progress_note("reselect_vs_retrieve_100k");
  connect_or_fail(sqlca, sqlite_set_url(c.data_dir, set_100k));
  data_view dv(definition_or_fail("dw_member_maintain"));
  dv.settransobject(&sqlca);
  const double whole = timed_retrieve(dv, {value(1)});
  const int64_t rows = dv.rowcount();
  // Rows spread over the register, each read again by its key.
  constexpr int k_rows = 200;
  const double one = best_seconds(3, [&] {
                       for (int i = 0; i < k_rows; ++i)
                         if (dv.reselectrow(1 + i * (rows / k_rows)) != 1)
                           bench_fail("reselectrow: " + dv.last_error());
                     }) / k_rows;
  sqlca.disconnect();
  print_note("dw_member_maintain over " + std::to_string(rows) + " members: whole read " +
             fixed(whole * 1000) + " ms, one row read again " + fixed(one * 1000, 3) + " ms");
  print_figure("reselect_vs_retrieve_100k", whole / one, ">= 100", 0);
}
