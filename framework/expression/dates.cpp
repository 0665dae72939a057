#include "framework/expression/dates.h"

#include "framework/value/value.h"

namespace {

constexpr int64_t day_seconds = 86400;

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : days[m - 1];
}

// Reads 1..max_digits digits at text[i].
bool read_number(std::string_view text, size_t& i, int min_digits, int max_digits, int& out) {
  int n = 0;
  out = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && n < max_digits) {
    out = out * 10 + (text[i] - '0');
    ++i;
    ++n;
  }
  return n >= min_digits;
}

}  // namespace

std::optional<int64_t> parse_calendar_date(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t i = 0;
  int y, m, d;
  if (!read_number(text, i, 4, 4, y)) return std::nullopt;
  if (i >= text.size() || (text[i] != '-' && text[i] != '/')) return std::nullopt;
  const char separator = text[i++];
  if (!read_number(text, i, 1, 2, m)) return std::nullopt;
  if (i >= text.size() || text[i] != separator) return std::nullopt;
  ++i;
  if (!read_number(text, i, 1, 2, d) || i != text.size()) return std::nullopt;
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > days_in_month(y, m)) return std::nullopt;
  return datetime::from_parts(y, m, d).seconds;
}

int64_t day_number(int64_t seconds) {
  int64_t q = seconds / day_seconds;
  if (seconds % day_seconds < 0) --q;
  return q;
}

int64_t midnight(int64_t seconds) { return day_number(seconds) * day_seconds; }

int64_t days_after(int64_t from, int64_t to) { return day_number(to) - day_number(from); }

int64_t years_after(int64_t from, int64_t to) {
  if (day_number(to) < day_number(from)) return -years_after(to, from);
  int fy, fm, fd, ty, tm, td, h, mi, s;
  datetime{from}.parts(fy, fm, fd, h, mi, s);
  datetime{to}.parts(ty, tm, td, h, mi, s);
  // The anniversary in the year of `to`.
  int am = fm, ad = fd;
  if (fm == 2 && fd == 29 && !is_leap(ty)) {
    am = 3;
    ad = 1;
  }
  int64_t years = int64_t(ty) - fy;
  if (tm < am || (tm == am && td < ad)) --years;
  return years;
}
