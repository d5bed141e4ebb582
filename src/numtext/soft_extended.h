// The 80-bit extended format in software: for machines whose own long
// double is not that format, so that every build prints the same bytes.
#pragma once

#include <bit>
#include <cstdint>
#include <utility>

#include "numtext/bit_cast.h"
#include "numtext/normal_extended.h"

namespace velmo {

/// A value of the extended format (sign, 15-bit biased exponent, 64-bit
/// significand with an explicit integer bit), held exactly as the x87 unit
/// holds it. Add, subtract, multiply and divide are correctly rounded to
/// nearest, ties to even, with denormal results, signed zeros, infinities
/// and NaNs; the NaN that an operation passes on, and the one it makes for
/// an invalid operation, are those the x87 unit gives, bit for bit.
class SoftExtended {
 public:
  static constexpr int kBias = 16383;
  static constexpr std::uint16_t kMaxExponent = 0x7FFF;
  static constexpr std::uint64_t kIntegerBit = 1ull << 63;
  /// The type of a formula's short path: normal values taken apart from
  /// the first step to the last, the result checked once (a NaN where a
  /// step left it).
  using ShortPath = NormalExtended;

  constexpr SoftExtended() = default;
  constexpr SoftExtended(double x) { *this = FromDouble(x); }  // NOLINT: exact, as for long double
  constexpr SoftExtended(int x) { *this = FromInteger(x < 0, Magnitude(x)); }        // NOLINT
  constexpr SoftExtended(long x) { *this = FromInteger(x < 0, Magnitude(x)); }       // NOLINT
  constexpr SoftExtended(long long x) { *this = FromInteger(x < 0, Magnitude(x)); }  // NOLINT
  constexpr SoftExtended(unsigned x) { *this = FromInteger(false, x); }              // NOLINT
  constexpr SoftExtended(unsigned long x) { *this = FromInteger(false, x); }         // NOLINT
  constexpr SoftExtended(unsigned long long x) { *this = FromInteger(false, x); }    // NOLINT

  /// The value with these fields, as they stand (no rounding, no check).
  static constexpr SoftExtended FromFields(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    SoftExtended x;
    x.significand_ = significand;
    x.signExponent_ = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (exponent & kMaxExponent));
    return x;
  }

  /// The value taken apart, marked unless it is normal; and put together
  /// again from a value that is not marked.
  VELMO_ALWAYS_INLINE constexpr explicit operator NormalExtended() const {
    return NormalExtended::FromFields(Negative(), BiasedExponent(), significand_);
  }
  VELMO_ALWAYS_INLINE constexpr explicit SoftExtended(NormalExtended x)
      : significand_(x.Significand()),
        signExponent_(static_cast<std::uint16_t>((x.Negative() ? 0x8000 : 0) | x.BiasedExponent())) {}

  constexpr bool AllExponentBitsSet() const { return BiasedExponent() == kMaxExponent; }

  /// `x` itself: software arithmetic has no precision mode to find out.
  static constexpr SoftExtended Opaque(SoftExtended x) { return x; }

  constexpr bool Negative() const { return (signExponent_ & 0x8000) != 0; }
  constexpr std::uint16_t BiasedExponent() const { return signExponent_ & kMaxExponent; }
  constexpr std::uint64_t Significand() const { return significand_; }

  /// Rounded to the nearest double, ties to even: the value as stored.
  VELMO_ALWAYS_INLINE constexpr explicit operator double() const {
    const auto quick = static_cast<double>(NormalExtended(*this));
    return quick == quick ? quick : ToDouble();
  }

