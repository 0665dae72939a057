// find(), setfilter() and filter(): expressions compiled once, then run in batches over the
// handles of a buffer.

#include <algorithm>

#include "framework/dataview/data_view.h"
#include "framework/dataview/dv_impl.h"
#include "framework/dataview/names.h"

namespace {
constexpr int64_t backward_chunk = 4096;
}

int64_t data_view::find(std::string_view expr, int64_t start, int64_t end) {
  impl& d = *d_;
  std::string err;
  std::unique_ptr<compiled_expr> e = compiled_expr::compile(expr, d.schema, err);
  if (!e) {
    d.error = "find: " + err;
    return -1;
  }
  int64_t n = rowcount();
  bool backwards = end < start;
  // A range that lies wholly after the last row holds nothing to find.
  if (n == 0 || std::min(start, end) > n) return 0;
  start = std::clamp<int64_t>(start, 1, n);
  end = std::clamp<int64_t>(end, 1, n);
  std::span<const uint32_t> rows = d.rows.handles(dv_buffer::primary);
  expr_env env = d.env();
  if (!backwards) {
    std::span<const uint32_t> range(rows.data() + (start - 1), size_t(end - start + 1));
    int64_t i = e->find_first(env, range, start);
    return i < 0 ? 0 : start + i;
  }
  std::vector<uint8_t> passing;
  for (int64_t hi = start; hi >= end; hi -= backward_chunk) {
    int64_t lo = std::max(end, hi - backward_chunk + 1);
    std::span<const uint32_t> range(rows.data() + (lo - 1), size_t(hi - lo + 1));
    e->test_rows(env, range, lo, passing);
    for (int64_t i = int64_t(range.size()) - 1; i >= 0; --i)
      if (passing[size_t(i)]) return lo + i;
  }
  return 0;
}

int data_view::setfilter(std::string_view expr) {
  impl& d = *d_;
  if (trim_blanks(expr).empty()) {
    d.filter_expr.reset();
    d.filter_text.clear();
    return 1;
  }
  std::string err;
  std::unique_ptr<compiled_expr> e = compiled_expr::compile(expr, d.schema, err);
  if (!e) return d.fail("setfilter: " + err);
  d.filter_expr = std::move(e);
  d.filter_text = std::string(expr);
  return 1;
}

void data_view::impl::apply_filter() {
  if (!filter_expr) {
    rows.partition({});
    return;
  }
  rows.partition([&](std::span<const uint32_t> all, std::vector<uint8_t>& passing) {
    filter_expr->test_rows(env(), all, 1, passing);
  });
}

int data_view::filter() {
  impl& d = *d_;
  int64_t old_row = d.current;
  uint32_t keep = old_row > 0 ? d.handle_of(old_row, dv_buffer::primary) : 0;
  d.apply_filter();
  if (d.sort_applied) d.apply_sort();
  d.notify([](dv_listener* l) { l->dv_reset(); });
  d.reseat_current(old_row, keep, old_row > 0);
  return 1;
}
