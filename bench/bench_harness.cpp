#include "bench/bench_harness.h"

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

double best_seconds(int reps, const std::function<void()>& fn) {
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i < reps; ++i) {
    stopwatch w;
    fn();
    best = std::min(best, w.seconds());
  }
  return best;
}

pair_times best_alternating(int reps, const std::function<void()>& a, const std::function<void()>& b) {
  pair_times t{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  for (int i = 0; i < reps; ++i) {
    t.a = std::min(t.a, best_seconds(1, a));
    t.b = std::min(t.b, best_seconds(1, b));
  }
  return t;
}

void print_figure(const std::string& name, double value, const std::string& target, int places) {
  std::printf("%s %.*f  # target %s\n", name.c_str(), places, value, target.c_str());
  std::fflush(stdout);
}

void print_note(const std::string& text) {
  std::printf("# %s\n", text.c_str());
  std::fflush(stdout);
}

void progress_note(const std::string& text) {
  std::fprintf(stderr, "... %s\n", text.c_str());
  std::fflush(stderr);
}

std::string fixed(double v, int places) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", places, v);
  return buf;
}

size_t heap_in_use() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

void bench_fail(const std::string& what) {
  std::fprintf(stderr, "member_bench: %s\n", what.c_str());
  std::exit(1);
}

namespace {
bench_clock the_clock = bench_clock::process_cpu;
}

void set_bench_clock(bench_clock c) { the_clock = c; }
bench_clock current_bench_clock() { return the_clock; }
const char* bench_clock_name(bench_clock c) {
  return c == bench_clock::wall ? "wall-clock time" : "CPU time of the process";
}

double stopwatch::now(bench_clock c) {
  timespec ts{};
  clock_gettime(c == bench_clock::wall ? CLOCK_MONOTONIC : CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
