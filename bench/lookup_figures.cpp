// The choose-member search and the member price query.

#include <algorithm>

#include "bench/bench_data.h"
#include "bench/bench_harness.h"
#include "bench/bench_views.h"

namespace {

// Member numbers are zero-padded to 6 digits up to 999,999 members and to 7 at a million: these
// prefixes each match the ten members 1230..1239.
const std::vector<value> prefix_10k = {value("00123")};
const std::vector<value> prefix_1m = {value("000123")};

void choose_member_growth(const std::string& backend_name, const std::string& small_url,
                          const std::string& large_url) {
  const dv_definition& def = definition_or_fail("dw_choose_member");
  uo_transaction small, large;
  connect_or_fail(small, small_url);
  connect_or_fail(large, large_url);
  const growth_times t = best_growth(def, small, prefix_10k, large, prefix_1m, 21, 1);
  print_note("dw_choose_member '" + prefix_1m[0].as_string() + "' at 1,000,000 members: " +
             std::to_string(t.large_rows) + " rows in " + fixed(t.large * 1000, 3) + " ms; '" +
             prefix_10k[0].as_string() + "' at 10,000: " + std::to_string(t.small_rows) +
             " rows in " + fixed(t.small * 1000, 3) + " ms (" + backend_name + ")");
  print_note("choose member plan, " + backend_name + ": " + query_plan(large, def, prefix_1m));
  print_figure("choose_member_growth_" + backend_name, t.large / t.small, "<= 3");
}

// The price query's article columns without the level prices, read by the same engine.
dv_definition plain_articles(const dv_definition& price_query) {
  dv_definition d = price_query;
  d.name = "bench_plain_articles";
  std::erase_if(d.columns, [](const dv_column& c) {
    return c.name == "aprice" || c.name == "bprice" || c.name == "cprice";
  });
  d.sql = "SELECT t_article.articleid, t_article.udfcode, t_article.name, t_article.spec, "
          "t_article.manufacturer, t_article.unit, t_article.price, t_article.barcode, "
          "t_article.memberdiscount FROM t_article";
  return d;
}

void price_query(const bench_context& c) {
  const dv_definition& def = definition_or_fail("dw_member_price_query");
  const dv_definition plain = plain_articles(def);
  uo_transaction tr;
  connect_or_fail(tr, sqlite_set_url(c.data_dir, set_100k));
  int64_t rows = 0, plain_rows = 0;
  pair_times t;
  t.a = t.b = 1e9;
  for (int i = 0; i < 5; ++i) {
    t.a = std::min(t.a, best_retrieve(1, def, tr, {}, &rows));
    t.b = std::min(t.b, best_retrieve(1, plain, tr, {}, &plain_rows));
  }
  if (rows != plain_rows) bench_fail("price query and plain select read different rows");
  print_note("dw_member_price_query over " + std::to_string(rows) + " articles: " +
             fixed(t.a * 1000) + " ms; the article columns alone " + fixed(t.b * 1000) + " ms");
  print_figure("price_query_100k_vs_plain", t.a / t.b, "<= 3");
}

}  // namespace

void lookup_figures(const bench_context& c) {
  progress_note("choose-member and price query figures");
  choose_member_growth("sqlite", sqlite_set_url(c.data_dir, set_10k), sqlite_set_url(c.data_dir, set_1m));
  price_query(c);
}

void lookup_pg_figures(const bench_context& c) {
  progress_note("choose-member figure (PostgreSQL)");
  choose_member_growth("pg", pg_set_url(c.pg_url, pg_set_10k), pg_set_url(c.pg_url, pg_set_1m));
}
