// The decimal digits of a number, the ground of every number text.
#pragma once

namespace velmo {

/// |x| written as 0.d1 d2 ... d18 x 10^Exponent, d1 not zero, rounded to 18
/// significant digits with ties to even. `Count` digits are meaningful; a
/// zero has none and the exponent 0.
struct DecimalDigits {
  char Digit[18];  // '0' to '9'
  int Count = 0;
  int Exponent = 0;
  bool Negative = false;

  /// Digit i counted from 1; '0' outside the digits held.
  char At(int i) const { return i >= 1 && i <= Count ? Digit[i - 1] : '0'; }
};

/// The 18 significant digits of a finite `x`, exact whatever the rounding
/// mode or the locale in force.
DecimalDigits EighteenDigits(long double x);

/// Keeps the first `n` digits, raising the last kept one when the next is 5
/// or more (a carry out of the first digit gives the single digit 1 and a
/// higher exponent), then drops trailing zeros. No digit left means zero,
/// never negative. An `n` of 18 or more keeps every digit.
void KeepDigits(DecimalDigits& digits, int n);

}  // namespace velmo
