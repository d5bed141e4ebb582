#include "numtext/write_real.h"

#include <algorithm>
#include <string_view>

#include "numtext/digits.h"
#include "numtext/short_text.h"

namespace velmo {

namespace {

// 1E36 rounded to the extended format: 10^18 x 10^18, rounded once.
constexpr Extended kExponentFormFrom = Extended(1000000000000000000ull) * Extended(1000000000000000000ull);

/// Long enough for every text WriteReal makes: a sign, 36 integer digits,
/// the point and 216 decimals.
using RealText = FixedText<256>;

void AppendFixedReal(RealText& text, Extended x, int decimals) {
  // 18 significant digits, or 17 places below 1; then the decimals kept,
  // the first dropped digit 5 and up raising the last kept one.
  const Extended magnitude = Abs(x);
  DecimalDigits digits = magnitude < 1 ? SeventeenPlaces(magnitude) : EighteenDigits(magnitude);
  KeepDigits(digits, digits.Exponent + decimals);
  if (x.Negative()) text.Append('-');
  AppendFixed(text, digits, decimals);
}

void AppendExponentReal(RealText& text, Extended x, int width) {
  const int decimals = std::clamp(width - 9, 1, 17);
  DecimalDigits digits = EighteenDigits(x);
  KeepDigits(digits, decimals + 1);
  text.Append(x.Negative() ? '-' : ' ');
  text.Append(digits.At(1));
  text.Append('.');
  for (int i = 2; i <= decimals + 1; ++i) text.Append(digits.At(i));
  const int exponent = digits.Exponent - 1;
  text.Append('E');
  text.Append(exponent < 0 ? '-' : '+');
  text.AppendInteger(static_cast<unsigned>(exponent < 0 ? -exponent : exponent), 4);
}

}  // namespace

void WriteReal(TextWriter& file, Extended x, int width, int decimals) {
  width = std::min(width, 255);
  decimals = std::clamp(decimals, 0, 216);
  RealText text;
  if (IsNaN(x)) {
    text.Append("Nan");
  } else if (IsInfinity(x)) {
    text.Append(x > 0 ? "+Inf" : "-Inf");
  } else if (Abs(x) >= kExponentFormFrom) {
    AppendExponentReal(text, x, width);
  } else {
    AppendFixedReal(text, x, decimals);
  }
  file.TextInField(text.View(), width);
}

}  // namespace velmo
