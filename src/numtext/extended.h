// The number type of every computation: the 80-bit extended format, from
// the x87 unit where long double is that format and in software elsewhere,
// so that every build prints the same bytes.
#pragma once

#include <cfloat>
#include <cstdint>

#include "numtext/bit_cast.h"
#include "numtext/soft_extended.h"

#if !defined(VELMO_SOFT_EXTENDED) && LDBL_MANT_DIG == 64
#include "numtext/hard_extended.h"
#endif

namespace velmo {

#if !defined(VELMO_SOFT_EXTENDED) && LDBL_MANT_DIG == 64
using Extended = HardExtended;
#else
using Extended = SoftExtended;
#endif

/// The least double not below the positive finite `x`: a double lies below
/// `x` exactly when it lies below this one, so comparisons of doubles with
/// an extended constant can be made between doubles.
constexpr double LeastDoubleNotBelow(Extended x) {
  auto nearest = static_cast<double>(x);
  if (Extended(nearest) < x) nearest = BitCast<double>(BitCast<std::uint64_t>(nearest) + 1);
  return nearest;
}

/// |x|; a NaN keeps its significand.
inline Extended Abs(Extended x) {
  return x.Negative() ? -x : x;
}

inline bool IsNaN(Extended x) {
  return x.BiasedExponent() == 0x7FFF && (x.Significand() << 1) != 0;
}

inline bool IsInfinity(Extended x) {
  return x.BiasedExponent() == 0x7FFF && (x.Significand() << 1) == 0;
}

// The steps of the cells' formulas that the short-path type of the software
// format (NormalExtended) takes in its own way, here as plain arithmetic.

/// `x` rounded to the double it is stored as, kept as an extended value for
/// the next step.
inline Extended RoundedToDouble(Extended x) {
  return Extended(static_cast<double>(x));
}
inline Extended OnePlus(Extended h) {
  return 1 + h;
}
inline Extended OneMinus(Extended h) {
  return 1 - h;
}
/// Whether 1 < h < 2^996, for an `h` that is stored.
inline bool AboveOne(Extended h) {
  const auto stored = static_cast<double>(h);
  return stored > 1 && stored < 0x1p996;
}

}  // namespace velmo