  constexpr SoftExtended operator-() const { return FromFields(!Negative(), BiasedExponent(), significand_); }
  // Every operand of a table is a normal number of modest exponent: the
  // short paths, inlined, compute those; the general code, out of line,
  // everything else (zeros, denormals, infinities, NaNs, huge gaps and
  // results beyond the normal range).
  VELMO_ALWAYS_INLINE friend constexpr SoftExtended operator+(SoftExtended a, SoftExtended b) {
    return Sum(a, b, false);
  }
  VELMO_ALWAYS_INLINE friend constexpr SoftExtended operator-(SoftExtended a, SoftExtended b) {
    return Sum(a, b, true);
  }
  VELMO_ALWAYS_INLINE friend constexpr SoftExtended operator*(SoftExtended a, SoftExtended b) {
    const NormalExtended quick = NormalExtended(a) * NormalExtended(b);
    return quick.OnShortPath() ? SoftExtended(quick) : Multiply(a, b);
  }
  VELMO_ALWAYS_INLINE friend constexpr SoftExtended operator/(SoftExtended a, SoftExtended b) {
    const NormalExtended quick = NormalExtended(a) / NormalExtended(b);
    return quick.OnShortPath() ? SoftExtended(quick) : Divide(a, b);
  }
  constexpr SoftExtended& operator+=(SoftExtended b) { return *this = *this + b; }
  constexpr SoftExtended& operator-=(SoftExtended b) { return *this = *this - b; }
  constexpr SoftExtended& operator*=(SoftExtended b) { return *this = *this * b; }
  constexpr SoftExtended& operator/=(SoftExtended b) { return *this = *this / b; }

  // IEEE comparisons: a NaN is unordered with everything, -0 equals +0.
  friend constexpr bool operator==(SoftExtended a, SoftExtended b) { return Compare(a, b) == 0; }
  friend constexpr bool operator!=(SoftExtended a, SoftExtended b) { return Compare(a, b) != 0; }
  friend constexpr bool operator<(SoftExtended a, SoftExtended b) { return Compare(a, b) == -1; }
  friend constexpr bool operator>(SoftExtended a, SoftExtended b) { return Compare(a, b) == 1; }
  friend constexpr bool operator<=(SoftExtended a, SoftExtended b) {
    int c = Compare(a, b);
    return c == -1 || c == 0;
  }
  friend constexpr bool operator>=(SoftExtended a, SoftExtended b) {
    int c = Compare(a, b);
    return c == 1 || c == 0;
  }

  /// The value sign x m x 2^(e - 127), where bit 127 of `m` is set and
  /// `sticky` says whether nonzero bits lie below m, rounded to nearest
  /// (ties to even) into the format: a denormal when it is that small, an
  /// infinity when it overflows.
  static constexpr SoftExtended Round(bool negative, int e, UInt128 m, bool sticky);

 private:
  // A finite nonzero value taken apart: significand with bit 63 set and the
  // power of two of that bit.
  struct Parts {
    std::uint64_t significand;
    int exponent;
  };

  constexpr bool IsNaN() const {
    return BiasedExponent() == kMaxExponent && (significand_ & ~kIntegerBit) != 0;
  }
  constexpr bool IsInfinity() const { return BiasedExponent() == kMaxExponent && !IsNaN(); }
  constexpr bool IsZero() const { return BiasedExponent() == 0 && significand_ == 0; }
  constexpr bool IsSignalling() const { return IsNaN() && (significand_ & (1ull << 62)) == 0; }

  // Not a template: clang cannot evaluate a member template's instance in a
  // constant before the end of the file.
  static constexpr unsigned long long Magnitude(long long x) {
    return x < 0 ? 0ull - static_cast<unsigned long long>(x) : static_cast<unsigned long long>(x);
  }

  constexpr Parts Unpack() const {
    // A denormal has the exponent of the smallest normal, without the
    // integer bit; normalised here so that every operation sees bit 63 set.
    int exponent = BiasedExponent() == 0 ? 1 - kBias : BiasedExponent() - kBias;
    int shift = std::countl_zero(significand_);
    return {significand_ << shift, exponent - shift};
  }

