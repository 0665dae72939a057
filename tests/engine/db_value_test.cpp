// Exact decimals, datetimes, values and GBK lengths.
#include <gtest/gtest.h>

#include "framework/db/backend_support.h"
#include "framework/value/value.h"

namespace {

std::string parsed(std::string_view text, int scale = -1) {
  auto d = decimal::parse(text, scale);
  return d ? d->to_string() : "none";
}

TEST(decimal_test, parse_and_round) {
  struct row {
    const char* text;
    int scale;
    const char* expect;
  } rows[] = {
      {"155", -1, "155"},          {"-12.5", -1, "-12.5"},     {"  7.250 ", -1, "7.250"},
      {"+3", -1, "3"},             {".5", -1, "0.5"},          {"5.", -1, "5"},
      {"0.125", 2, "0.13"},        {"-0.125", 2, "-0.13"},     {"0.124", 2, "0.12"},
      {"2.5", 0, "3"},             {"-2.5", 0, "-3"},          {"1.005", 2, "1.01"},
      {"12", 4, "12.0000"},        {"-0.004", 2, "0.00"},      {"99.995", 2, "100.00"},
      {"1e3", -1, "none"},         {"", -1, "none"},           {"-", -1, "none"},
      {"1.2.3", -1, "none"},       {"12a", -1, "none"},        {"1 2", -1, "none"},
      {"0.1234567890123456789", -1, "0.123456789012345679"},
      {"123456789012345678901234567890123456789", -1, "none"},
  };
  for (const row& r : rows) EXPECT_EQ(parsed(r.text, r.scale), r.expect) << r.text << " @" << r.scale;
}

TEST(decimal_test, format_general_long_and_double) {
  decimal d = *decimal::parse("-1234.5600");
  EXPECT_EQ(d.to_string(), "-1234.5600");
  EXPECT_EQ(d.to_general(), "-1234.56");
  EXPECT_EQ(d.format(1), "-1234.6");
  EXPECT_EQ(d.format(0), "-1235");
  EXPECT_EQ(d.to_long(), -1234);
  EXPECT_DOUBLE_EQ(d.to_double(), -1234.56);
  EXPECT_EQ(decimal::parse("-0.00")->to_general(), "0");
  EXPECT_EQ(decimal::parse("0.05")->to_string(), "0.05");
  EXPECT_EQ(decimal::from_long(-7).format(2), "-7.00");
}

TEST(decimal_test, compare_ignores_scale) {
  struct row {
    const char *a, *b;
    int expect;
  } rows[] = {
      {"1.50", "1.5", 0},   {"-0.5", "0.5", -1},  {"-1.5", "-1.2", -1}, {"10", "9.999", 1},
      {"0", "-0.000", 0},   {"123456789012345678.5", "123456789012345678.49", 1},
      {"0.000000000000000001", "0", 1},
  };
  for (const row& r : rows) {
    decimal a = *decimal::parse(r.a), b = *decimal::parse(r.b);
    EXPECT_EQ(a.compare(b), r.expect) << r.a << " vs " << r.b;
    EXPECT_EQ(b.compare(a), -r.expect) << r.b << " vs " << r.a;
  }
  EXPECT_TRUE(*decimal::parse("2.10") == *decimal::parse("2.1"));
}

TEST(decimal_test, arithmetic_is_exact) {
  auto d = [](const char* t) { return *decimal::parse(t); };
  EXPECT_EQ((d("0.1") + d("0.2")).to_string(), "0.3");
  EXPECT_EQ((d("10") - d("0.01")).to_string(), "9.99");
  EXPECT_EQ((d("12.3456") * d("0.95")).rescale(4)->to_string(), "11.7283");
  EXPECT_EQ(d("155.00").divide(d("10"), 14)->to_general(), "15.5");
  EXPECT_EQ(d("1").divide(d("3"), 4)->to_string(), "0.3333");
  EXPECT_EQ(d("2").divide(d("3"), 2)->to_string(), "0.67");
  EXPECT_EQ(d("-2").divide(d("3"), 2)->to_string(), "-0.67");
  EXPECT_EQ(d("1.000000").divide(d("0.000003"), 0)->to_string(), "333333");
  EXPECT_FALSE(d("1").divide(d("0.00")).has_value());
}

TEST(decimal_test, database_number_text_with_exponent) {
  struct row {
    const char* text;
    int scale;
    const char* expect;
  } rows[] = {
      {"1.5e-05", -1, "0.000015"}, {"1.0e+20", -1, "100000000000000000000"},
      {"2.5E2", 2, "250.00"},      {"-1.25e-1", 2, "-0.13"},
      {"155.0", 2, "155.00"},      {"1e-30", 4, "0.0000"},
      {"1ex", -1, "none"},         {"5e-19", -1, "0.000000000000000001"},
      {"-1e-300", 2, "0.00"},      {"1e", -1, "none"},
  };
  for (const row& r : rows) {
    auto d = parse_number_text(r.text, r.scale);
    EXPECT_EQ(d ? d->to_string() : "none", r.expect) << r.text;
  }
}

// A mantissa holds 38 digits; text holds 36. Past either, a number is refused, never wrapped.
TEST(decimal_test, overflow_edges_are_refused) {
  const std::string nines20(20, '9'), nines36(36, '9');
  struct row {
    std::string text;
    int scale;
    std::string expect;
  } rows[] = {
      {nines20, 18, "99999999999999999999.000000000000000000"},
      {"1" + std::string(20, '0'), 18, "none"},
      {"-1" + std::string(20, '0'), 18, "none"},
      {nines36, 2, "999999999999999999999999999999999999.00"},
      {nines36, 3, "none"},
      {"0.000000000000000005", 0, "0"},
      {"2.5e+24", 13, "2500000000000000000000000.0000000000000"},
      {"2.5e+24", 14, "none"},
      {"-2.5E24", 14, "none"},
      {"1e35", -1, "1" + std::string(35, '0')},
      {"1e36", -1, "none"},
      {"99999999999999999999999999999999e30", -1, "none"},
      {"1.0e+300", 2, "none"},
  };
  for (const row& r : rows) {
    std::optional<decimal> d = parse_number_text(r.text, r.scale);  // plain text: decimal::parse
    EXPECT_EQ(d ? d->to_string() : "none", r.expect) << r.text << " @" << r.scale;
  }
}

TEST(datetime_test, parse_format_and_parts) {
  auto t = datetime::parse("2009-07-05 13:04:59");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->to_string(), "2009-07-05 13:04:59");
  EXPECT_EQ(t->yyyymmdd(), 20090705);
  EXPECT_EQ(datetime::parse("2009-12-31")->to_string(), "2009-12-31 00:00:00");
  EXPECT_EQ(datetime::parse("2009-12-31T23:59:58.75")->to_string(), "2009-12-31 23:59:58");
  EXPECT_EQ(datetime::parse("2024-02-29 08:00")->to_string(), "2024-02-29 08:00:00");
  EXPECT_EQ(datetime::from_parts(1969, 12, 31, 23).to_string(), "1969-12-31 23:00:00");
  EXPECT_EQ(datetime::from_parts(1970, 1, 1).seconds, 0);
  for (const char* bad : {"2023-02-29", "2009-13-01", "2009-00-10", "2009-7-5", "20090705",
                          "2009-07-05 24:00:00", "2009-07-05 10:61", "2009-07-05x", ""})
    EXPECT_FALSE(datetime::parse(bad)) << bad;
  EXPECT_LT(*datetime::parse("2009-12-31 23:59:59"), *datetime::parse("2010-01-01"));
}

TEST(value_test, equality_text_and_numbers) {
  EXPECT_EQ(value(5), value(*decimal::parse("5.00")));
  EXPECT_FALSE(value(5) == value("5"));
  EXPECT_EQ(value(), value(nullptr));
  EXPECT_FALSE(value() == value(0));
  EXPECT_EQ(value(*decimal::parse("12.50")).to_text(), "12.50");
  EXPECT_EQ(value(datetime::from_parts(2009, 7, 5)).to_text(), "2009-07-05 00:00:00");
  EXPECT_EQ(value().to_text(), "");
  EXPECT_EQ(value(7LL).as_long(), 7);
  EXPECT_FALSE(value("x").number());
}

TEST(gbk_length_test, ascii_one_other_two) {
  EXPECT_EQ(gbk_length(""), 0);
  EXPECT_EQ(gbk_length("abc 12"), 6);
  EXPECT_EQ(gbk_length("会员"), 4);
  EXPECT_EQ(gbk_length("王a伟1"), 6);
  EXPECT_EQ(gbk_length("（全角）"), 8);
  EXPECT_EQ(gbk_length(std::string(30, 'x') + "测试"), 34);
}

}  // namespace
