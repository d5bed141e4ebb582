// The mark of a missing or infinite value, and the test for it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace velmo {

static_assert(sizeof(long double) >= 10 && std::numeric_limits<long double>::digits == 64,
              "Velmo computes in the 80-bit extended format: long double must have a 64-bit "
              "significand, or the tables would differ in their last digits");

/// `Undefined` stored as a double: the quiet NaN with every bit but the sign
/// set. It stands for a missing value, an infinite distance or far limit,
/// and the absence of any sharp zone.
inline constexpr double Undefined = std::bit_cast<double>(std::uint64_t{0x7FFFFFFFFFFFFFFF});

/// `Undefined` in the extended format: sign 0, every exponent and
/// significand bit set.
inline long double UndefinedExtended() {
  unsigned char bytes[sizeof(long double)] = {};
  std::memset(bytes, 0xFF, 10);
  bytes[9] = 0x7F;
  long double value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

/// True exactly when every exponent bit of `x` is set: every infinity and
/// every NaN, of either sign. Sign and significand are not looked at.
inline bool IsUndefined(double x) {
  return (std::bit_cast<std::uint64_t>(x) & 0x7FF0000000000000u) == 0x7FF0000000000000u;
}

/// The same test for an extended value, made by comparison: a value whose
/// exponent bits are all set is an infinity or a NaN, and only those fail
/// to compare within the finite range. (Reading the exponent bits back from
/// memory would stall the floating unit on every table cell.)
inline bool IsUndefined(long double x) {
  return !(x <= std::numeric_limits<long double>::max() && x >= -std::numeric_limits<long double>::max());
}

}  // namespace velmo
