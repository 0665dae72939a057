#include "bench/bench_data.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <filesystem>

#include "bench/bench_harness.h"
#include "data/demo_data.h"
#include "data/schema.h"

namespace {

// Marks a finished load, so that an interrupted one is made again.
constexpr const char* ready_param = "BENCH_READY";

bool is_ready(const std::string& url) {
  uo_transaction tr;
  if (tr.connect(url) != 0 || !schema_exists(tr)) return false;
  std::vector<value> into;
  const value name[] = {value(ready_param)};
  return tr.select_into("SELECT currentvalue FROM t_sys_param WHERE paramname = :name", name, into) == 0;
}

void run_or_fail(uo_transaction& tr, const std::string& sql, std::span<const value> params = {}) {
  if (tr.execute(sql, params) < 0) bench_fail(sql + ": " + tr.sqlerrtext);
}

// Redemptions of the report month, spread over its days and over the members.
void add_report_month(uo_transaction& tr, const bench_set& s) {
  const int64_t first_seq = s.award_records - report_month_rows + 1;
  for (int64_t i = 0; i < report_month_rows; ++i) {
    const value row[] = {value(first_seq + i), value(1 + (i * 7919) % s.members),
                         value(report_month_first + i % 31)};
    run_or_fail(tr,
                "INSERT INTO t_member_award_record (seqid, memberid, mdname, mdintegral, notes, "
                "timevalidated) VALUES (:seq, :member, '精美雨伞', 150, NULL, :day)",
                row);
  }
}

void load(const std::string& url, const bench_set& s) {
  progress_note(std::string("making ") + s.name + " at " + url);
  stopwatch w(bench_clock::wall);
  uo_transaction tr;
  connect_or_fail(tr, url);
  if (create_schema(tr) != 0) bench_fail("schema: " + tr.sqlerrtext);
  demo_options o;
  o.members = s.members;
  o.articles = s.articles;
  o.award_records = s.award_records > 0 ? s.award_records - report_month_rows : 0;
  o.bills = 0;
  if (generate_demo_data(tr, o) != 0) bench_fail("demo data: " + tr.sqlerrtext);
  if (s.award_records > 0) add_report_month(tr, s);
  run_or_fail(tr, "UPDATE t_sys_param SET currentvalue = NULL WHERE paramname = 'MEMBER_SITE'");
  const value mark[] = {value(ready_param)};
  run_or_fail(tr, "INSERT INTO t_sys_param (paramname, currentvalue) VALUES (:name, 1)", mark);
  if (tr.commit() != 0) bench_fail("commit: " + tr.sqlerrtext);
  // Statistics for the planner, as the server's autovacuum gathers them after a load. A
  // terminal's SQLite file has none, and is read as such.
  if (tr.kind() == backend::postgres) run_or_fail(tr, "ANALYZE");
  // The new file's pages are written out now, not while figures are being timed.
  ::sync();
  progress_note(std::string(s.name) + " made in " + std::to_string(int(w.seconds())) + " s");
}

// Runs one statement of the server's administration (outside any transaction).
bool admin(const std::string& server_url, const std::string& sql, std::string& error) {
  PGconn* c = PQconnectdb(server_url.c_str());
  bool ok = PQstatus(c) == CONNECTION_OK;
  if (ok) {
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);  // "does not exist, skipping"
    PGresult* r = PQexec(c, sql.c_str());
    ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) error = PQresultErrorMessage(r);
    PQclear(r);
  } else {
    error = PQerrorMessage(c);
  }
  PQfinish(c);
  return ok;
}

}  // namespace

void connect_or_fail(uo_transaction& tr, const std::string& url) {
  if (tr.connect(url) != 0) bench_fail("cannot connect: " + tr.sqlerrtext);
}

std::string sqlite_set_path(const std::string& dir, const bench_set& s) {
  return dir + "/" + s.name + ".db";
}

std::string sqlite_set_url(const std::string& dir, const bench_set& s) {
  const std::string path = sqlite_set_path(dir, s), url = "sqlite:" + path;
  if (is_ready(url)) return url;
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
  load(url, s);
  return url;
}

std::string pg_set_url(const std::string& server_url, const bench_set& s) {
  // The server URL names a database after its last '/'; the set's database replaces it.
  const size_t slash = server_url.rfind('/');
  const size_t query = server_url.find('?', slash);
  const std::string url = server_url.substr(0, slash + 1) + s.name +
                          (query == std::string::npos ? "" : server_url.substr(query));
  if (is_ready(url)) return url;
  std::string error;
  admin(server_url, std::string("DROP DATABASE IF EXISTS ") + s.name, error);
  if (!admin(server_url, std::string("CREATE DATABASE ") + s.name, error))
    bench_fail(std::string("cannot create database ") + s.name + ": " + error);
  load(url, s);
  return url;
}
