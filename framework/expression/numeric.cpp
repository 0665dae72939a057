#include "framework/expression/numeric.h"

#include <array>

namespace {

using u128 = unsigned __int128;

constexpr std::array<u128, 39> pow10_wide = [] {
  std::array<u128, 39> t{};
  t[0] = 1;
  for (size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
  return t;
}();

u128 magnitude(__int128 m) { return m < 0 ? -static_cast<u128>(m) : static_cast<u128>(m); }

// |m| * 10^shift < 10^limit: the mantissa can be raised by `shift` places and still leave room.
bool fits(__int128 m, int shift, int limit) {
  const int room = limit - shift;
  if (room <= 0) return false;
  return magnitude(m) < pow10_wide[size_t(room > 38 ? 38 : room)];
}

// Every mantissa the evaluator makes stays below 10^37, far from the limit of __int128.
constexpr int limit = 37;

bool valid_scale(const decimal& d) { return d.scale >= 0 && d.scale <= 18; }

}  // namespace

std::optional<decimal> checked_add(const decimal& a, const decimal& b) {
  if (!valid_scale(a) || !valid_scale(b)) return std::nullopt;
  const int s = a.scale > b.scale ? a.scale : b.scale;
  if (!fits(a.mantissa, s - a.scale, limit) || !fits(b.mantissa, s - b.scale, limit))
    return std::nullopt;
  return a + b;
}

std::optional<decimal> checked_sub(const decimal& a, const decimal& b) {
  decimal minus_b = b;
  minus_b.mantissa = -b.mantissa;
  if (!fits(b.mantissa, 0, limit)) return std::nullopt;
  return checked_add(a, minus_b);
}

std::optional<decimal> checked_mul(const decimal& a, const decimal& b) {
  if (!valid_scale(a) || !valid_scale(b)) return std::nullopt;
  __int128 product;
  if (__builtin_mul_overflow(a.mantissa, b.mantissa, &product) || !fits(product, 0, limit))
    return std::nullopt;
  return a * b;
}

std::optional<decimal> checked_div(const decimal& a, const decimal& b) {
  if (b.mantissa == 0 || !valid_scale(a) || !valid_scale(b)) return std::nullopt;
  // The quotient's mantissa comes from a's raised by 14 places beyond b's scale (or b's raised
  // when that is negative); both must stay in range.
  const int raise = 14 + b.scale - a.scale;
  if (raise >= 0 ? !fits(a.mantissa, raise, limit) : !fits(b.mantissa, -raise, limit))
    return std::nullopt;
  return a.divide(b, 14);
}

std::optional<int64_t> floor_to_long(const decimal& d) {
  if (!valid_scale(d)) return std::nullopt;
  const __int128 p = pow10_table[d.scale];
  __int128 q = d.mantissa / p;
  if (d.mantissa % p != 0 && d.mantissa < 0) --q;
  if (q > INT64_MAX || q < INT64_MIN) return std::nullopt;
  return int64_t(q);
}
