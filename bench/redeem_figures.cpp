// Points redemptions per second on PostgreSQL with eight terminals against one, each terminal
// its own connection serving its own members, through the redemption unit the dialog runs.

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "award/member_award_redeem.h"
#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"

namespace {

constexpr int max_terminals = 8;
constexpr int64_t members_per_terminal = 1000;
constexpr int64_t award_points = 150;
constexpr double seconds_per_run = 3;

std::atomic<int64_t> failures{0};

// Redemptions per second of `count` terminals redeeming for seconds_per_run.
double redemptions_per_second(std::vector<std::unique_ptr<uo_transaction>>& terminals, int count) {
  std::atomic<bool> stop{false};
  std::atomic<int> ready{0};
  std::atomic<int64_t> done{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < count; ++t)
    threads.emplace_back([&, t] {
      uo_transaction& tr = *terminals[size_t(t)];
      ready.fetch_add(1);
      while (ready.load() < count) std::this_thread::yield();
      for (int64_t i = 0; !stop.load(std::memory_order_relaxed); ++i) {
        const int64_t member = t * members_per_terminal + 1 + i % members_per_terminal;
        award_redemption redemption;
        if (member_award_redeem(tr, redemption, member, award_points, std::string("精美雨伞"),
                                std::nullopt, 20250315) == redeem_done)
          done.fetch_add(1, std::memory_order_relaxed);
      }
    });
  while (ready.load() < count) std::this_thread::yield();
  stopwatch w;
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds_per_run));
  stop = true;
  for (std::thread& th : threads) th.join();
  return double(done.load()) / w.seconds();
}

}  // namespace

void redeem_figures(const bench_context& c) {
  progress_note("redeem_scaling_8 (PostgreSQL, " + fixed(seconds_per_run * 6, 0) + " s)");
  const std::string url = pg_set_url(c.pg_url, pg_set_100k);
  {
    uo_transaction tr;
    connect_or_fail(tr, url);
    const value last[] = {value(max_terminals * members_per_terminal)};
    if (tr.execute("UPDATE t_member SET integral = 1000000000 WHERE memberid <= :last", last) < 0 ||
        tr.commit() != 0)
      bench_fail("points for the redeeming members: " + tr.sqlerrtext);
  }
  set_sql_error_reporter([](const std::string&, const std::string&) { failures.fetch_add(1); });
  std::vector<std::unique_ptr<uo_transaction>> terminals;
  for (int t = 0; t < max_terminals; ++t) {
    terminals.push_back(std::make_unique<uo_transaction>());
    connect_or_fail(*terminals.back(), url);
  }
  double one = 0, eight = 0;
  for (int i = 0; i < 3; ++i) {
    one = std::max(one, redemptions_per_second(terminals, 1));
    eight = std::max(eight, redemptions_per_second(terminals, max_terminals));
  }
  set_sql_error_reporter(nullptr);
  print_note("redemptions per second: " + fixed(one, 0) + " with 1 terminal, " + fixed(eight, 0) +
             " with 8 (best of 3 runs of " + fixed(seconds_per_run, 0) + " s); " +
             std::to_string(failures.load()) + " redemptions failed");
  print_figure("redeem_scaling_8", eight / one, ">= 1.5");
}
