// Unsigned integers of any size, for the exact conversions between decimal
// text and the extended format.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "numtext/soft_extended.h"

namespace velmo {

/// A nonnegative integer in 64-bit limbs, least significant first, with
/// just the operations the decimal conversions need.
class BigInteger {
 public:
  explicit BigInteger(std::uint64_t value = 0);

  /// The integer written by `digits` ('0' to '9' only).
  static BigInteger FromDigits(std::string_view digits);

  void MultiplyBy(std::uint64_t factor);
  void MultiplyByPowerOf5(int exponent);
  void ShiftLeft(int bits);
  /// *this - other; `other` must not be larger.
  void Subtract(const BigInteger& other);

  int BitLength() const;
  bool IsZero() const { return limbs_.empty(); }

  /// The highest 128 bits, moved so that bit 127 is the top bit, and
  /// whether any bit below them is set. Not for zero.
  UInt128 TopBits(bool& sticky) const;

  /// Bits `bit` to `bit` + 127, as an integer; zeros beyond the top.
  UInt128 BitsFrom(int bit) const;

  /// -1, 0 or 1 as a is below, equal to or above b.
  friend int Compare(const BigInteger& a, const BigInteger& b);

 private:
  void Trim();
  std::uint64_t WordFrom(int bit) const;

  std::vector<std::uint64_t> limbs_;
};

/// floor(dividend / divisor), which must be below 2^128; the dividend is
/// left holding the remainder. The divisor must not be zero.
UInt128 DivideInto(BigInteger& dividend, const BigInteger& divisor);

}  // namespace velmo
