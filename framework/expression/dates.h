#pragma once
// Calendar arithmetic of the date functions, on datetime seconds.

#include <cstdint>
#include <optional>
#include <string_view>

// "yyyy-mm-dd" or "yyyy/mm/dd" (one or two digits for month and day, surrounding spaces
// ignored) as the seconds of that midnight; nullopt unless it is a real calendar date.
std::optional<int64_t> parse_calendar_date(std::string_view text);

int64_t day_number(int64_t seconds);  // days since 1970-01-01, rounded down
int64_t midnight(int64_t seconds);
int64_t days_after(int64_t from, int64_t to);
// Whole years completed from `from` to `to` (negative when `to` is earlier); a 29 February
// anniversary falls on 1 March in other years.
int64_t years_after(int64_t from, int64_t to);
