// The number type of every computation: the 80-bit extended format, from
// the x87 unit where long double is that format and in software elsewhere,
// so that every build prints the same bytes.
#pragma once

#include <bit>
#include <cfloat>
#include <cstdint>

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
  if (Extended(nearest) < x) nearest = std::bit_cast<double>(std::bit_cast<std::uint64_t>(nearest) + 1);
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

}  // namespace velmo
