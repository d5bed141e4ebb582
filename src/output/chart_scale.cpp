#include "output/chart_scale.h"

#include <cmath>

namespace velmo {

double Log10(double x) {
  // x = m 2^e with m in [sqrt(1/2), sqrt(2)); ln m = 2 atanh(t) with
  // t = (m - 1)/(m + 1), |t| < 0.172, whose series t + t^3/3 + ... has
  // fallen below the last bit by its thirteenth term. frexp and the four
  // operations are exact or correctly rounded everywhere, and the
  // coefficients are rounded by the compiler.
  int e = 0;
  double m = std::frexp(x, &e);
  if (m < 0.70710678118654752) {
    m *= 2;
    --e;
  }
  const double t = (m - 1) / (m + 1);
  const double t2 = t * t;
  double series = 1.0 / 25;
  for (int k = 23; k >= 1; k -= 2) series = 1.0 / k + t2 * series;
  constexpr double kLog10Of2 = 0.30102999566398120;
  constexpr double kLog10OfE = 0.43429448190325183;
  return e * kLog10Of2 + 2 * t * series * kLog10OfE;
}

LogAxis::LogAxis(double low, double high, double from, double to)
    : low(low),
      high(high),
      from(from),
      to(to),
      lowLog_(Log10(low)),
      scale_((to - from) / (Log10(high) - lowLog_)) {}

double LogAxis::Map(double value) const {
  if (!(value > low)) return from;
  if (value >= high) return to;
  return from + (Log10(value) - lowLog_) * scale_;
}

namespace {

/// 10^exponent by repeated multiplication or division: the same double on
/// every build.
double PowerOfTen(int exponent) {
  double value = 1;
  for (int i = 0; i < exponent; ++i) value *= 10;
  for (int i = 0; i > exponent; --i) value /= 10;
  return value;
}

/// The exponent of the decade holding `x`: 10^e <= x < 10^(e+1).
int DecadeExponent(double x) {
  int e = static_cast<int>(std::floor(Log10(x)));
  while (e > -330 && PowerOfTen(e) > x) --e;
  while (e < 310 && PowerOfTen(e + 1) <= x) ++e;
  return e;
}

}  // namespace

double Tick::Value() const {
  return mantissa * PowerOfTen(exponent);
}

std::string Tick::Text() const {
  const char digit = static_cast<char>('0' + mantissa);
  std::string text;
  if (exponent > 6 || exponent < -4) {
    text += digit;
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent >= 0) {
    text += digit;
    text.append(static_cast<std::size_t>(exponent), '0');
  } else {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digit;
  }
  return text;
}

Tick Tick::Next() const {
  if (mantissa == 1) return {2, exponent};
  if (mantissa == 2) return {5, exponent};
  return {1, exponent + 1};
}

Tick TickAtOrBelow(double x) {
  const int e = DecadeExponent(x);
  for (int m : {5, 2}) {
    if (Tick{m, e}.Value() <= x) return {m, e};
  }
  return {1, e};
}

Tick TickAtOrAbove(double x) {
  const Tick below = TickAtOrBelow(x);
  return below.Value() == x ? below : below.Next();
}

}  // namespace velmo
