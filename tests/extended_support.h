// Extended values in tests: written by their fields or as exact quotients,
// so that the same tests hold on every build, and shown by their fields
// when a comparison fails.
#pragma once

#include <cstdint>
#include <iomanip>
#include <ostream>

#include "numtext/extended.h"

namespace velmo {

inline void PrintTo(const Extended& x, std::ostream* out) {
  *out << (x.Negative() ? "-" : "+") << std::hex << std::uppercase << "0x" << x.BiasedExponent() << ":0x"
       << std::setw(16) << std::setfill('0') << x.Significand() << std::dec << " (about "
       << static_cast<double>(x) << ")";
}

namespace test {

/// The value with these fields.
inline Extended Fields(bool negative, std::uint16_t exponent, std::uint64_t significand) {
  return Extended::FromFields(negative, exponent, significand);
}

/// A software value as this build's extended type, field for field.
inline Extended FromSoft(SoftExtended x) {
  return Extended::FromFields(x.Negative(), x.BiasedExponent(), x.Significand());
}

/// numerator / denominator, rounded once to the extended format: the value
/// a decimal literal such as 0.995 has in that format.
inline Extended Ratio(long long numerator, unsigned long long denominator) {
  return Extended(numerator) / Extended(denominator);
}

/// The same bits: also tells NaNs and zeros apart.
inline bool SameBits(Extended a, Extended b) {
  return a.Negative() == b.Negative() && a.BiasedExponent() == b.BiasedExponent() &&
         a.Significand() == b.Significand();
}

}  // namespace test
}  // namespace velmo