  static constexpr SoftExtended Zero(bool negative) { return FromFields(negative, 0, 0); }
  static constexpr SoftExtended Infinity(bool negative) {
    return FromFields(negative, kMaxExponent, kIntegerBit);
  }
  // What the x87 unit gives for an invalid operation: the "indefinite" NaN.
  static constexpr SoftExtended DefaultNaN() { return FromFields(true, kMaxExponent, 0xC000000000000000ull); }

  static constexpr SoftExtended Quiet(SoftExtended x) {
    x.significand_ |= 1ull << 62;
    return x;
  }

  /// The x87 unit's choice between NaN operands: a quiet NaN before a
  /// signalling one, else the larger significand, else the positive one;
  /// the result is always quiet.
  static constexpr SoftExtended PropagateNaN(SoftExtended a, SoftExtended b) {
    if (!b.IsNaN()) return Quiet(a);
    if (!a.IsNaN()) return Quiet(b);
    if (a.IsSignalling() != b.IsSignalling()) return a.IsSignalling() ? b : a;
    if (a.significand_ != b.significand_) return Quiet(a.significand_ > b.significand_ ? a : b);
    return Quiet(a.Negative() ? b : a);
  }

  static constexpr SoftExtended FromInteger(bool negative, std::uint64_t magnitude) {
    if (magnitude == 0) return Zero(false);
    int shift = std::countl_zero(magnitude);
    return FromFields(negative, static_cast<std::uint16_t>(kBias + 63 - shift), magnitude << shift);
  }

  static constexpr SoftExtended FromDouble(double x) {
    auto bits = BitCast<std::uint64_t>(x);
    bool negative = (bits >> 63) != 0;
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t fraction = bits & ((1ull << 52) - 1);
    if (biased == 0x7FF) {
      // Loading a signalling NaN quiets it, as the x87 unit does.
      if (fraction != 0)
        return FromFields(negative, kMaxExponent, kIntegerBit | (1ull << 62) | (fraction << 11));
      return Infinity(negative);
    }
    if (biased == 0) {
      // A denormal double is a normal extended value: fraction x 2^-1074,
      // with its top bit moved up to bit 63.
      if (fraction == 0) return Zero(negative);
      int shift = std::countl_zero(fraction);
      return FromFields(negative, static_cast<std::uint16_t>(kBias + 63 - 1074 - shift), fraction << shift);
    }
    return FromFields(negative, static_cast<std::uint16_t>(biased - 1023 + kBias),
                      kIntegerBit | (fraction << 11));
  }

  VELMO_ALWAYS_INLINE static constexpr SoftExtended Sum(SoftExtended a, SoftExtended b, bool subtract) {
    const NormalExtended x(a);
    const NormalExtended y(b);
    const NormalExtended quick = subtract ? x - y : x + y;
    return quick.OnShortPath() ? SoftExtended(quick) : Add(a, b, subtract);
  }

  constexpr double ToDouble() const;
  static constexpr SoftExtended Add(SoftExtended a, SoftExtended b, bool subtract);
  static constexpr SoftExtended Multiply(SoftExtended a, SoftExtended b);
  static constexpr SoftExtended Divide(SoftExtended a, SoftExtended b);
  static constexpr int Compare(SoftExtended a, SoftExtended b);

  std::uint64_t significand_ = 0;
  std::uint16_t signExponent_ = 0;
};

constexpr SoftExtended SoftExtended::Round(bool negative, int e, UInt128 m, bool sticky) {
  int biased = e + kBias;
  if (biased < 1) {
    // Too small for a normal value: shift down to the denormal scale first,
    // then round once, so the denormal is correctly rounded.
    int shift = 1 - biased;
    if (shift >= 128) {
      sticky = sticky || m != 0;
      m = 0;
    } else {
      sticky = sticky || (m & ((UInt128{1} << shift) - 1)) != 0;
      m >>= shift;
    }
    biased = 0;
  }
  auto high = static_cast<std::uint64_t>(m >> 64);
  auto low = static_cast<std::uint64_t>(m);
  constexpr std::uint64_t kHalf = 1ull << 63;
  if (low > kHalf || (low == kHalf && (sticky || (high & 1) != 0))) {
    ++high;
    if (high == 0) {
      high = kIntegerBit;
      ++biased;
    }
  }
  // A denormal that rounds up to bit 63 is the smallest normal value.
  if (biased == 0 && (high & kIntegerBit) != 0) biased = 1;
  if (biased >= kMaxExponent) return Infinity(negative);
  return FromFields(negative, static_cast<std::uint16_t>(biased), high);
}

