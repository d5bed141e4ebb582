#include "numtext/number_settings.h"

#include <cmath>

namespace velmo {

std::uint16_t SignificantDigits = 18;

void DetectPrecision() {
  // Loaded through volatile so that the division is done by the floating
  // unit at run time, in whatever precision it is set to.
  volatile long double one = 1;
  volatile long double three = 3;
  long double q = one / three;
  // 1/3 cut (not rounded) to a 64-bit significand: 0xAAAAAAAAAAAAAAAA x 2^-65.
  const long double t = std::ldexp(static_cast<long double>(0xAAAAAAAAAAAAAAAAull), -65);
  SignificantDigits = std::fabs(q - t) > 1E-18L ? 16 : 18;
}

void InitNumberSettings() {
  DetectPrecision();
}

}  // namespace velmo
