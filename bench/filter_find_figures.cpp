// Filter and find over a million members against hand-written loops over the same column arrays.

#include <algorithm>
#include <cstring>

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"
#include "framework/dataview/storage.h"

namespace {

// integral >= mdintegral, split into the rows shown and the rows filtered out.
void loop_filter(const column_data& integral, const column_data& least, uint32_t rows,
                 std::vector<uint32_t>& shown, std::vector<uint32_t>& hidden) {
  shown.clear();
  hidden.clear();
  shown.reserve(rows);
  hidden.reserve(rows);
  for (uint32_t h = 0; h < rows; ++h) {
    const bool pass = !integral.nulls[h] && !least.nulls[h] && integral.longs[h] >= least.longs[h];
    (pass ? shown : hidden).push_back(h);
  }
}

// Row number of the first memberno equal to key, 0 when none.
int64_t loop_find(const column_data& memberno, uint32_t rows, std::string_view key) {
  for (uint32_t h = 0; h < rows; ++h)
    if (!memberno.nulls[h] && memberno.str_length[h] == key.size() &&
        std::memcmp(memberno.arena + memberno.str_offset[h], key.data(), key.size()) == 0)
      return int64_t(h) + 1;
  return 0;
}

}  // namespace

void filter_find_figures(const bench_context& c) {
  progress_note("filter and find figures (1,000,000 rows)");
  const dv_definition& def = definition_or_fail("dw_member_award");
  uo_transaction tr;
  connect_or_fail(tr, sqlite_set_url(c.data_dir, set_1m));
  data_view dv(def);
  dv.settransobject(&tr);
  timed_retrieve(dv, {});
  const uint32_t rows = uint32_t(dv.rowcount());
  const data_view::storage& s = dv.store();
  const column_data& integral = s.column(def.column_index("integral"));
  const column_data& least = s.column(def.column_index("mdintegral"));
  const column_data& memberno = s.column(def.column_index("memberno"));

  // Freshly retrieved, row r holds handle r - 1: the loops may walk the handles in order.
  // Each run starts from every row shown; restoring them is not part of the time.
  std::vector<uint32_t> shown, hidden;
  double engine_filter = 1e9, loop = 1e9;
  const auto show_all = [&dv] {
    if (dv.setfilter("") < 0 || dv.filter() < 0) bench_fail("no filter refused");
  };
  for (int i = 0; i < 9; ++i) {
    show_all();
    if (dv.setfilter("integral >= mdintegral ") < 0) bench_fail(dv.last_error());
    engine_filter = std::min(engine_filter, best_seconds(1, [&] { (void)dv.filter(); }));
    loop = std::min(loop, best_seconds(1, [&] { loop_filter(integral, least, rows, shown, hidden); }));
  }
  const int64_t engine_shown = dv.rowcount();
  if (engine_shown != int64_t(shown.size())) bench_fail("filter and loop disagree");
  print_note("filter integral >= mdintegral over " + std::to_string(rows) + " rows (" +
             std::to_string(engine_shown) + " pass): engine " + fixed(engine_filter * 1000, 2) +
             " ms, loop " + fixed(loop * 1000, 2) + " ms");
  print_figure("filter_vs_loop", engine_filter / loop, "<= 2");

  show_all();
  const std::string key(s.text(dv.handle(rows), def.column_index("memberno")));
  const std::string expr = "memberno=" + expr_quote(key);
  int64_t found_engine = 0, found_loop = 0;
  pair_times t = best_alternating(
      21, [&] { found_engine = dv.find(expr, 1, rows); },
      [&] { found_loop = loop_find(memberno, rows, key); });
  if (found_engine != rows || found_loop != rows) bench_fail("find did not find the last row");
  print_note("find " + expr + " (the last of " + std::to_string(rows) + " rows): engine " +
             fixed(t.a * 1000, 2) + " ms, loop " + fixed(t.b * 1000, 2) + " ms");
  print_figure("find_vs_loop", t.a / t.b, "<= 2");
}
