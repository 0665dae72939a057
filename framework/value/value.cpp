// Exact decimals, calendar datetimes and nullable values.
#include "framework/value/value.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

using i128 = __int128;

constexpr int max_scale = 18;
constexpr int max_digits = 38;  // of a mantissa: 10^38 < 2^127

i128 pow10(int n) {
  static const auto table = [] {
    std::array<i128, max_digits + 1> t{};
    t[0] = 1;
    for (int i = 1; i <= max_digits; ++i) t[i] = t[i - 1] * 10;
    return t;
  }();
  return table[n];
}

i128 abs128(i128 v) { return v < 0 ? -v : v; }

// a / b rounded half away from zero (b != 0).
i128 div_round(i128 a, i128 b) {
  i128 q = a / b, r = a % b;
  if (abs128(r) * 2 >= abs128(b)) q += ((a < 0) != (b < 0)) ? -1 : 1;
  return q;
}

std::string digits(i128 v) {  // v >= 0
  if (v == 0) return "0";
  char buf[48];
  int n = 0;
  while (v > 0) {
    buf[n++] = char('0' + int(v % 10));
    v /= 10;
  }
  std::string s(n, '0');
  for (int i = 0; i < n; ++i) s[i] = buf[n - 1 - i];
  return s;
}

int clamp_scale(int s) { return s < 0 ? 0 : (s > max_scale ? max_scale : s); }

// m * 10^places (places 0..max_digits), or nullopt when that passes max_digits digits.
std::optional<i128> raised(i128 m, int places) {
  const i128 limit = pow10(max_digits - places);
  if (m >= limit || m <= -limit) return std::nullopt;
  return m * pow10(places);
}

}  // namespace

// ---- decimal ---------------------------------------------------------------------------------

decimal decimal::from_long(int64_t v) { return decimal{v, 0}; }

