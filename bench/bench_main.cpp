// member_bench: prints every benchmark figure of the member module, one line each,
//   name ratio  # target ...
// with notes on what was measured as lines starting with '#'. PostgreSQL figures run when
// MEMBER_TEST_PG_URL names a server (bench/run starts a throwaway one).
//   member_bench [--data DIR] [--only GROUP,...]
// Groups: retrieve growth filter award lookup open export pg_retrieve pg_lookup redeem pg_limit.

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "bench/bench_harness.h"
#include "bench/bench_views.h"
#include "framework/module/module_loader.h"
#include "framework/runtime/runtime.h"
#include "framework/ui/install_ui.h"

namespace {

struct group {
  const char* name;
  void (*run)(const bench_context&);
  bool needs_pg;
};

const group groups[] = {
    {"retrieve", retrieve_figures, false},
    {"growth", growth_figures, false},
    {"filter", filter_find_figures, false},
    {"award", award_figures, false},
    {"lookup", lookup_figures, false},
    {"open", open_window_figures, false},
    {"export", export_figures, false},
    {"reselect", reselect_figures, false},
    {"pg_retrieve", retrieve_pg_figures, true},
    {"pg_lookup", lookup_pg_figures, true},
    {"redeem", redeem_figures, true},
    {"pg_limit", pg_statement_limit_figures, true},
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  install_ui();
  // The member module, loaded as the host loads it: its windows and data views are what is timed.
  std::string reason;
  if (!load_module(MEMBER_MODULE_FILE, reason)) bench_fail("cannot load the member module: " + reason);
  runtime::set_messagebox_handler({});  // no box waits for a person

  bench_context c;
  c.data_dir = "bench-data";
  std::set<std::string> only;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--data" && i + 1 < argc) {
      c.data_dir = argv[++i];
    } else if (a == "--only" && i + 1 < argc) {
      std::stringstream list(argv[++i]);
      for (std::string g; std::getline(list, g, ',');) only.insert(g);
    } else {
      bench_fail("usage: member_bench [--data DIR] [--only GROUP,...]");
    }
  }
  if (const char* pg = std::getenv("MEMBER_TEST_PG_URL")) c.pg_url = pg;
  std::filesystem::create_directories(c.data_dir);

  stopwatch total(bench_clock::wall);
  for (const group& g : groups) {
    if (!only.empty() && !only.count(g.name)) continue;
    if (g.needs_pg && c.pg_url.empty()) {
      print_note(std::string(g.name) + ": not measured, no PostgreSQL server (MEMBER_TEST_PG_URL unset)");
      continue;
    }
    const bench_clock clock = g.needs_pg ? bench_clock::wall : bench_clock::process_cpu;
    set_bench_clock(clock);
    print_note(std::string(g.name) + " figures, timed by " + bench_clock_name(clock));
    g.run(c);
  }
  progress_note("all figures in " + fixed(total.seconds(), 0) + " s");
  return 0;
}
