#pragma once
// Values that cross the engine's boundaries: SQL parameters, single-row results, data view cells.
// Money and prices are exact decimals; nothing on the way to the screen is binary floating point.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

// Column types as the data views declare them: long, decimal(scale), char(n), datetime.
enum class col_type { long_t, decimal_t, string_t, datetime_t };

// Exact decimal number: mantissa * 10^-scale. The mantissa holds at most 38 digits.
struct decimal {
  __int128 mantissa = 0;
  int scale = 0;  // 0..18

  static decimal from_long(int64_t v);
  // Parses "-12.5", "155", "1e3" is refused. With scale >= 0 the result is rounded half away from
  // zero to that many places; with -1 it keeps the digits given. nullopt when not a number, when
  // it has more than 36 digits, or when its mantissa at `scale` would pass 38 digits.
  static std::optional<decimal> parse(std::string_view text, int scale = -1);
  // The number at another scale, rounded half away from zero; nullopt when more places would
  // take the mantissa past 38 digits. Fewer places, or a long at up to 18, always fit.
  std::optional<decimal> rescale(int new_scale) const;
  int64_t to_long() const;                // truncated toward zero
  // The number as a long when it is whole and within the 64-bit range (150.00 too).
  std::optional<int64_t> exact_long() const;
  double to_double() const;
  std::string to_string() const;          // plain digits with exactly `scale` places
  std::string to_general() const;         // plain digits, trailing fractional zeros dropped
  std::string format(int places) const;   // rounded to `places`, e.g. "0.00" -> format(2)
  int compare(const decimal& o) const;    // -1, 0, 1; scale-independent
  bool operator==(const decimal& o) const { return compare(o) == 0; }
  decimal operator+(const decimal& o) const;
  decimal operator-(const decimal& o) const;
  decimal operator*(const decimal& o) const;
  // Division to `places` fractional digits; nullopt on division by zero.
  std::optional<decimal> divide(const decimal& o, int places = 14) const;
};

// Calendar date and time without a zone (the station's local time), to the second.
struct datetime {
  int64_t seconds = 0;  // since 1970-01-01 00:00:00

  static datetime from_parts(int y, int mo, int d, int h = 0, int mi = 0, int s = 0);
  // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DDTHH:MM:SS", fractions ignored.
  static std::optional<datetime> parse(std::string_view text);
  void parts(int& y, int& mo, int& d, int& h, int& mi, int& s) const;
  int64_t yyyymmdd() const;        // 2009-07-05 -> 20090705
  // 20090705 -> 2009-07-05; nullopt unless it is eight digits of a day that exists.
  static std::optional<datetime> from_yyyymmdd(int64_t n);
  std::string to_string() const;   // "YYYY-MM-DD HH:MM:SS"
  auto operator<=>(const datetime&) const = default;
};

// The null of a value. Bound as a parameter it may carry the type the statement expects, for a
// database that cannot tell it from the query (PostgreSQL on ":arg IS NULL"); every null equals
// every null.
struct null_value {
  int type = -1;  // col_type, or -1 when not known
  bool operator==(const null_value&) const { return true; }
};

// A nullable value of one of the column types.
class value {
 public:
  using storage = std::variant<null_value, int64_t, decimal, std::string, datetime>;
  value() = default;
  value(std::nullptr_t) {}
  static value null_of(col_type t) {
    value v;
    v.v_ = null_value{int(t)};
    return v;
  }
  value(int v) : v_(int64_t(v)) {}
  value(int64_t v) : v_(v) {}
  template <class T>
    requires(std::is_same_v<T, long long> && !std::is_same_v<long long, int64_t>)
  value(T v) : v_(int64_t(v)) {}
  value(decimal v) : v_(v) {}
  value(std::string v) : v_(std::move(v)) {}
  value(std::string_view v) : v_(std::string(v)) {}
  value(const char* v) : v_(std::string(v)) {}
  value(datetime v) : v_(v) {}

  bool is_null() const { return v_.index() == 0; }
  // The type a null was made with by null_of.
  std::optional<col_type> null_type() const {
    if (!is_null() || std::get<null_value>(v_).type < 0) return std::nullopt;
    return col_type(std::get<null_value>(v_).type);
  }
  bool is_long() const { return v_.index() == 1; }
  bool is_decimal() const { return v_.index() == 2; }
  bool is_string() const { return v_.index() == 3; }
  bool is_datetime() const { return v_.index() == 4; }

  int64_t as_long() const { return std::get<int64_t>(v_); }
  const decimal& as_decimal() const { return std::get<decimal>(v_); }
  const std::string& as_string() const { return std::get<std::string>(v_); }
  datetime as_datetime() const { return std::get<datetime>(v_); }

  // Numeric view of a long or decimal (null for anything else).
  std::optional<decimal> number() const;
  // Text a user would read: digits for numbers, the string itself, "YYYY-MM-DD HH:MM:SS"; "" for null.
  std::string to_text() const;

  bool operator==(const value& o) const;
  const storage& raw() const { return v_; }

 private:
  storage v_;
};

// Byte length of UTF-8 text in the GBK code page: ASCII counts 1, every other character 2.
int gbk_length(std::string_view utf8);

// Why a text cannot be stored as it stands: a NUL byte (C strings on the way end there), or bytes
// that are not well-formed UTF-8 (stray, overlong, surrogate or cut-off sequences), which a
// database in UTF-8 refuses or keeps as something else.
enum class text_fault { none, nul, not_utf8 };
text_fault text_fault_of(std::string_view s);
