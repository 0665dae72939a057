#pragma once
// The databases the figures read: demo data of a few sizes, in SQLite files of the data folder
// and in databases of the benchmark's PostgreSQL server. Each is made once and reused while it
// carries the mark of a finished load.

#include <cstdint>
#include <string>

#include "framework/db/transaction.h"

struct bench_set {
  const char* name;       // file and database name
  int64_t members;
  int64_t articles;
  int64_t award_records;  // including the report month's rows
};

// The sizes the figures compare. Members cover every shop (MEMBER_SITE is null), so the member
// register lists them all.
inline constexpr bench_set set_10k{"bench_10k", 10000, 100, 10000};
inline constexpr bench_set set_100k{"bench_100k", 100000, 100000, 0};
inline constexpr bench_set set_1m{"bench_1m", 1000000, 10, 1000000};
// PostgreSQL figures need the members only.
inline constexpr bench_set pg_set_10k{"bench_10k", 10000, 10, 0};
inline constexpr bench_set pg_set_100k{"bench_100k", 100000, 10, 0};
inline constexpr bench_set pg_set_1m{"bench_1m", 1000000, 10, 0};

// One month of redemptions that every set with award records holds the same number of: the
// record report reads it out of 10,000 records and out of 1,000,000.
inline constexpr int64_t report_month_first = 20250301;
inline constexpr int64_t report_month_last = 20250331;
inline constexpr int64_t report_month_rows = 500;

// URL of the set's SQLite file in dir, made first when missing or unfinished.
std::string sqlite_set_url(const std::string& dir, const bench_set& s);
// Path of that file (for readers that open it themselves).
std::string sqlite_set_path(const std::string& dir, const bench_set& s);
// URL of the set's database on the server of server_url (a PostgreSQL URL), made when missing.
std::string pg_set_url(const std::string& server_url, const bench_set& s);

// Connects tr to url; stops the benchmark when it cannot.
void connect_or_fail(uo_transaction& tr, const std::string& url);