constexpr double SoftExtended::ToDouble() const {
  const std::uint64_t sign = Negative() ? 1ull << 63 : 0;
  if (IsNaN()) {
    // The top 52 bits below the integer bit, made quiet: `Undefined` keeps
    // every bit set.
    return BitCast<double>(sign | 0x7FF8000000000000ull | ((significand_ >> 11) & ((1ull << 52) - 1)));
  }
  if (IsInfinity()) return BitCast<double>(sign | 0x7FF0000000000000ull);
  if (significand_ == 0) return BitCast<double>(sign);
  Parts p = Unpack();
  // Keep 53 bits, or fewer for a denormal double, and round the rest.
  int biased = p.exponent + 1023;
  int drop = 11;
  if (biased < 1) {
    drop += 1 - biased;
    biased = 0;
  }
  std::uint64_t kept;
  bool up;
  if (drop >= 64) {
    kept = 0;
    up = drop == 64 && p.significand > (1ull << 63);
  } else {
    kept = p.significand >> drop;
    std::uint64_t rest = p.significand & ((1ull << drop) - 1);
    std::uint64_t half = 1ull << (drop - 1);
    up = rest > half || (rest == half && (kept & 1) != 0);
  }
  if (up) ++kept;
  // A carry into bit 53 (or, for a denormal, into bit 52) is simply the
  // next binade: adding the fields does it.
  if (biased == 0) return BitCast<double>(sign | kept);
  if (biased >= 0x7FF) return BitCast<double>(sign | 0x7FF0000000000000ull);
  std::uint64_t bits = (static_cast<std::uint64_t>(biased) << 52) + (kept - (1ull << 52));
  if (bits >= 0x7FF0000000000000ull) return BitCast<double>(sign | 0x7FF0000000000000ull);
  return BitCast<double>(sign | bits);
}

constexpr SoftExtended SoftExtended::Add(SoftExtended a, SoftExtended b, bool subtract) {
  if (a.IsNaN() || b.IsNaN()) return PropagateNaN(a, b);
  const bool bNegative = b.Negative() != subtract;
  if (a.IsInfinity() || b.IsInfinity()) {
    if (a.IsInfinity() && b.IsInfinity() && a.Negative() != bNegative) return DefaultNaN();
    return a.IsInfinity() ? a : Infinity(bNegative);
  }
  if (b.IsZero()) {
    // x - x and -0 + 0 are +0 when rounding to nearest; -0 + -0 is -0.
    if (a.IsZero()) return Zero(a.Negative() && bNegative);
    return a;
  }
  if (a.IsZero()) return FromFields(bNegative, b.BiasedExponent(), b.significand_);

  Parts x = a.Unpack();
  Parts y = b.Unpack();
  bool xNegative = a.Negative();
  bool yNegative = bNegative;
  if (y.exponent > x.exponent || (y.exponent == x.exponent && y.significand > x.significand)) {
    std::swap(x, y);
    std::swap(xNegative, yNegative);
  }
  // Significands at bits 62..125, leaving a bit for the carry and 62 bits
  // below for the smaller operand; what falls off the end is kept as a
  // sticky bit, enough for one correct rounding.
  UInt128 big = static_cast<UInt128>(x.significand) << 62;
  UInt128 small = static_cast<UInt128>(y.significand) << 62;
  int gap = x.exponent - y.exponent;
  if (gap >= 127) {
    small = 1;
  } else if (gap > 0) {
    bool lost = (small & ((UInt128{1} << gap) - 1)) != 0;
    small = (small >> gap) | (lost ? 1 : 0);
  }
  UInt128 sum = xNegative == yNegative ? big + small : big - small;
  if (sum == 0) return Zero(false);
  int top = 127 - std::countl_zero(static_cast<std::uint64_t>(sum >> 64));
  if ((sum >> 64) == 0) top = 63 - std::countl_zero(static_cast<std::uint64_t>(sum));
  return Round(xNegative, x.exponent - 125 + top, sum << (127 - top), false);
}

