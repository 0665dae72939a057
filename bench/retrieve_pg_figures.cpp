// The member register read from PostgreSQL: the engine against a plain libpq loop.

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"
#include "bench/typed_rows.h"

namespace {

constexpr Oid int8_oid = 20, numeric_oid = 1700, timestamp_oid = 1114;

// The rows as libpq hands them over; numeric columns keep their declared scale.
struct pg_column : raw_cells {
  Oid type = 0;
  int scale = 0;
};
using pg_table = typed_rows<pg_column>;

// Runs the query with one whole result (PQexecParams) and parses its text cells.
void read_libpq(PGconn* conn, const std::string& sql, pg_table& t) {
  const char* site[] = {"1"};
  PGresult* res = PQexecParams(conn, sql.c_str(), 1, nullptr, site, nullptr, nullptr, 0);
  if (PQresultStatus(res) != PGRES_TUPLES_OK) bench_fail(std::string("libpq: ") + PQresultErrorMessage(res));
  const int n = PQnfields(res), rows = PQntuples(res);
  t = pg_table{};
  t.columns.resize(size_t(n));
  for (int c = 0; c < n; ++c) {
    t.columns[size_t(c)].type = PQftype(res, c);
    // numeric(p, s): the scale is in the low 16 bits of the type modifier less its header.
    if (PQftype(res, c) == numeric_oid) t.columns[size_t(c)].scale = (PQfmod(res, c) - 4) & 0xffff;
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < n; ++c) {
      pg_column& col = t.columns[size_t(c)];
      const bool null = PQgetisnull(res, r, c);
      const char* p = PQgetvalue(res, r, c);
      const size_t len = size_t(PQgetlength(res, r, c));
      col.nulls.push_back(null);
      switch (col.type) {
        case int8_oid: {
          int64_t v = 0;
          if (!null) std::from_chars(p, p + len, v);
          col.longs.push_back(v);
          break;
        }
        case numeric_oid: {
          std::optional<decimal> d = null ? std::nullopt : decimal::parse(std::string_view(p, len), col.scale);
          col.mantissas.push_back(d ? d->mantissa : 0);
          break;
        }
        case timestamp_oid: {
          std::optional<datetime> d = null ? std::nullopt : datetime::parse(std::string_view(p, len));
          col.longs.push_back(d ? d->seconds : 0);
          break;
        }
        default:
          t.add_text(col, p, len);
      }
    }
    ++t.rows;
  }
  PQclear(res);
}

}  // namespace

void retrieve_pg_figures(const bench_context& c) {
  progress_note("retrieve_pg_vs_libpq");
  const std::string url = pg_set_url(c.pg_url, pg_set_100k);
  const dv_definition& def = definition_or_fail("dw_member_maintain");
  uo_transaction tr;
  connect_or_fail(tr, url);
  PGconn* conn = PQconnectdb(url.c_str());
  if (PQstatus(conn) != CONNECTION_OK) bench_fail(std::string("libpq: ") + PQerrorMessage(conn));
  const std::string sql = rewrite_placeholders(def.sql, backend::postgres, nullptr);

  int64_t rows = 0, raw_rows = 0;
  double engine = 1e9, raw = 1e9;
  for (int i = 0; i < 5; ++i) {
    engine = std::min(engine, best_retrieve(1, def, tr, {value(1)}, &rows));
    pg_table t;
    raw = std::min(raw, best_seconds(1, [&] { read_libpq(conn, sql, t); }));
    raw_rows = t.rows;
  }
  PQfinish(conn);
  if (rows != raw_rows) bench_fail("engine and libpq loop read different row counts");
  print_note("dw_member_maintain, " + std::to_string(rows) + " rows from PostgreSQL: engine " +
             fixed(engine * 1000) + " ms, libpq loop " + fixed(raw * 1000) + " ms (best of 5)");
  print_figure("retrieve_pg_vs_libpq", engine / raw, "<= 1.2");
}
