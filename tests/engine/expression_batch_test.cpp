// The batch forms (find_first, test_rows) agree with test() row by row, and expr_quote makes a
// literal that matches exactly its text.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "expression_fixture.h"

namespace {

// Random members with nulls in every column, values chosen to collide often.
expr_table random_members(int rows, unsigned seed) {
  expr_table t;
  t.add("memberno", col_type::string_t)
      .add("code", col_type::string_t)
      .add("integral", col_type::long_t)
      .add("mdintegral", col_type::long_t)
      .add("amount", col_type::decimal_t, 2)
      .add("rate", col_type::decimal_t, 4)
      .add("lastupdated", col_type::datetime_t)
      .add("adddate", col_type::datetime_t);
  std::mt19937 g(seed);
  auto pick = [&](int n) { return int(g() % unsigned(n)); };
  const char* texts[] = {"", "A001", "A002", "a001", "A001 ", "B", "会员", "\"", "\\"};
  for (int i = 0; i < rows; ++i) {
    auto maybe = [&](value v) { return pick(8) == 0 ? value() : v; };
    const std::string amount = std::to_string(pick(41) - 20) + "." + std::to_string(pick(4) * 25);
    const std::string rate = std::to_string(pick(41) - 20) + "." + std::to_string(pick(3) * 5);
    t.row({maybe(texts[pick(9)]), maybe(texts[pick(9)]), maybe(int64_t(pick(41) - 20)),
           maybe(int64_t(pick(41) - 20)), maybe(value(amount)), maybe(value(rate)),
           maybe(datetime::from_parts(2026, 3, 1 + pick(3))),
           maybe(datetime::from_parts(2026, 3, 1 + pick(3)))});
  }
  return t;
}

const char* const batch_expressions[] = {
    // column OP column
    "integral >= mdintegral ", "integral = mdintegral", "integral <> mdintegral",
    "integral < amount", "amount <= integral", "amount > rate", "rate = amount",
    "memberno = code", "memberno < code", "lastupdated >= adddate", "adddate = lastupdated",
    // column OP literal, either way round
    "memberno=\"A001\"", "memberno = ''", "memberno <> 'A001'", "memberno > 'A001'",
    "'A001' <= memberno", "integral > 5", "5 < integral", "integral = 5.0", "integral >= 5.5",
    "integral > -3", "amount = 1.5", "amount >= 2", "rate < -1.05", "rate = 10",
    "amount > 0.001", "integral <= 9223372036854775807.5",
    // and / or / not of those
    "integral >= mdintegral and memberno = 'A001'", "integral > 5 or amount < 0",
    "not (integral > 5)", "not (memberno = 'A001') or (rate > 0 and integral < 0)",
    "(integral = 1 or integral = 2) and not (amount = rate)",
    // not batch shapes: evaluated per row
    "isnull(memberno)", "len(memberno) = 4", "getrow() > 10", "integral + 1 > mdintegral",
    "if(isnull(integral), 0, integral) >= mdintegral", "integral", "memberno = null",
};

TEST(expression_batch, agrees_with_test_row_by_row) {
  expr_table t = random_members(3000, 7);
  const expr_env env = t.env();
  // All rows in storage order, then a shuffled subset as a filtered, sorted view would hold.
  std::vector<uint32_t> all(t.rows());
  for (uint32_t i = 0; i < t.rows(); ++i) all[i] = i;
  std::vector<uint32_t> some = all;
  std::shuffle(some.begin(), some.end(), std::mt19937(3));
  some.resize(some.size() / 3);
  for (const char* text : batch_expressions) {
    std::string error;
    auto e = compiled_expr::compile(text, t, error);
    ASSERT_TRUE(e) << text << ": " << error;
    for (const auto* rows : {&all, &some}) {
      const int64_t first_position = rows == &all ? 1 : 100;
      std::vector<uint8_t> passing(3, 9);  // resized and overwritten
      e->test_rows(env, *rows, first_position, passing);
      ASSERT_EQ(passing.size(), rows->size());
      int64_t first = -1, count = 0;
      for (size_t i = 0; i < rows->size(); ++i) {
        const bool expected = e->test(env, (*rows)[i], first_position + int64_t(i));
        ASSERT_EQ(passing[i], uint8_t(expected)) << text << " at " << i;
        if (expected && first < 0) first = int64_t(i);
        count += expected;
      }
      EXPECT_EQ(e->find_first(env, *rows, first_position), first) << text;
      if (std::string_view(text).find("null") == std::string_view::npos)
        EXPECT_GT(count, 0) << text << ": the data should give some matches";
      // A search that starts past the first match finds the next.
      if (first >= 0 && size_t(first + 1) < rows->size()) {
        const std::span<const uint32_t> rest(rows->data() + first + 1, rows->size() - first - 1);
        const int64_t next = e->find_first(env, rest, first_position + first + 1);
        int64_t expected_next = -1;
        for (size_t i = 0; i < rest.size() && expected_next < 0; ++i)
          if (passing[size_t(first) + 1 + i]) expected_next = int64_t(i);
        EXPECT_EQ(next, expected_next) << text;
      }
    }
    std::vector<uint8_t> none;
    e->test_rows(env, {}, 1, none);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(e->find_first(env, {}, 1), -1);
  }
}

TEST(expression_batch, storage_without_the_columns_matches_nothing) {
  expr_table t = random_members(10, 1);
  std::string error;
  auto e = compiled_expr::compile("adddate >= lastupdated", t, error);
  ASSERT_TRUE(e) << error;
  expr_env env = t.env();
  env.columns = env.columns.first(3);
  const uint32_t rows[] = {0, 1, 2};
  std::vector<uint8_t> passing;
  e->test_rows(env, rows, 1, passing);
  EXPECT_EQ(passing, std::vector<uint8_t>(3, 0));
  EXPECT_EQ(e->find_first(env, rows, 1), -1);
  EXPECT_TRUE(e->eval(env, 0, 1).is_null());
}

TEST(expression_quote, a_quoted_text_matches_exactly_that_text) {
  std::string long_text;
  for (int i = 0; i < 1000; ++i) long_text += "a\"\\'\n\t会"[i % 8];
  const std::string texts[] = {"",          "A001",      "\"",         "\\",      "\\\"",
                               "a\"b",      "a\\b",      "\"A001\"",   "'",       "a'b\"c",
                               "\\n",       "\n",        "\t",         "x\\",     "会员 01",
                               " A001 ",    "A001\" or memberno <> \"", std::string("\0z", 2),
                               long_text};
  expr_table t;
  t.add("memberno", col_type::string_t);
  for (const std::string& s : texts) {
    t.row({s});
    t.row({s + " "});
    t.row({s.empty() ? "x" : s.substr(1)});
  }
  const expr_env env = t.env();
  std::vector<uint32_t> all(t.rows());
  for (uint32_t i = 0; i < t.rows(); ++i) all[i] = i;
  for (const std::string& s : texts) {
    std::string error;
    auto e = compiled_expr::compile("memberno=" + expr_quote(s), t, error);
    ASSERT_TRUE(e) << expr_quote(s) << ": " << error;
    std::vector<uint8_t> passing;
    e->test_rows(env, all, 1, passing);
    for (uint32_t h = 0; h < t.rows(); ++h) {
      const bool same = e->eval(env, h, 1) == value(1);
      EXPECT_EQ(bool(passing[h]), same);
      const value cell = [&] {
        const column_data& c = env.columns[0];
        return value(std::string_view(c.arena + c.str_offset[h], c.str_length[h]));
      }();
      EXPECT_EQ(same, cell.as_string() == s) << expr_quote(s) << " row " << h;
    }
  }
  EXPECT_EQ(expr_quote("a\"b\\c\nd\te"), "\"a\\\"b\\\\c\\nd\\te\"");
}

}  // namespace
