// libFuzzer target: compiles arbitrary text against a small schema and evaluates it over rows
// holding nulls and extreme values. Besides crashes and sanitizer reports it traps when the batch
// forms disagree with test(), when test() disagrees with eval(), or when expr_quote of the input
// does not match the input exactly.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/expression/expression.h"

namespace {

constexpr int row_count = 8;

struct fuzz_table : expr_schema {
  struct col {
    const char* name;
    col_type type;
    int scale;
  };
  static constexpr col cols[] = {{"a", col_type::long_t, 0},    {"b", col_type::long_t, 0},
                                 {"d", col_type::decimal_t, 2}, {"e", col_type::decimal_t, 4},
                                 {"s", col_type::string_t, 0},  {"t", col_type::string_t, 0},
                                 {"w", col_type::datetime_t, 0}, {"v", col_type::datetime_t, 0}};
  static constexpr int count = sizeof cols / sizeof cols[0];

  uint8_t nulls[count][row_count] = {};
  int64_t longs[count][row_count] = {};
  __int128 decimals[count][row_count] = {};
  uint32_t offsets[count][row_count] = {};
  uint32_t lengths[count][row_count] = {};
  std::string arena;
  column_data data[count];

  fuzz_table() {
    const int64_t long_values[row_count] = {0, 1, -1, INT64_MAX, INT64_MIN, 19900315, 20000229, 42};
    const __int128 big = __int128(1000000000000000000) * 1000000000000000000;  // 10^36
    const __int128 decimal_values[row_count] = {0, 150, -1, big, -big, 1990031500, 5, 100};
    const char* texts[row_count] = {"", "a", "A", "会员", "1990-03-15", "\"\\", "2000/02/29", "a "};
    const int64_t day = 86400;
    const int64_t dates[row_count] = {0, -day, 7304 * day, 11016 * day + 3600, 2932896 * day,
                                      -719162 * day, 20526 * day, 1};
    for (int c = 0; c < count; ++c) {
      for (int r = 0; r < row_count; ++r) {
        nulls[c][r] = (r + c) % 5 == 0;
        longs[c][r] = cols[c].type == col_type::datetime_t ? dates[(r + c) % row_count]
                                                           : long_values[(r + c) % row_count];
        decimals[c][r] = decimal_values[(r + c) % row_count];
        const char* text = texts[(r + c) % row_count];
        offsets[c][r] = uint32_t(arena.size());
        lengths[c][r] = uint32_t(std::strlen(text));
        arena += text;
      }
    }
    for (int c = 0; c < count; ++c) {
      data[c] = {cols[c].type, cols[c].scale, nulls[c], longs[c], decimals[c],
                 offsets[c],   lengths[c],    arena.data()};
    }
  }

  int column_index(std::string_view name) const override {
    for (int i = 0; i < count; ++i) {
      if (name == cols[i].name) return i;
    }
    return -1;
  }
  col_type column_type(int index) const override { return cols[index].type; }
  int column_scale(int index) const override { return cols[index].scale; }
};

// A one-column table whose only row holds `text`.
struct text_table : expr_schema {
  std::string text;
  uint8_t null = 0;
  uint32_t offset = 0, length = 0;
  column_data data;
  explicit text_table(std::string t) : text(std::move(t)) {
    length = uint32_t(text.size());
    data.type = col_type::string_t;
    data.nulls = &null;
    data.str_offset = &offset;
    data.str_length = &length;
    data.arena = text.data();
  }
  int column_index(std::string_view name) const override { return name == "s" ? 0 : -1; }
  col_type column_type(int) const override { return col_type::string_t; }
  int column_scale(int) const override { return 0; }
};

void check(bool ok) {
  if (!ok) __builtin_trap();
}

void run_rows(const compiled_expr& e, const fuzz_table& t) {
  const expr_env env{std::span<const column_data>(t.data, fuzz_table::count),
                     datetime::from_parts(2026, 3, 14)};
  const std::vector<uint32_t> forward = {0, 1, 2, 3, 4, 5, 6, 7};
  const std::vector<uint32_t> mixed = {7, 3, 3, 0, 5};
  for (const auto* rows : {&forward, &mixed}) {
    std::vector<uint8_t> passing;
    e.test_rows(env, *rows, 1, passing);
    check(passing.size() == rows->size());
    int64_t first = -1;
    for (size_t i = 0; i < rows->size(); ++i) {
      const int64_t position = 1 + int64_t(i);
      const bool passes = e.test(env, (*rows)[i], position);
      const value v = e.eval(env, (*rows)[i], position);
      const bool truthy = (v.is_long() && v.as_long() != 0) ||
                          (v.is_decimal() && v.as_decimal().mantissa != 0);
      check(passes == truthy);
      check(passing[i] == uint8_t(passes));
      if (passes && first < 0) first = int64_t(i);
      (void)v.to_text();
    }
    check(e.find_first(env, *rows, 1) == first);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const fuzz_table table;
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  std::string error;
  auto e = compiled_expr::compile(text, table, error);
  check(e != nullptr || !error.empty());
  if (e) run_rows(*e, table);

  // The quoted input is a literal that stands for exactly the input.
  const text_table one(text);
  auto q = compiled_expr::compile("s = " + expr_quote(text), one, error);
  check(q != nullptr);
  const expr_env env{std::span<const column_data>(&one.data, 1), datetime{}};
  check(q->test(env, 0, 1));
  return 0;
}