constexpr SoftExtended SoftExtended::Multiply(SoftExtended a, SoftExtended b) {
  if (a.IsNaN() || b.IsNaN()) return PropagateNaN(a, b);
  const bool negative = a.Negative() != b.Negative();
  if (a.IsInfinity() || b.IsInfinity()) {
    if (a.IsZero() || b.IsZero()) return DefaultNaN();
    return Infinity(negative);
  }
  if (a.IsZero() || b.IsZero()) return Zero(negative);
  Parts x = a.Unpack();
  Parts y = b.Unpack();
  UInt128 product = static_cast<UInt128>(x.significand) * y.significand;
  // The product of two numbers in [1, 2) lies in [1, 4).
  if ((product >> 127) != 0) return Round(negative, x.exponent + y.exponent + 1, product, false);
  return Round(negative, x.exponent + y.exponent, product << 1, false);
}

constexpr SoftExtended SoftExtended::Divide(SoftExtended a, SoftExtended b) {
  if (a.IsNaN() || b.IsNaN()) return PropagateNaN(a, b);
  const bool negative = a.Negative() != b.Negative();
  if (a.IsInfinity()) return b.IsInfinity() ? DefaultNaN() : Infinity(negative);
  if (b.IsInfinity()) return Zero(negative);
  if (b.IsZero()) return a.IsZero() ? DefaultNaN() : Infinity(negative);
  if (a.IsZero()) return Zero(negative);
  Parts x = a.Unpack();
  Parts y = b.Unpack();
  // One long division of 128 by 64 bits, with the high half below the
  // divisor so that the quotient fits 64 bits (one machine instruction where
  // there is one): for x >= y the leading 1 of the quotient comes first.
  const bool atLeastOne = x.significand >= y.significand;
  const std::uint64_t high = atLeastOne ? x.significand - y.significand : x.significand;
  std::uint64_t rest = 0;
  const std::uint64_t quotient = DivideWide(high, 0, y.significand, rest);
  if (atLeastOne) {
    // 65 quotient bits: 1, then `quotient`; the remainder is sticky.
    UInt128 m = (UInt128{1} << 127) | (static_cast<UInt128>(quotient) << 63);
    return Round(negative, x.exponent - y.exponent, m, rest != 0);
  }
  // 64 quotient bits and one more from the remainder; what is left is sticky.
  const UInt128 twice = static_cast<UInt128>(rest) << 1;
  const bool guard = twice >= y.significand;
  const UInt128 left = guard ? twice - y.significand : twice;
  UInt128 m = (static_cast<UInt128>(quotient) << 64) | (guard ? UInt128{1} << 63 : 0);
  return Round(negative, x.exponent - y.exponent - 1, m, left != 0);
}

constexpr int SoftExtended::Compare(SoftExtended a, SoftExtended b) {
  // -1, 0 or 1 for less, equal or greater; 2 for unordered.
  if (a.IsNaN() || b.IsNaN()) return 2;
  if (a.IsZero() && b.IsZero()) return 0;
  if (a.Negative() != b.Negative()) return a.Negative() ? -1 : 1;
  int magnitude = 0;
  if (a.BiasedExponent() != b.BiasedExponent()) {
    magnitude = a.BiasedExponent() < b.BiasedExponent() ? -1 : 1;
  } else if (a.significand_ != b.significand_) {
    magnitude = a.significand_ < b.significand_ ? -1 : 1;
  }
  return a.Negative() ? -magnitude : magnitude;
}

}  // namespace velmo
