#include "numtext/round_up.h"

#include <cmath>
#include <cstdint>

#include "numtext/big_integer.h"
#include "numtext/digits.h"
#include "numtext/powers.h"

namespace velmo {

namespace {

/// Whether k x 10^e lies below x, exactly: both sides made integers, x as
/// its 53-bit significand times a power of two.
bool DecimalBelow(std::uint64_t k, int e, double x) {
  int binaryExponent = 0;
  const double fraction = std::frexp(x, &binaryExponent);
  BigInteger significand(static_cast<std::uint64_t>(std::ldexp(fraction, 53)));
  binaryExponent -= 53;
  BigInteger decimal(k);
  if (e >= 0) {
    decimal.MultiplyByPowerOf5(e);
  } else {
    significand.MultiplyByPowerOf5(-e);
  }
  const int shift = binaryExponent - e;
  if (shift >= 0) {
    significand.ShiftLeft(shift);
  } else {
    decimal.ShiftLeft(-shift);
  }
  return Compare(decimal, significand) < 0;
}

/// k x 10^e (|e| up to 18) as the double nearest it: one correctly rounded
/// operation on two doubles that hold their values exactly.
double DecimalValue(std::uint64_t k, int e) {
  const double scale = static_cast<double>(kPowerOf10[static_cast<std::size_t>(e >= 0 ? e : -e)]);
  return e >= 0 ? static_cast<double>(k) * scale : static_cast<double>(k) / scale;
}

}  // namespace

double RoundUpToSignificant(double x, int digits) {
  if (!IsTableDouble(x)) return x;
  // The first `digits` of the 18 digits rounded to nearest: the decimal
  // below x, or, where the rounding carried into them, the one above it.
  const DecimalDigits nearest = EighteenDigits(x);
  std::uint64_t k = nearest.Significand;
  if (nearest.Count > digits) {
    k /= kPowerOf10[static_cast<std::size_t>(nearest.Count - digits)];
  } else {
    k *= kPowerOf10[static_cast<std::size_t>(digits - nearest.Count)];
  }
  int e = nearest.Exponent - digits;
  if (DecimalBelow(k, e, x)) {
    ++k;
    if (k == kPowerOf10[static_cast<std::size_t>(digits)]) {
      k /= 10;
      ++e;
    }
  }
  return DecimalValue(k, e);
}

double RoundUpComputed(double x, int digits) {
  // 2^-45: over 200 units of a double's last place, and under 3E-14.
  constexpr double kNoise = 1.0 / (1ULL << 45);
  return RoundUpToSignificant(x - x * kNoise, digits);
}

}  // namespace velmo
