#include "numtext/digits.h"

#include <charconv>

namespace velmo {

namespace {

void MakeZero(DecimalDigits& digits) {
  digits.Count = 0;
  digits.Exponent = 0;
  digits.Negative = false;
}

template <typename Float>
void Scientific17(Float magnitude, DecimalDigits& digits) {
  // "d.ddddddddddddddddde+x": std::to_chars gives the exact value rounded to
  // 17 decimals, ties to even, independent of rounding mode and locale.
  char text[48];
  auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 17);
  digits.Digit[0] = text[0];
  for (int i = 1; i < 18; ++i) digits.Digit[i] = text[i + 1];
  int exponent = 0;
  std::from_chars(text + 20 + (text[20] == '+' ? 1 : 0), result.ptr, exponent);
  digits.Exponent = exponent + 1;
  digits.Count = 18;
}

}  // namespace

DecimalDigits EighteenDigits(long double x) {
  DecimalDigits digits;
  digits.Negative = x < 0;
  long double magnitude = digits.Negative ? -x : x;
  if (magnitude == 0) {
    MakeZero(digits);
    return digits;
  }
  // Every table value is a double, and the double conversion is several
  // times faster; both give the same digits for the same value.
  auto narrow = static_cast<double>(magnitude);
  if (static_cast<long double>(narrow) == magnitude) {
    Scientific17(narrow, digits);
  } else {
    Scientific17(magnitude, digits);
  }
  return digits;
}

void KeepDigits(DecimalDigits& digits, int n) {
  if (n < 0) {
    MakeZero(digits);
    return;
  }
  if (n < digits.Count) {
    bool up = digits.Digit[n] >= '5';
    digits.Count = n;
    if (up) {
      int i = n - 1;
      while (i >= 0 && digits.Digit[i] == '9') --i;
      if (i < 0) {
        digits.Digit[0] = '1';
        digits.Count = 1;
        ++digits.Exponent;
      } else {
        ++digits.Digit[i];
        digits.Count = i + 1;
      }
    }
  }
  while (digits.Count > 0 && digits.Digit[digits.Count - 1] == '0') --digits.Count;
  if (digits.Count == 0) MakeZero(digits);
}

}  // namespace velmo
