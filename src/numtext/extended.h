// The number type of every computation: the 80-bit extended format, from
// the x87 unit where long double is that format and in software elsewhere,
// so that every build prints the same bytes.
#pragma once

#include <cfloat>

#include "numtext/soft_extended.h"

#if !defined(VELMO_SOFT_EXTENDED) && LDBL_MANT_DIG == 64
#include "numtext/hard_extended.h"
#endif

namespace velmo {

#if !defined(VELMO_SOFT_EXTENDED) && LDBL_MANT_DIG == 64
using Extended = HardExtended;
inline constexpr bool kSoftwareExtended = false;
#else
using Extended = SoftExtended;
inline constexpr bool kSoftwareExtended = true;
#endif

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
