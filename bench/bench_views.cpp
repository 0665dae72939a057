#include "bench/bench_views.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "framework/runtime/runtime.h"

const dv_definition& definition_or_fail(const std::string& name) {
  const dv_definition* d = find_definition(name);
  if (!d) bench_fail("no data view named " + name + " is registered");
  return *d;
}

double timed_retrieve(data_view& dv, const std::vector<value>& args) {
  stopwatch w;
  const int64_t rc = dv.retrieve(args);
  const double s = w.seconds();
  if (rc < 0) bench_fail(dv.definition().name + ": " + dv.last_error());
  return s;
}

double best_retrieve(int reps, const dv_definition& def, uo_transaction& tr,
                     const std::vector<value>& args, int64_t* rows) {
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i < reps; ++i) {
    auto dv = std::make_unique<data_view>(def);
    dv->settransobject(&tr);
    best = std::min(best, timed_retrieve(*dv, args));
    if (rows) *rows = dv->rowcount();
  }
  return best;
}

namespace {

class plan_sink : public row_sink {
 public:
  bool on_row(const db_row& row) override {
    if (!text.empty()) text += " | ";
    text += std::string(row.get_text(row.column_count() - 1));
    return true;
  }
  std::string text;
};

}  // namespace

std::string query_plan(uo_transaction& tr, const dv_definition& def, const std::vector<value>& args) {
  // Host variables bind in the order they first appear, each from its retrieval argument.
  std::vector<std::string> names;
  rewrite_placeholders(def.sql, tr.kind(), &names);
  std::vector<value> params;
  for (const std::string& n : names) {
    size_t a = 0;
    while (a < def.arguments.size() && def.arguments[a].name != n) ++a;
    if (a == def.arguments.size()) bench_fail(def.name + ": no argument :" + n);
    params.push_back(args[a]);
  }
  plan_sink plan;
  const std::string explain =
      (tr.kind() == backend::sqlite ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + def.sql;
  if (tr.query(explain, params, plan) < 0) bench_fail("plan of " + def.name + ": " + tr.sqlerrtext);
  return plan.text;
}

growth_times best_growth(const dv_definition& def, uo_transaction& small,
                         const std::vector<value>& small_args, uo_transaction& large,
                         const std::vector<value>& large_args, int rounds, int small_reps) {
  growth_times t;
  t.large = t.small = std::numeric_limits<double>::infinity();
  best_retrieve(1, def, large, large_args);  // the file or server cache warmed
  for (int i = 0; i < rounds; ++i) {
    t.large = std::min(t.large, best_retrieve(1, def, large, large_args, &t.large_rows));
    t.small = std::min(t.small, best_retrieve(small_reps, def, small, small_args, &t.small_rows));
  }
  return t;
}

void start_terminal(const bench_context& c, const bench_set& s) {
  // The terminal's shop number comes from util/syncclient.ini in the current directory.
  const std::filesystem::path terminal = std::filesystem::path(c.data_dir) / "terminal";
  std::filesystem::create_directories(terminal / "util");
  std::ofstream(terminal / "util" / "syncclient.ini") << "[Site]\nID=1\n";
  runtime::set_current_directory(terminal.string());
  connect_or_fail(sqlca, sqlite_set_url(c.data_dir, s));
}

void end_terminal() {
  sqlca.disconnect();
  runtime::set_current_directory(std::nullopt);
}
