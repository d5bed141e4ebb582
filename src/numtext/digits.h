// The decimal digits of a number, the ground of every number text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "numtext/extended.h"
#include "numtext/number_settings.h"
#include "numtext/powers.h"

namespace velmo {

/// |x| written as 0.d1 d2 ... dCount x 10^Exponent with d1 not zero. The
/// digits are held as the integer `Significand` and, once KeepDigits has
/// settled them, spelled out in `Digit`. A zero has no digits and the
/// exponent 0.
struct DecimalDigits {
  std::uint64_t Significand = 0;
  int Count = 0;
  int Exponent = 0;
  bool Negative = false;
  char Digit[18];  // '0' to '9', the first Count of them, after KeepDigits

  /// Digit i counted from 1; '0' outside the digits held.
  char At(int i) const { return i >= 1 && i <= Count ? Digit[i - 1] : '0'; }
};

/// True when `x` is a double from 1E-9 up to below 1E17, the values of the
/// tables, for which DecadeOf and the integer digit path serve.
bool IsTableDouble(Extended x);

/// For such a value: the E with 10^(E-1) <= x < 10^E, exactly.
int DecadeOf(double x);

/// EighteenDigits of a positive table double (IsTableDouble), the quick way.
DecimalDigits TableDigits(double x);

/// The 18 significant digits of a finite `x`, rounded with ties to even,
/// by exact integer arithmetic. Not spelled.
DecimalDigits EighteenDigits(Extended x);

/// The digits of |x| (finite, below 1) to 17 decimal places, ties to even,
/// as the same kind of value: up to 17 digits, or the single digit 1 when
/// the rounding reaches 1. Not spelled.
DecimalDigits SeventeenPlaces(Extended x);

/// Keeps the first `n` digits, raising the last kept one when the next is 5
/// or more (a carry out of the first digit gives the single digit 1 and a
/// higher exponent), drops trailing zeros and spells the rest. No digit left
/// means zero, never negative. An `n` of 18 or more keeps every digit.
void KeepDigits(DecimalDigits& digits, int n);

/// The kept digits in fixed notation: the integer digits ("0" when there
/// are none), then, when `decimals` > 0, the point and that many decimals,
/// zeros where the digits end. No sign.
template <typename Text>
void AppendFixed(Text& text, const DecimalDigits& digits, int decimals) {
  if (digits.Exponent <= 0) {
    text.Append('0');
  } else {
    for (int i = 1; i <= digits.Exponent; ++i) text.Append(digits.At(i));
  }
  if (decimals > 0) {
    text.Append(DecimalSeparator);
    for (int j = 1; j <= decimals; ++j) text.Append(digits.At(digits.Exponent + j));
  }
}

}  // namespace velmo