std::optional<decimal> decimal::parse(std::string_view text, int scale) {
  size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  i128 m = 0;
  int given_scale = 0, significant = 0;
  bool any_digit = false, point = false;
  int dropped_first = -1;  // first digit beyond what the mantissa can hold (for rounding)
  for (; i < n; ++i) {
    char c = text[i];
    if (c == '.') {
      if (point) return std::nullopt;
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    any_digit = true;
    if (point && given_scale >= max_scale) {
      // Beyond the finest scale we keep: remember the first such digit for rounding.
      if (dropped_first < 0) dropped_first = c - '0';
      continue;
    }
    if (significant > 0 || c != '0') ++significant;
    if (significant > max_digits - 2) return std::nullopt;  // too large for a decimal
    m = m * 10 + (c - '0');
    if (point) ++given_scale;
  }
  if (!any_digit) return std::nullopt;
  if (dropped_first >= 5) m += 1;
  decimal d{negative ? -m : m, given_scale};
  if (scale >= 0) return d.rescale(scale);
  return d;
}

std::optional<decimal> decimal::rescale(int new_scale) const {
  new_scale = clamp_scale(new_scale);
  if (new_scale == scale) return *this;
  if (new_scale < scale) return decimal{div_round(mantissa, pow10(scale - new_scale)), new_scale};
  std::optional<i128> m = raised(mantissa, new_scale - scale);
  if (!m) return std::nullopt;
  return decimal{*m, new_scale};
}

int64_t decimal::to_long() const { return int64_t(mantissa / pow10(scale)); }

std::optional<int64_t> decimal::exact_long() const {
  const i128 p = pow10(scale);
  if (mantissa % p != 0) return std::nullopt;
  const i128 whole = mantissa / p;
  if (whole < INT64_MIN || whole > INT64_MAX) return std::nullopt;
  return int64_t(whole);
}

double decimal::to_double() const { return std::strtod(to_string().c_str(), nullptr); }

std::string decimal::to_string() const {
  std::string d = digits(abs128(mantissa));
  if (scale > 0) {
    if (int(d.size()) <= scale) d.insert(0, size_t(scale + 1 - int(d.size())), '0');
    d.insert(d.size() - size_t(scale), 1, '.');
  }
  if (mantissa < 0) d.insert(0, 1, '-');
  return d;
}

std::string decimal::to_general() const {
  std::string s = to_string();
  if (scale > 0) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

std::string decimal::format(int places) const {
  places = clamp_scale(places);
  if (places <= scale) return rescale(places)->to_string();
  // More places than held: the digits with zeros after them, whatever their number.
  return to_string() + (scale == 0 ? "." : "") + std::string(size_t(places - scale), '0');
}

int decimal::compare(const decimal& o) const {
  // Integer parts first, then the fractions at the finer scale: no overflow for any scale pair.
  i128 ia = mantissa / pow10(scale), ib = o.mantissa / pow10(o.scale);
  if (ia != ib) return ia < ib ? -1 : 1;
  int s = scale > o.scale ? scale : o.scale;
  i128 fa = (mantissa % pow10(scale)) * pow10(s - scale);
  i128 fb = (o.mantissa % pow10(o.scale)) * pow10(s - o.scale);
  return fa < fb ? -1 : (fa > fb ? 1 : 0);
}

decimal decimal::operator+(const decimal& o) const {
  int s = scale > o.scale ? scale : o.scale;
  return decimal{rescale(s).value().mantissa + o.rescale(s).value().mantissa, s};
}

decimal decimal::operator-(const decimal& o) const {
  int s = scale > o.scale ? scale : o.scale;
  return decimal{rescale(s).value().mantissa - o.rescale(s).value().mantissa, s};
}

decimal decimal::operator*(const decimal& o) const {
  decimal r{mantissa * o.mantissa, scale + o.scale};
  return r.scale > max_scale ? *r.rescale(max_scale) : r;
}

std::optional<decimal> decimal::divide(const decimal& o, int places) const {
  if (o.mantissa == 0) return std::nullopt;
  places = clamp_scale(places);
  // this / o = (m1 / m2) * 10^(s2 - s1); the result's mantissa is that times 10^places.
  int e = places + o.scale - scale;
  i128 num = mantissa, den = o.mantissa;
  if (e >= 0) {
    num *= pow10(e);
  } else {
    den *= pow10(-e);
  }
  return decimal{div_round(num, den), places};
}

// ---- datetime --------------------------------------------------------------------------------

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t days_from_civil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = int(yoe + era * 400 + (m <= 2));
}

int days_in_month(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

// Reads exactly `count` digits at text[pos].
bool read_digits(std::string_view text, size_t pos, int count, int& out) {
  if (pos + size_t(count) > text.size()) return false;
  out = 0;
  for (int i = 0; i < count; ++i) {
    char c = text[pos + size_t(i)];
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

}  // namespace

datetime datetime::from_parts(int y, int mo, int d, int h, int mi, int s) {
  return datetime{days_from_civil(y, mo, d) * 86400 + int64_t(h) * 3600 + int64_t(mi) * 60 + s};
}

std::optional<datetime> datetime::parse(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int y, mo, d, h = 0, mi = 0, s = 0;
  if (!read_digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' ||
      !read_digits(text, 5, 2, mo) || text[7] != '-' || !read_digits(text, 8, 2, d))
    return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || d > days_in_month(y, mo)) return std::nullopt;
  size_t pos = 10;
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    if (!read_digits(text, pos + 1, 2, h) || pos + 3 >= text.size() || text[pos + 3] != ':' ||
        !read_digits(text, pos + 4, 2, mi))
      return std::nullopt;
    pos += 6;
    if (pos < text.size() && text[pos] == ':') {
      if (!read_digits(text, pos + 1, 2, s)) return std::nullopt;
      pos += 3;
      if (pos < text.size() && text[pos] == '.') {  // fractions of a second are ignored
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
      }
    }
    if (pos != text.size()) return std::nullopt;
    if (h > 23 || mi > 59 || s > 59) return std::nullopt;
  }
  return from_parts(y, mo, d, h, mi, s);
}

void datetime::parts(int& y, int& mo, int& d, int& h, int& mi, int& s) const {
  int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  int64_t rest = seconds - days * 86400;
  civil_from_days(days, y, mo, d);
  h = int(rest / 3600);
  mi = int(rest / 60 % 60);
  s = int(rest % 60);
}

int64_t datetime::yyyymmdd() const {
  int y, mo, d, h, mi, s;
  parts(y, mo, d, h, mi, s);
  return int64_t(y) * 10000 + mo * 100 + d;
}

std::optional<datetime> datetime::from_yyyymmdd(int64_t n) {
  if (n < 10000101 || n > 99991231) return std::nullopt;
  const int y = int(n / 10000), mo = int(n / 100 % 100), d = int(n % 100);
  if (mo < 1 || mo > 12 || d < 1 || d > days_in_month(y, mo)) return std::nullopt;
  return from_parts(y, mo, d);
}

std::string datetime::to_string() const {
  int y, mo, d, h, mi, s;
  parts(y, mo, d, h, mi, s);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return buf;
}

// ---- value -----------------------------------------------------------------------------------

std::optional<decimal> value::number() const {
  if (is_long()) return decimal::from_long(as_long());
  if (is_decimal()) return as_decimal();
  return std::nullopt;
}

std::string value::to_text() const {
  switch (v_.index()) {
    case 1: return std::to_string(as_long());
    case 2: return as_decimal().to_string();
    case 3: return as_string();
    case 4: return as_datetime().to_string();
    default: return {};
  }
}

bool value::operator==(const value& o) const {
  if (is_null() || o.is_null()) return is_null() && o.is_null();
  auto a = number(), b = o.number();
  if (a || b) return a && b && *a == *b;
  return v_ == o.v_;
}

int gbk_length(std::string_view utf8) {
  int n = 0;
  for (unsigned char c : utf8) {
    if (c < 0x80) {
      n += 1;
    } else if ((c & 0xC0) != 0x80) {
      n += 2;  // lead byte of a multi-byte character
    }
  }
  return n;
}

text_fault text_fault_of(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  text_fault fault = text_fault::none;
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      if (c == 0) return text_fault::nul;
      ++p;
      continue;
    }
    // Lead byte: how many continuation bytes follow and the range the second byte must lie in,
    // which rules out overlong forms, UTF-16 surrogates and code points above U+10FFFF.
    int more = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      fault = text_fault::not_utf8;
      ++p;
      continue;
    }
    ++p;
    for (int i = 0; i < more; ++i, ++p) {
      if (p == end || *p < lo || *p > hi) {
        fault = text_fault::not_utf8;
        break;
      }
      lo = 0x80, hi = 0xBF;
    }
  }
  return fault;
}
