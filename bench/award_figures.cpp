// The award member list and the redemption record report as the register grows.

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"

void award_figures(const bench_context& c) {
  progress_note("award list and record report figures (SQLite)");
  uo_transaction small, large;
  connect_or_fail(small, sqlite_set_url(c.data_dir, set_10k));
  connect_or_fail(large, sqlite_set_url(c.data_dir, set_1m));

  const dv_definition& list = definition_or_fail("dw_member_award");
  const growth_times t = best_growth(list, small, {}, large, {}, 6, 7);
  print_note("dw_member_award: " + fixed(t.large / double(t.large_rows) * 1e9) + " ns per row at " +
             std::to_string(t.large_rows) + " members, " +
             fixed(t.small / double(t.small_rows) * 1e9) + " ns at " + std::to_string(t.small_rows));
  print_figure("award_list_growth", t.per_row_ratio(), "<= 1.5");

  const dv_definition& report = definition_or_fail("dw_member_award_record");
  const std::vector<value> month = {value(report_month_first), value(report_month_last)};
  const growth_times r = best_growth(report, small, month, large, month, 21, 1);
  if (r.small_rows != r.large_rows) bench_fail("the report months differ in size");
  print_note("dw_member_award_record, one month (" + std::to_string(r.large_rows) + " rows): " +
             fixed(r.large * 1000, 2) + " ms out of " + std::to_string(set_1m.award_records) +
             " records, " + fixed(r.small * 1000, 2) + " ms out of " +
             std::to_string(set_10k.award_records));
  print_note("record report plan, sqlite: " + query_plan(large, report, month));
  print_figure("record_report_growth", r.large / r.small, "<= 2");
}
