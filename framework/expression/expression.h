#pragma once
// Data view expressions: filters, finds and computed columns, e.g. `memberno="1001"`,
// `integral >= mdintegral `, `getrow()`, `years_after(date(string(birthday,'####-##-##')), today())`.
// An expression is parsed and compiled once against a schema, then evaluated per row straight
// from the data view's column storage (no copies of cell values).
//
// Language: literals (integers, decimals, 'text' or "text" with \" \' \\ \n \t escapes, true,
// false, null); column names (case-insensitive); + - * / unary -; = <> != < <= > >=; and or not;
// parentheses; functions (case-insensitive): getrow() int(x) abs(x) len(s) trim(s) upper(s)
// lower(s) isnull(x) if(c, a, b) today() date(s) string(x [, mask]) daysafter(d1, d2)
// years_after(d1, d2) year(d) month(d) day(d).
// Nulls: arithmetic and comparisons with a null give null; a null condition counts as false in
// filter and find; `and`/`or` follow three-valued logic.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/value/value.h"

// Read-only view of one column of the data view's storage, indexed by row handle.
struct column_data {
  col_type type = col_type::long_t;
  int scale = 0;                          // decimal places of a decimal column
  const uint8_t* nulls = nullptr;         // 1 = null
  const int64_t* longs = nullptr;         // long columns; datetime columns (datetime::seconds)
  const __int128* decimals = nullptr;     // decimal columns: mantissa at `scale`
  const uint32_t* str_offset = nullptr;   // string columns: start of the text in `arena`
  const uint32_t* str_length = nullptr;   //                 its length in bytes
  const char* arena = nullptr;
};

// What the compiler needs to know of the columns an expression may name.
class expr_schema {
 public:
  virtual ~expr_schema() = default;
  virtual int column_index(std::string_view name) const = 0;  // -1 when unknown
  virtual col_type column_type(int index) const = 0;
  virtual int column_scale(int index) const = 0;
};

// Everything an evaluation reads: the columns (by index from expr_schema) and today's date.
struct expr_env {
  std::span<const column_data> columns;
  datetime today;
};

class compiled_expr {
 public:
  virtual ~compiled_expr() = default;
  // Parses and type-checks text; on error returns null and sets error to a clear message with the
  // position (never throws, never crashes, whatever the text).
  static std::unique_ptr<compiled_expr> compile(std::string_view text, const expr_schema& schema,
                                                std::string& error);
  // handle: the row's index in column storage; position: its 1-based row number for getrow().
  virtual value eval(const expr_env& env, uint32_t handle, int64_t position) const = 0;
  // Condition form: true only when the result is a true boolean (or a non-zero number).
  virtual bool test(const expr_env& env, uint32_t handle, int64_t position) const = 0;
  // Batch forms over rows[i] at position first_position + i; the hot paths of find and filter.
  // find_first: index i of the first row passing, or -1.
  virtual int64_t find_first(const expr_env& env, std::span<const uint32_t> rows,
                             int64_t first_position) const;
  // passing[i] = 1 when rows[i] passes, else 0 (passing is resized to rows.size()).
  virtual void test_rows(const expr_env& env, std::span<const uint32_t> rows,
                         int64_t first_position, std::vector<uint8_t>& passing) const;
};

// A string literal of the expression language that stands for exactly `text`: with it a typed
// search text can be compared literally, quotes and backslashes included.
std::string expr_quote(std::string_view text);
