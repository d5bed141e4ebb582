// The mark of a missing or infinite value, and the test for it.
#pragma once

#include <cstdint>

#include "numtext/bit_cast.h"
#include "numtext/extended.h"

namespace velmo {

/// `Undefined` stored as a double: the quiet NaN with every bit but the sign
/// set. It stands for a missing value, an infinite distance or far limit,
/// and the absence of any sharp zone.
inline constexpr double Undefined = BitCast<double>(std::uint64_t{0x7FFFFFFFFFFFFFFF});

/// `Undefined` in the extended format: sign 0, every exponent and
/// significand bit set.
inline Extended UndefinedExtended() {
  return Extended::FromFields(false, 0x7FFF, ~std::uint64_t{0});
}

/// True exactly when every exponent bit of `x` is set: every infinity and
/// every NaN, of either sign. Sign and significand are not looked at.
inline bool IsUndefined(double x) {
  return (BitCast<std::uint64_t>(x) & 0x7FF0000000000000u) == 0x7FF0000000000000u;
}

/// The same test for an extended value.
inline bool IsUndefined(Extended x) {
  return x.AllExponentBitsSet();
}

}  // namespace velmo
