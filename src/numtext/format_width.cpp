#include "numtext/format_width.h"

#include <algorithm>

#include "numtext/digits.h"
#include "numtext/number_settings.h"
#include "numtext/render_float.h"
#include "numtext/undefined.h"

namespace velmo {

namespace {

// Lifts |x| by about 1E-17 so that exact powers of ten, scaled down by the
// inexact factor t below, do not fall one short of the next decade.
// Exactly 1 + 92 x 2^-63.
const Extended kLift = Extended::FromFields(false, SoftExtended::kBias, SoftExtended::kIntegerBit + 92);
// 0.1 rounded to the extended format, a hair above 0.1.
constexpr Extended kTenth = Extended(1) / Extended(10);

bool FixedForm(const DecimalDigits& digits, int n, int width, int maxDecimals, ShortText& text) {
  int f = n + 1;
  int g = SignificantDigits - f;
  f = std::max(f, 1);
  g = std::min(g, std::min(width - 2 - f, maxDecimals));
  if (g < 0) return false;
  text = RenderFloat(digits, FloatForm::Fixed, width, g);
  if (g == 0) text.Append(DecimalSeparator);
  return true;
}

ShortText ExponentForm(const DecimalDigits& digits, int n, int width, int maxDecimals) {
  int k = (n >= 100 || n <= -100) ? 4 : 3;
  return RenderFloat(digits, FloatForm::Exponent, std::min(width - k - 3, maxDecimals), 2);
}

}  // namespace

std::int32_t DecimalExponentByScaling(Extended x) {
  if (x == 0) return -1;
  const Extended magnitude = Abs(x);
  Extended a = magnitude * kLift;
  // At the top of the extended range the lift would overflow to infinity,
  // and the loop below would never end.
  if (IsUndefined(a)) a = magnitude;
  std::int32_t n = 0;
  while (a >= 10) {
    a *= kTenth;
    ++n;
  }
  while (a < 1) {
    a *= 10;
    --n;
  }
  return n;
}

std::int32_t DecimalExponent(Extended x) {
  // Table values take the exact decade: the scaling loop gives the same for
  // them (its lift and roundings stay far below the gap between any such
  // double and a power of ten; the tests compare both around every power).
  const Extended magnitude = Abs(x);
  if (IsTableDouble(magnitude)) return DecadeOf(static_cast<double>(magnitude)) - 1;
  return DecimalExponentByScaling(x);
}

ShortText FormatWidth(Extended x, int width, int maxDecimals, WidthOptions options) {
  ShortText text;
  if (IsUndefined(x)) {
    text.Append('?');
  } else {
    // The digits are found once, whichever form takes them.
    const DecimalDigits digits = EighteenDigits(x);
    std::int32_t n = DecimalExponent(x);
    if (!FixedForm(digits, n, width, maxDecimals, text)) {
      text = ExponentForm(digits, n, width, maxDecimals);
    }
  }
  if (!options.NoFill && text.size() < static_cast<std::size_t>(std::max(width, 0))) {
    text.Prepend(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

}  // namespace velmo
