// Malformed and ill-typed expressions: a clear message with the position, never a crash.
#include <gtest/gtest.h>

#include "expression_fixture.h"

namespace {

expr_table member_columns() {
  expr_table t;
  t.add("memberno", col_type::string_t)
      .add("integral", col_type::long_t)
      .add("amount", col_type::decimal_t, 2)
      .add("lastupdated", col_type::datetime_t);
  return t;
}

struct error_case {
  const char* text;
  const char* message;
};

TEST(expression_errors, report_what_and_where) {
  const error_case cases[] = {
      {"memberno = foo", "unknown column 'foo' at 12"},
      {"foo(1) > 0", "unknown function 'foo' at 1"},
      {"len(memberno, 2)", "'len' takes 1 argument, not 2 at 1"},
      {"today(1)", "'today' takes 0 arguments, not 1 at 1"},
      {"string()", "'string' takes 1 or 2 arguments, not 0 at 1"},
      {"len(integral)", "'len' needs a string, not a number at 5"},
      {"memberno = 5", "cannot compare a string with a number at 10"},
      {"lastupdated > integral", "cannot compare a date with a number at 13"},
      {"integral + memberno", "cannot add a number and a string at 10"},
      {"lastupdated - 1", "'-' needs numbers, not a date at 13"},
      {"not memberno", "'not' needs a condition, not a string at 1"},
      {"memberno and integral > 1", "'and' needs conditions, not a string at 10"},
      {"if(integral > 0, 'a', 1)", "'if' gives a string or a number at 23"},
      {"(integral > 1", "missing ')' for the '(' at 1"},
      {"len(memberno > 'a'", "missing ')' after the arguments of 'len' at 19"},
      {"integral > 1)", "unbalanced ')' at 13"},
      {"memberno = \"abc", "unterminated string at 12"},
      {"memberno = 'abc\\'", "unterminated string at 12"},
      {"integral > 1 2", "unexpected '2' at 14"},
      {"integral >", "unexpected end of expression at 11"},
      {"integral # 1", "unexpected character '#' at 10"},
      {"1.2.3", "malformed number at 1"},
      {"12abc", "malformed number at 1"},
      {"", "empty expression at 1"},
      {"   ", "empty expression at 4"},
      {"integral > ,", "unexpected ',' at 12"},
      {"and", "unexpected 'and' at 1"},
      {"integral = 1.1234567890123456789", "too many decimal places in 1.1234567890123456789 at 12"},
  };
  expr_table t = member_columns();
  for (const error_case& c : cases) {
    std::string error;
    EXPECT_EQ(compiled_expr::compile(c.text, t, error), nullptr) << c.text;
    EXPECT_EQ(error, c.message) << c.text;
  }
}

TEST(expression_errors, deep_nesting_is_refused_not_overflowing_the_stack) {
  expr_table t = member_columns();
  const std::string too_deep[] = {
      std::string(5000, '(') + "1" + std::string(5000, ')'),
      [] {
        std::string s;
        for (int i = 0; i < 5000; ++i) s += "not ";
        return s + "true";
      }(),
      std::string(100000, '-') + "1",
      [] {
        std::string s = "1";
        for (int i = 0; i < 100000; ++i) s += "+1";
        return s;
      }(),
      [] {
        std::string s;
        for (int i = 0; i < 3000; ++i) s += "abs(";
        return s + "1" + std::string(3000, ')');
      }(),
      std::string(100000, '('),
  };
  for (const std::string& text : too_deep) {
    std::string error;
    EXPECT_EQ(compiled_expr::compile(text, t, error), nullptr);
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
  }
  // Moderate nesting still compiles.
  std::string error;
  EXPECT_NE(compiled_expr::compile(std::string(50, '(') + "integral" + std::string(50, ')') +
                                       " > 1",
                                   t, error),
            nullptr)
      << error;
}

TEST(expression_errors, column_names_ignore_case_and_functions_too) {
  expr_table t = member_columns();
  std::string error;
  EXPECT_NE(compiled_expr::compile("INTEGRAL >= 1 AND Len(MemberNo) > 0 Or NOT TRUE", t, error),
            nullptr)
      << error;
}

}  // namespace
