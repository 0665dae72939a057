#pragma once
// Data views as the figures use them: the registered definitions, and a retrieval into a fresh
// data view timed on its own (construction and destruction of the view are not counted).

#include <cstdint>
#include <string>
#include <vector>

#include "framework/dataview/data_view.h"

// What every group of figures is given.
struct bench_context {
  std::string data_dir;  // SQLite files
  std::string pg_url;    // the benchmark's PostgreSQL server; "" leaves out its figures
};

// The registered definition of that name; stops the benchmark when there is none.
const dv_definition& definition_or_fail(const std::string& name);

// Seconds of the fastest of reps retrievals, each into a new data view; rows read in *rows.
// A failed retrieval stops the benchmark.
double best_retrieve(int reps, const dv_definition& def, uo_transaction& tr,
                     const std::vector<value>& args, int64_t* rows = nullptr);
// One retrieval into dv, timed; a failure stops the benchmark.
double timed_retrieve(data_view& dv, const std::vector<value>& args);

// The figure groups, in the order bench_main runs them.
void retrieve_figures(const bench_context& c);       // retrieve_vs_raw, _vs_qtsql, memory
void growth_figures(const bench_context& c);         // retrieve_growth
void filter_find_figures(const bench_context& c);    // filter_vs_loop, find_vs_loop
void award_figures(const bench_context& c);          // award_list_growth, record_report_growth
void lookup_figures(const bench_context& c);         // choose_member_growth_sqlite, price_query
void lookup_pg_figures(const bench_context& c);      // choose_member_growth_pg
void open_window_figures(const bench_context& c);    // open_maintain_100k
void reselect_figures(const bench_context& c);       // reselect_vs_retrieve_100k
void retrieve_pg_figures(const bench_context& c);    // retrieve_pg_vs_libpq
void redeem_figures(const bench_context& c);         // redeem_scaling_8
void pg_statement_limit_figures(const bench_context& c);  // pg_longest_list_vs_statement_limit
void export_figures(const bench_context& c);         // csv_rows_per_s_100k, pdf_pages_per_s_100k

// A terminal of shop 1 (its util/syncclient.ini in a folder of the data dir, the current
// directory) whose sqlca is connected to the set's SQLite file; end_terminal undoes both.
void start_terminal(const bench_context& c, const struct bench_set& s);
void end_terminal();

// The plan the database picks for a data view's query with these arguments (SQLite's EXPLAIN
// QUERY PLAN details, PostgreSQL's EXPLAIN lines), joined with " | ".
std::string query_plan(uo_transaction& tr, const dv_definition& def, const std::vector<value>& args);

// Best retrieval times of one data view at two sizes, measured in alternating rounds so that
// load from elsewhere on the machine hits both alike: once at the large size and small_reps
// times at the small size per round.
struct growth_times {
  double large = 0, small = 0;  // seconds of the best retrieval
  int64_t large_rows = 0, small_rows = 0;
  double per_row_ratio() const { return (large / double(large_rows)) / (small / double(small_rows)); }
};
growth_times best_growth(const dv_definition& def, uo_transaction& small,
                         const std::vector<value>& small_args, uo_transaction& large,
                         const std::vector<value>& large_args, int rounds, int small_reps);
