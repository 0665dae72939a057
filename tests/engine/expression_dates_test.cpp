// Date functions: parsing calendar dates, whole years around birthdays and leap days, the
// member grid's age expression.
#include <gtest/gtest.h>

#include "expression_fixture.h"

namespace {

class expression_dates : public ::testing::Test {
 public:
  void SetUp() override {
    t.add("birthday", col_type::long_t).add("text", col_type::string_t);
  }
  // Evaluates text on a row holding birthday and text, with today's date.
  value run(const std::string& text, value birthday = nullptr, value cell = nullptr,
            datetime today = datetime::from_parts(2026, 3, 14)) {
    expr_table rows = t;
    rows.row({birthday, cell});
    std::string error;
    auto e = compiled_expr::compile(text, rows, error);
    EXPECT_TRUE(e) << text << ": " << error;
    return e ? e->eval(rows.env(today), 0, 1) : value();
  }
  expr_table t;
};

datetime day(int y, int m, int d) { return datetime::from_parts(y, m, d); }

TEST_F(expression_dates, date_reads_valid_calendar_dates_only) {
  struct {
    const char* text;
    bool valid;
    int y, m, d;
  } cases[] = {
      {"2009-07-05", true, 2009, 7, 5},   {"2009/07/05", true, 2009, 7, 5},
      {"2009-7-5", true, 2009, 7, 5},     {" 2009-07-05 ", true, 2009, 7, 5},
      {"2000-02-29", true, 2000, 2, 29},  {"2024-02-29", true, 2024, 2, 29},
      {"0001-01-01", true, 1, 1, 1},      {"9999-12-31", true, 9999, 12, 31},
      {"2009-02-30", false, 0, 0, 0},     {"2100-02-29", false, 0, 0, 0},
      {"2023-02-29", false, 0, 0, 0},     {"0000-00-00", false, 0, 0, 0},
      {"9999-99-99", false, 0, 0, 0},     {"2009-13-01", false, 0, 0, 0},
      {"2009-00-10", false, 0, 0, 0},     {"2009-04-31", false, 0, 0, 0},
      {"2009-02/03", false, 0, 0, 0},     {"09-02-03", false, 0, 0, 0},
      {"2009-02-03x", false, 0, 0, 0},    {"2009-02-03 10:00:00", false, 0, 0, 0},
      {"", false, 0, 0, 0},               {"abc", false, 0, 0, 0},
      {"2009-002-03", false, 0, 0, 0},    {"-2009-02-03", false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const value v = run("date(text)", nullptr, c.text);
    if (!c.valid) {
      EXPECT_TRUE(v.is_null()) << c.text << " gave " << v.to_text();
      continue;
    }
    ASSERT_TRUE(v.is_datetime()) << c.text;
    EXPECT_EQ(v.as_datetime(), day(c.y, c.m, c.d)) << c.text;
  }
}

TEST_F(expression_dates, years_after_counts_completed_years) {
  struct {
    datetime from, to;
    int64_t years;
  } cases[] = {
      {day(1990, 3, 15), day(2026, 3, 14), 35},  // the day before the birthday
      {day(1990, 3, 15), day(2026, 3, 15), 36},  // on the birthday
      {day(1990, 3, 15), day(2026, 12, 31), 36},
      {day(1990, 3, 15), day(1990, 3, 15), 0},
      {day(1990, 3, 15), day(1991, 3, 14), 0},
      {day(2000, 2, 29), day(2001, 2, 28), 0},   // leap-day birthday in a common year: 1 March
      {day(2000, 2, 29), day(2001, 3, 1), 1},
      {day(2000, 2, 29), day(2004, 2, 28), 3},   // in a leap year: 29 February
      {day(2000, 2, 29), day(2004, 2, 29), 4},
      {day(2000, 2, 29), day(2100, 3, 1), 100},
      {day(2000, 2, 29), day(2100, 2, 28), 99},
      {day(1999, 12, 31), day(2000, 1, 1), 0},
      {day(2026, 3, 15), day(1990, 3, 15), -36},  // a date after the second one
  };
  for (const auto& c : cases) {
    expr_table rows;
    rows.add("d1", col_type::datetime_t).add("d2", col_type::datetime_t);
    rows.row({c.from, c.to});
    std::string error;
    auto e = compiled_expr::compile("years_after(d1, d2)", rows, error);
    ASSERT_TRUE(e) << error;
    const value v = e->eval(rows.env(), 0, 1);
    ASSERT_TRUE(v.is_long()) << c.from.to_string() << " " << c.to.to_string();
    EXPECT_EQ(v.as_long(), c.years) << c.from.to_string() << " to " << c.to.to_string();
  }
  EXPECT_TRUE(run("years_after(date(text), today())").is_null());
  EXPECT_TRUE(run("years_after(today(), date(text))", nullptr, "2026-02-30").is_null());
}

TEST_F(expression_dates, days_after_counts_whole_days) {
  EXPECT_EQ(run("daysafter(date('2026-03-01'), date('2026-03-14'))").as_long(), 13);
  EXPECT_EQ(run("daysafter(date('2026-03-14'), date('2026-03-01'))").as_long(), -13);
  EXPECT_EQ(run("daysafter(date('2024-02-28'), date('2024-03-01'))").as_long(), 2);
  EXPECT_EQ(run("daysafter(date('1969-12-31'), date('1970-01-01'))").as_long(), 1);
  EXPECT_EQ(run("daysafter(date('1899-12-31'), date('2000-01-01'))").as_long(), 36525);
  // A time of day plays no part.
  EXPECT_EQ(run("daysafter(today(), date('2026-03-15'))", nullptr, nullptr,
                datetime::from_parts(2026, 3, 14, 23, 59, 59))
                .as_long(),
            1);
}

TEST_F(expression_dates, age_expressions_of_the_member_grid) {
  const char* days_age = " int(daysafter( date(string( birthday,'####-##-##' )) , today()  )   / 365)";
  const char* years_age = "years_after(date(string(birthday, '####-##-##')), today())";
  EXPECT_EQ(run(days_age, 19900315).as_long(), 36);  // 13148 days / 365
  EXPECT_EQ(run(years_age, 19900315).as_long(), 35);
  EXPECT_EQ(run(years_age, 19900314).as_long(), 36);
  EXPECT_EQ(run(years_age, 20000229, nullptr, day(2026, 2, 28)).as_long(), 25);
  EXPECT_EQ(run(years_age, 20000229, nullptr, day(2026, 3, 1)).as_long(), 26);
  // Birthdays that are no date give no age.
  for (value birthday : {value(), value(0), value(19900230), value(99999999), value(1990315),
                         value(-19900315), value(199003150)}) {
    EXPECT_TRUE(run(days_age, birthday).is_null()) << birthday.to_text();
    EXPECT_TRUE(run(years_age, birthday).is_null()) << birthday.to_text();
  }
}

}  // namespace
