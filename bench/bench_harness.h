#pragma once
// Timing and reporting for the benchmark figures: best-of-N wall-clock times measured in the
// same run, one output line per figure ("name ratio  # target ..."), comments starting with '#',
// and the heap in use, for memory figures.

#include <cstddef>
#include <functional>
#include <string>

// Seconds of the fastest of `reps` runs of fn.
double best_seconds(int reps, const std::function<void()>& fn);

// Times a and b alternately, reps times each, so that load from elsewhere on the machine hits
// both alike. Answers the best time of each.
struct pair_times {
  double a = 0, b = 0;
};
pair_times best_alternating(int reps, const std::function<void()>& a, const std::function<void()>& b);

// Prints "name value  # target" on standard output at once.
void print_figure(const std::string& name, double value, const std::string& target, int places = 3);
// Prints "# text": plans, row counts and how a figure was measured.
void print_note(const std::string& text);
// Progress for the person waiting (standard error, so standard output holds only the figures).
void progress_note(const std::string& text);

// v with `places` decimals, for notes.
std::string fixed(double v, int places = 1);

// Bytes the C heap has handed out and not taken back (glibc's mallinfo2).
size_t heap_in_use();

// Stops the process with a message on standard error: a figure cannot be measured.
[[noreturn]] void bench_fail(const std::string& what);

// What the timings count. Figures whose work all runs in this process count the CPU time of
// the process (every thread, user and system), which work elsewhere on a shared machine does
// not inflate; figures whose work is partly done by a database server count wall-clock time.
enum class bench_clock { process_cpu, wall };
void set_bench_clock(bench_clock c);
bench_clock current_bench_clock();
const char* bench_clock_name(bench_clock c);

class stopwatch {
 public:
  stopwatch() : stopwatch(current_bench_clock()) {}
  explicit stopwatch(bench_clock c) : clock_(c), start_(now(c)) {}
  double seconds() const { return now(clock_) - start_; }

 private:
  static double now(bench_clock c);
  bench_clock clock_;
  double start_;
};
