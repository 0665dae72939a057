// Values of expressions: precedence, exact numbers, three-valued logic, comparisons, functions.
#include <gtest/gtest.h>

#include "expression_fixture.h"

namespace {

// One member row: memberno "A001", integral 120, mdintegral 100, amount 12.00, rate 12.0000,
// name "会员", and a column of every type that is null.
class expression_eval : public ::testing::Test {
 public:
  void SetUp() override {
    t.add("memberno", col_type::string_t)
        .add("integral", col_type::long_t)
        .add("mdintegral", col_type::long_t)
        .add("amount", col_type::decimal_t, 2)
        .add("rate", col_type::decimal_t, 4)
        .add("name", col_type::string_t)
        .add("no_long", col_type::long_t)
        .add("no_amount", col_type::decimal_t, 2)
        .add("no_text", col_type::string_t)
        .add("no_date", col_type::datetime_t);
    t.row({"A001", 120, 100, "12.00", "12.0000", "会员", nullptr, nullptr, nullptr, nullptr});
  }

  value run(const std::string& text) {
    std::string error;
    auto e = compiled_expr::compile(text, t, error);
    EXPECT_TRUE(e) << text << ": " << error;
    if (!e) return value();
    return e->eval(t.env(), 0, 7);
  }
  bool test(const std::string& text) {
    std::string error;
    auto e = compiled_expr::compile(text, t, error);
    EXPECT_TRUE(e) << text << ": " << error;
    return e && e->test(t.env(), 0, 7);
  }

  struct value_case {
    const char* text;
    value expected;
  };
  void expect_values(std::initializer_list<value_case> cases) {
    for (const value_case& c : cases) {
      const value v = run(c.text);
      EXPECT_TRUE(v == c.expected) << c.text << " gave '" << v.to_text() << "'"
                                   << (v.is_null() ? " (null)" : "") << ", expected '"
                                   << c.expected.to_text() << "'";
      // Same kind: a long is not a decimal, text is not a number.
      EXPECT_EQ(v.raw().index(), c.expected.raw().index()) << c.text;
    }
  }

