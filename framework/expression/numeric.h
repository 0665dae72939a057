#pragma once
// Exact number helpers of the evaluator: comparisons across scales that cannot overflow, and
// decimal arithmetic that answers nullopt instead of overflowing the mantissa.

#include <cstdint>
#include <optional>

#include "framework/value/value.h"

inline constexpr int64_t pow10_table[19] = {1,
                                            10,
                                            100,
                                            1000,
                                            10000,
                                            100000,
                                            1000000,
                                            10000000,
                                            100000000,
                                            1000000000,
                                            10000000000,
                                            100000000000,
                                            1000000000000,
                                            10000000000000,
                                            100000000000000,
                                            1000000000000000,
                                            10000000000000000,
                                            100000000000000000,
                                            1000000000000000000};

// The one mantissa that cannot be negated.
inline constexpr __int128 min_mantissa =
    static_cast<__int128>(static_cast<unsigned __int128>(1) << 127);

// Sign of a*10^-sa - b*10^-sb; scales 0..18.
inline int cmp_scaled(__int128 a, int sa, __int128 b, int sb) {
  if (sa != sb) {
    __int128& lower = sa < sb ? a : b;
    const int64_t factor = pow10_table[sa < sb ? sb - sa : sa - sb];
    __int128 scaled;
    if (__builtin_mul_overflow(lower, __int128(factor), &scaled)) {
      // The scaled side is beyond every other mantissa; its sign decides.
      const int s = lower < 0 ? -1 : 1;
      return sa < sb ? s : -s;
    }
    lower = scaled;
  }
  return (a > b) - (a < b);
}

std::optional<decimal> checked_add(const decimal& a, const decimal& b);
std::optional<decimal> checked_sub(const decimal& a, const decimal& b);
std::optional<decimal> checked_mul(const decimal& a, const decimal& b);
// Division to 14 places; nullopt on division by zero or overflow.
std::optional<decimal> checked_div(const decimal& a, const decimal& b);
std::optional<int64_t> floor_to_long(const decimal& d);
