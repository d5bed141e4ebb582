#include "numtext/number_settings.h"

#include "numtext/extended.h"

namespace velmo {

std::uint16_t SignificantDigits = 18;

void DetectPrecision() {
  // The division is done at run time, by the floating unit where there is
  // one, in whatever precision it is set to.
  const Extended q = Extended::Opaque(1) / Extended::Opaque(3);
  // 1/3 cut (not rounded) to a 64-bit significand: 0xAAAAAAAAAAAAAAAA x 2^-65.
  const Extended t = Extended::FromFields(false, SoftExtended::kBias - 2, 0xAAAAAAAAAAAAAAAAull);
  const Extended limit = Extended(1) / Extended(1000000000000000000ull);
  SignificantDigits = Abs(q - t) > limit ? 16 : 18;
}

void InitNumberSettings() {
  DetectPrecision();
}

}  // namespace velmo
