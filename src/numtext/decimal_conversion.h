// Exact conversions between decimal numbers and the extended format, the
// same on every build.
#pragma once

#include <cstdint>
#include <string_view>

#include "numtext/extended.h"

namespace velmo {

/// digits x 10^exponent, with the sign, correctly rounded to the extended
/// format (nearest, ties to even; a value too small becomes a denormal or
/// zero). `digits` holds '0' to '9' only and may be empty (zero). False,
/// with `value` untouched, when the value lies beyond the extended range.
bool ExtendedFromDecimal(std::string_view digits, long exponent, bool negative, Extended& value);

/// round(|x| x 10^power), ties to even, by exact integer arithmetic, for a
/// finite `x` whose result is below 2^64.
std::uint64_t ScaledToInteger(Extended x, int power);

/// The E with 10^(E-1) <= |x| < 10^E and round(|x| x 10^(18 - E)), ties to
/// even, for a finite nonzero `x`; a result that rounds up to 10^18 is
/// given as 10^17 with E one higher.
struct EighteenDigitInteger {
  std::uint64_t Significand;
  int Exponent;
};
EighteenDigitInteger ExactEighteenDigits(Extended x);

}  // namespace velmo