  expr_table t;
};

value dec(const char* text) { return value(*decimal::parse(text)); }


TEST_F(expression_eval, precedence_and_associativity) {
  expect_values({{"1 + 2 * 3", 7}, {"(1 + 2) * 3", 9}, {"10 - 4 - 3", 3}, {"-2 * 3", -6},
                {"2 - -3", 5}, {"- (2 + 3)", -5}, {"+4", 4}, {"12 / 4 / 3", dec("1")},
                {"true or false and false", 1}, {"(true or false) and false", 0},
                {"not false and false", 0}, {"not 1 = 2", 1}, {"1 + 1 = 2 and 3 > 2", 1},
                {"integral - mdintegral * 2", -80}, {"'a' + 'b' + memberno", "abA001"}});
}

TEST_F(expression_eval, numbers_are_exact) {
  expect_values({{"7 / 2", dec("3.5")}, {"1 / 3", dec("0.33333333333333")},
                {"-1 / 3", dec("-0.33333333333333")}, {"2 / 3", dec("0.66666666666667")},
                {"0.1 + 0.2 = 0.3", 1}, {"amount * 3", dec("36")}, {"amount / 0", value()},
                {"integral / (mdintegral - 100)", value()}, {"amount - 0.005", dec("11.995")},
                {"9223372036854775807 + 1", value()}, {"-9223372036854775807 - 2", value()},
                {"4611686018427387904 * 2", value()}, {"9223372036854775808", dec("9223372036854775808")},
                {"-9223372036854775808", int64_t(INT64_MIN)}, {"- integral", -120},
                {"123456789012345678901234567890 * 1000000000", value()},
                {"1.5 * 1.5", dec("2.25")}, {"integral + 0.5", dec("120.5")}});
}

TEST_F(expression_eval, long_and_decimal_compare_exactly) {
  expect_values({{"amount = 12", 1}, {"amount = rate", 1}, {"rate = integral / 10", 1},
                {"amount > 11.999", 1}, {"amount < 12.001", 1}, {"amount <> 12.0000000001", 1},
                {"integral = 120.0", 1}, {"integral > 119.99999999999999", 1},
                {"9223372036854775807 < 9223372036854775807.5", 1}, {"integral >= mdintegral", 1},
                {"mdintegral >= integral", 0}, {"integral != 120", 0}});
}

TEST_F(expression_eval, strings_compare_byte_wise_and_exactly) {
  expect_values({{"memberno = 'A001'", 1}, {"memberno = \"A001\"", 1}, {"memberno = 'a001'", 0},
                {"memberno = 'A001 '", 0}, {"memberno = ' A001'", 0}, {"memberno = 'A00'", 0},
                {"memberno < 'A002'", 1}, {"memberno < 'A0010'", 1}, {"memberno > 'A'", 1},
                {"memberno < 'a'", 1}, {"name = '会员'", 1}, {"name > 'zzz'", 1},
                {"'' = ''", 1}, {"'a\\'b' = \"a'b\"", 1}});
}

TEST_F(expression_eval, nulls_follow_three_valued_logic) {
  expect_values({{"null and false", 0}, {"null and true", value()}, {"false and null", 0},
                {"null or true", 1}, {"true or null", 1}, {"null or false", value()},
                {"not null", value()}, {"null = null", value()}, {"no_long = no_long", value()},
                {"no_long > 5", value()}, {"no_long > 5 or integral > 5", 1},
                {"no_long > 5 and integral > 5", value()}, {"no_long > 5 and integral < 5", 0},
                {"not (no_long > 5)", value()}, {"no_text = ''", value()},
                {"no_amount + 1", value()}, {"no_long * 0", value()}, {"null + 1", value()},
                {"-no_long", value()}, {"memberno + no_text", value()},
                {"isnull(no_long)", 1}, {"isnull(no_date)", 1}, {"isnull(no_text)", 1},
                {"isnull(memberno)", 0}, {"isnull(null)", 1}, {"isnull(1 / 0)", 1},
                {"if(no_long > 1, 1, 2)", 2}, {"if(integral > 1, 1, 2)", 1},
                {"if(true, null, 2)", value()}, {"if(false, 1, 2.5)", dec("2.5")},
                {"len(no_text)", value()}, {"year(no_date)", value()},
                {"date(no_text)", value()}, {"string(no_long)", value()}});
  // As a condition, null and a false number do not pass; a non-zero number does.
  EXPECT_FALSE(test("no_long > 5"));
  EXPECT_FALSE(test("null"));
  EXPECT_FALSE(test("0"));
  EXPECT_FALSE(test("memberno"));
  EXPECT_TRUE(test("integral"));
  EXPECT_TRUE(test("0.01"));
  EXPECT_TRUE(test("not (no_long > 5) or true"));
}

TEST_F(expression_eval, functions) {
  expect_values({{"getrow()", 7}, {"getrow() + 1", 8}, {"int(7 / 2)", 3}, {"int(-7 / 2)", -4},
                {"int(-0.0001)", -1}, {"int(amount)", 12}, {"int(integral)", 120},
                {"int(99999999999999999999.5)", value()}, {"abs(-3)", 3},
                {"abs(-2.50)", dec("2.5")}, {"abs(-9223372036854775807 - 1)", value()},
                {"len(name)", 2}, {"len('')", 0}, {"len(memberno)", 4},
                {"trim('  a b  ')", "a b"}, {"upper('abC会')", "ABC会"}, {"lower('ABc')", "abc"},
                {"string(integral)", "120"}, {"string(amount)", "12.00"},
                {"string(1 = 1)", "true"}, {"string(memberno)", "A001"},
                {"string(19900315, '####-##-##')", "1990-03-15"},
                {"string(1990031, '####-##-##')", value()},
                {"string(199003150, '####-##-##')", value()},
                {"string(-19900315, '####-##-##')", value()},
                {"string(19900315.00, '####-##-##')", "1990-03-15"},
                {"string(19900315.5, '####-##-##')", value()},
                {"string('123', '#-#-#')", "1-2-3"}, {"string(7, 'No. #')", "No. 7"},
                {"year(today())", 2026}, {"month(today())", 3}, {"day(today())", 14},
                {"today() = date('2026-03-14')", 1}, {"date('2026-03-14') < today()", 0}});
}

}  // namespace
