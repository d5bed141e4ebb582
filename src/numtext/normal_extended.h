// The short path of the software extended format: normal values taken
// apart, for whole chains of operations without packing them in between.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

#include "numtext/bit_cast.h"

// The short paths of the arithmetic belong inside the formulas that use
// them: a call per operation would cost more than the operation.
// What such a path gives up to stays out of line.
#if defined(__GNUC__)
#define VELMO_ALWAYS_INLINE [[gnu::always_inline]]
#define VELMO_NEVER_INLINE [[gnu::noinline]]
#else
#define VELMO_ALWAYS_INLINE
#define VELMO_NEVER_INLINE
#endif

namespace velmo {

__extension__ using UInt128 = unsigned __int128;

/// DivideWide (below) in two steps of 64 by 32 bits (Knuth's long division
/// in base 2^32), which every 64-bit processor divides in hardware.
VELMO_ALWAYS_INLINE constexpr std::uint64_t LongDivideWide(std::uint64_t high, std::uint64_t low,
                                                           std::uint64_t divisor, std::uint64_t& rest) {
  // Hacker's Delight, divlu, for a divisor already normalised: each step
  // estimates a 32-bit quotient digit from the divisor's top half and
  // corrects it at most twice.
  constexpr std::uint64_t kBase = 1ull << 32;
  constexpr std::uint64_t kMask = kBase - 1;
  const std::uint64_t divisorHigh = divisor >> 32;
  const std::uint64_t divisorLow = divisor & kMask;
  const std::uint64_t lowHigh = low >> 32;
  const std::uint64_t lowLow = low & kMask;
  auto digit = [&](std::uint64_t top, std::uint64_t next) {
    std::uint64_t q = top / divisorHigh;
    std::uint64_t r = top - q * divisorHigh;
    while (q >= kBase || q * divisorLow > (r << 32) + next) {
      --q;
      r += divisorHigh;
      if (r >= kBase) break;
    }
    return q;
  };
  const std::uint64_t q1 = digit(high, lowHigh);
  const std::uint64_t middle = (high << 32) + lowHigh - q1 * divisor;  // below the divisor
  const std::uint64_t q0 = digit(middle, lowLow);
  rest = (middle << 32) + lowLow - q0 * divisor;
  return (q1 << 32) + q0;
}

/// The quotient of the 128-bit `high` x 2^64 + `low` by `divisor`, whose
/// bit 63 is set, with `high` below `divisor` so that the quotient fits
/// 64 bits; the remainder in `rest`. One instruction on x86-64, else
/// LongDivideWide; never the compiler's 128-bit division, which is a
/// slow loop where the processor cannot divide 128 bits (arm64).
VELMO_ALWAYS_INLINE constexpr std::uint64_t DivideWide(std::uint64_t high, std::uint64_t low,
                                                       std::uint64_t divisor, std::uint64_t& rest) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (!std::is_constant_evaluated()) {
    std::uint64_t quotient;
    asm("divq %[divisor]" : "=a"(quotient), "=d"(rest) : "a"(low), "d"(high), [divisor] "rm"(divisor));
    return quotient;
  }
#endif
  return LongDivideWide(high, low, divisor, rest);
}

/// A normal value of the extended format taken apart (significand with
/// its integer bit, biased exponent, sign), with a mark that says whether
/// every step that made it kept to normal values. Every operand and result
/// of a table's formulas is normal and of modest exponent; on those,
/// +, -, x and / here are correctly rounded to nearest, ties to even, as
/// the x87 unit rounds, without a branch on the bits. Anything else (zeros,
/// denormals, infinities, NaNs, huge gaps, cancellation, a rounding that
/// carries into the next binade) only sets the mark, which every later step
/// passes on: the caller checks it once, at the end, and computes again
/// with SoftExtended. Converted to double, a marked value is a NaN, so that
/// the mark also survives the doubles a formula stores between its steps.
/// The exponent's range is checked where a value leaves, not at every
/// step: by OnShortPath, and by the conversions to double (whose range is
/// far narrower). A chain that starts from doubles cannot reach the ends
/// of the extended range in fewer than 15 products or quotients (2^1024
/// to the 15th is 2^15360, short of 2^16384), and a table's formulas take
/// three at most between the doubles they store.
class NormalExtended {
 public:
  static constexpr int kBias = 16383;
  static constexpr int kMaxExponent = 0x7FFF;
  static constexpr std::uint64_t kIntegerBit = 1ull << 63;

  constexpr NormalExtended() = default;
  VELMO_ALWAYS_INLINE constexpr NormalExtended(double x) {  // NOLINT: exact, as for long double
    const auto bits = BitCast<std::uint64_t>(x);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    significand_ = kIntegerBit | (bits << 11);
    exponent_ = biased - 1023 + kBias;
    negative_ = static_cast<std::uint32_t>(bits >> 63);
    off_ = static_cast<unsigned>(biased - 1) >= 0x7FE ? 1 : 0;
  }
  VELMO_ALWAYS_INLINE constexpr NormalExtended(int x) {  // NOLINT: exact, as for long double
    const std::uint64_t magnitude =
        x < 0 ? 0ull - static_cast<std::uint64_t>(x) : static_cast<std::uint64_t>(x);
    const int shift = std::countl_zero(magnitude);
    significand_ = magnitude << (shift & 63);
    exponent_ = kBias + 63 - shift;
    negative_ = x < 0 ? 1 : 0;
    off_ = magnitude == 0 ? 1 : 0;
  }

  /// The value with these fields; marked unless they make a normal value.
  static constexpr NormalExtended FromFields(bool negative, int exponent, std::uint64_t significand) {
    NormalExtended x;
    x.significand_ = significand;
    x.exponent_ = exponent;
    x.negative_ = negative ? 1 : 0;
    x.off_ = (static_cast<unsigned>(exponent - 1) >= kMaxExponent - 1 || (significand >> 63) == 0) ? 1 : 0;
    return x;
  }

  /// Whether every step kept to normal values: the fields are the result.
  /// The lowest binade counts as off too: a result that only rounding lifted
  /// into it was a denormal before, rounded as one.
  constexpr bool OnShortPath() const {
    return off_ == 0 && static_cast<unsigned>(exponent_ - 2) < kMaxExponent - 2;
  }
  constexpr bool Negative() const { return negative_ != 0; }
  constexpr int BiasedExponent() const { return exponent_; }
  constexpr std::uint64_t Significand() const { return significand_; }

  /// Rounded to the nearest double, ties to even; a NaN when marked or
  /// when the double would not be normal.
  VELMO_ALWAYS_INLINE constexpr explicit operator double() const {
    const int biased = exponent_ - kBias + 1023;
    const std::uint64_t kept = significand_ >> 11;
    const std::uint64_t rest = significand_ & 0x7FF;
    // Past half, or at half with an odd last bit: bit 11 of the sum says so.
    const std::uint64_t up = ((rest + 0x3FF + (kept & 1)) >> 11) & 1;
    // A carry runs into the exponent: adding the fields does it.
    const std::uint64_t bits = (static_cast<std::uint64_t>(biased) << 52) + (kept - (1ull << 52)) + up;
    const bool normal =
        off_ == 0 && static_cast<unsigned>(biased - 1) < 0x7FE && bits < 0x7FF0000000000000ull;
    return BitCast<double>(normal ? (static_cast<std::uint64_t>(negative_) << 63) | bits : kMarked);
  }

  /// The same double, kept taken apart for the next step: the value of
  /// NormalExtended(double(*this)), without packing and unpacking it.
  /// Marked where that double would not be normal.
  VELMO_ALWAYS_INLINE constexpr NormalExtended RoundedToDouble() const {
    // Up past half, or at half with an odd last bit, then the 11 bits gone;
    // rounding up all ones wraps to zero and carries into the next binade.
    const std::uint64_t rounded = (significand_ + 0x3FF + ((significand_ >> 11) & 1)) & ~0x7FFull;
    const int carry = rounded == 0 ? 1 : 0;
    NormalExtended x;
    x.significand_ = rounded | (static_cast<std::uint64_t>(carry) << 63);
    x.exponent_ = exponent_ + carry;
    x.negative_ = negative_;
    x.off_ = off_ | (static_cast<unsigned>(x.exponent_ - kBias + 1023 - 1) >= 0x7FE ? 1 : 0);
    return x;
  }

  VELMO_ALWAYS_INLINE friend constexpr NormalExtended operator+(NormalExtended a, NormalExtended b) {
    return Sum(a, b, 0);
  }
  VELMO_ALWAYS_INLINE friend constexpr NormalExtended operator-(NormalExtended a, NormalExtended b) {
    return Sum(a, b, 1);
  }
  VELMO_ALWAYS_INLINE friend constexpr NormalExtended operator*(NormalExtended a, NormalExtended b) {
    return Product(a, b);
  }
  VELMO_ALWAYS_INLINE friend constexpr NormalExtended operator/(NormalExtended a, NormalExtended b) {
    return Quotient(a, b);
  }

  /// 1 + h and 1 - h for a positive h, as + and - give them, in fewer
  /// steps: the signs are known, and so is the larger term of 1 - h (which
  /// is marked unless h < 1).
  friend constexpr NormalExtended OnePlus(NormalExtended h);
  friend constexpr NormalExtended OneMinus(NormalExtended h);
  /// Whether 1 < h < 2^996, from the fields. Whatever it says of a marked
  /// h, the result of the step that asks is marked too.
  VELMO_ALWAYS_INLINE friend constexpr bool AboveOne(NormalExtended h) {
    constexpr int kOne = kBias;
    return !h.Negative() && (h.exponent_ > kOne || (h.exponent_ == kOne && h.significand_ != kIntegerBit)) &&
           h.exponent_ < kOne + 996;
  }

 private:
  // A quiet NaN; any NaN would do.
  static constexpr std::uint64_t kMarked = 0x7FF8000000000000ull;

  /// Whether the 64 bits `low` that follow the significand `high` round it
  /// up, to nearest, ties to even: past half, or at half with an odd `high`.
  VELMO_ALWAYS_INLINE static constexpr std::uint64_t RoundsUp(std::uint64_t high, std::uint64_t low) {
    return low >= kIntegerBit + 1 - (high & 1) ? 1 : 0;
  }

  /// The normal value of biased exponent `biased` and significand `high`,
  /// rounded up by `up` (0 or 1). The rounding is arithmetic, not branches:
  /// the dropped bits of a table's numbers are as good as random, and a
  /// mispredicted branch costs more than the whole operation.
  VELMO_ALWAYS_INLINE static constexpr NormalExtended Rounded(std::uint32_t negative, int biased,
                                                              std::uint64_t high, std::uint64_t up, int off) {
    high += up;
    NormalExtended x;
    x.significand_ = high;
    x.exponent_ = biased;
    x.negative_ = negative;
    // Rounding up all ones would carry into the next binade: rare enough to
    // leave to the long path.
    x.off_ = off | (high == 0 ? 1 : 0);
    return x;
  }

  VELMO_ALWAYS_INLINE static constexpr NormalExtended Sum(NormalExtended a, NormalExtended b,
                                                          std::uint32_t subtract);
  /// The two halves of y moved `gap` places down, below the place of the
  /// larger significand: what lies under it, and what lies below it.
  struct Halves {
    std::uint64_t Under;
    std::uint64_t Below;
  };
  VELMO_ALWAYS_INLINE static constexpr Halves Aligned(std::uint64_t y, int gap, int& off);
  VELMO_ALWAYS_INLINE static constexpr NormalExtended SumOfMagnitudes(std::uint32_t negative, int biased,
                                                                      std::uint64_t x, std::uint64_t y,
                                                                      int gap, int off);
  VELMO_ALWAYS_INLINE static constexpr NormalExtended DifferenceOfMagnitudes(std::uint32_t negative,
                                                                             int biased, std::uint64_t x,
                                                                             std::uint64_t y, int gap,
                                                                             int off);
  VELMO_ALWAYS_INLINE static constexpr NormalExtended Product(NormalExtended a, NormalExtended b);
  VELMO_ALWAYS_INLINE static constexpr NormalExtended Quotient(NormalExtended a, NormalExtended b);

  std::uint64_t significand_ = 0;
  int exponent_ = 0;
  std::uint32_t negative_ = 0;
  // Nonzero once a step has left the short path.
  int off_ = 1;
};

constexpr NormalExtended NormalExtended::Sum(NormalExtended a, NormalExtended b, std::uint32_t subtract) {
  // The larger magnitude first, chosen by masks: which operand of a
  // table's sum is the larger changes from cell to cell.
  const std::uint32_t bNegative = b.negative_ ^ subtract;
  const bool swap =
      b.exponent_ > a.exponent_ || (b.exponent_ == a.exponent_ && b.significand_ > a.significand_);
  const std::uint64_t mask = 0 - static_cast<std::uint64_t>(swap);
  const std::uint64_t x = a.significand_ ^ ((a.significand_ ^ b.significand_) & mask);
  const std::uint64_t y = b.significand_ ^ ((a.significand_ ^ b.significand_) & mask);
  const auto narrowMask = static_cast<std::uint32_t>(mask);
  const std::uint32_t xNegative = a.negative_ ^ ((a.negative_ ^ bNegative) & narrowMask);
  const bool sameSign = a.negative_ == bNegative;
  const int biased = swap ? b.exponent_ : a.exponent_;
  const int gap = swap ? b.exponent_ - a.exponent_ : a.exponent_ - b.exponent_;
  const int off = a.off_ | b.off_;
  return sameSign ? SumOfMagnitudes(xNegative, biased, x, y, gap, off)
                  : DifferenceOfMagnitudes(xNegative, biased, x, y, gap, off);
}

// The sum or difference of the significands x and y, x the larger in
// magnitude and y `gap` places lower. Within 63 places the smaller one,
// held in 128 bits below the larger one's place, loses no bit: the result
// is exact before its one rounding.

constexpr NormalExtended::Halves NormalExtended::Aligned(std::uint64_t y, int gap, int& off) {
  // Beyond 63 places: the long path.
  off |= gap > 63 ? 1 : 0;
  const int places = gap & 63;
  // The second shift leaves 0 for no gap at all.
  return {y >> places, (y << 1) << (63 - places)};
}

constexpr NormalExtended NormalExtended::SumOfMagnitudes(std::uint32_t negative, int biased, std::uint64_t x,
                                                         std::uint64_t y, int gap, int off) {
  const auto [under, below] = Aligned(y, gap, off);
  std::uint64_t high = x + under;
  // A carry out of the top: one place up. No bit is lost: the last of
  // `below` is always 0.
  const std::uint64_t carry = high < x ? 1 : 0;
  const std::uint64_t low = carry != 0 ? (high << 63) | (below >> 1) : below;
  high = carry != 0 ? (high >> 1) | kIntegerBit : high;
  biased += static_cast<int>(carry);
  return Rounded(negative, biased, high, RoundsUp(high, low), off);
}

constexpr NormalExtended NormalExtended::DifferenceOfMagnitudes(std::uint32_t negative, int biased,
                                                                std::uint64_t x, std::uint64_t y, int gap,
                                                                int off) {
  const auto [under, below] = Aligned(y, gap, off);
  // x - y: the borrow of the lower half comes out of the upper one.
  std::uint64_t high = x - under - (below != 0 ? 1 : 0);
  std::uint64_t low = 0 - below;
  // Cancelling 64 places or more (or to zero) is left to the long path.
  off |= high == 0 ? 1 : 0;
  const int shift = std::countl_zero(high) & 63;
  high = (high << shift) | ((low >> 1) >> (63 - shift));
  low <<= shift;
  biased -= shift;
  return Rounded(negative, biased, high, RoundsUp(high, low), off);
}

VELMO_ALWAYS_INLINE constexpr NormalExtended RoundedToDouble(NormalExtended x) {
  return x.RoundedToDouble();
}

VELMO_ALWAYS_INLINE constexpr NormalExtended OnePlus(NormalExtended h) {
  constexpr int kOne = NormalExtended::kBias;
  const int off = h.off_ | static_cast<int>(h.negative_);
  // From 1 up, h is the larger; below 1, 1 is.
  const bool atLeastOne = h.exponent_ >= kOne;
  const std::uint64_t x = atLeastOne ? h.significand_ : NormalExtended::kIntegerBit;
  const std::uint64_t y = atLeastOne ? NormalExtended::kIntegerBit : h.significand_;
  const int biased = atLeastOne ? h.exponent_ : kOne;
  const int gap = atLeastOne ? h.exponent_ - kOne : kOne - h.exponent_;
  return NormalExtended::SumOfMagnitudes(0, biased, x, y, gap, off);
}

VELMO_ALWAYS_INLINE constexpr NormalExtended OneMinus(NormalExtended h) {
  constexpr int kOne = NormalExtended::kBias;
  const int off = h.off_ | static_cast<int>(h.negative_) | (h.exponent_ >= kOne ? 1 : 0);
  return NormalExtended::DifferenceOfMagnitudes(0, kOne, NormalExtended::kIntegerBit, h.significand_,
                                                kOne - h.exponent_, off);
}

constexpr NormalExtended NormalExtended::Product(NormalExtended a, NormalExtended b) {
  const UInt128 product = static_cast<UInt128>(a.significand_) * b.significand_;
  auto high = static_cast<std::uint64_t>(product >> 64);
  auto low = static_cast<std::uint64_t>(product);
  // The product of two numbers in [1, 2) lies in [1, 4): below 2 it moves
  // up one place.
  const std::uint64_t below2 = (high >> 63) ^ 1;
  high = (high << below2) | ((low >> 63) & below2);
  low <<= below2;
  const int biased = a.exponent_ + b.exponent_ - kBias + 1 - static_cast<int>(below2);
  return Rounded(a.negative_ ^ b.negative_, biased, high, RoundsUp(high, low), a.off_ | b.off_);
}

constexpr NormalExtended NormalExtended::Quotient(NormalExtended a, NormalExtended b) {
  // A marked divisor may lack its integer bit; the division must not trap.
  const std::uint64_t x = a.significand_ | kIntegerBit;
  const std::uint64_t y = b.significand_ | kIntegerBit;
  // x / y lies in [1/2, 2): x x 2^64 / y (x x 2^63 / y for x >= y) has
  // exactly 64 bits, the significand before rounding; the remainder says
  // which way it rounds.
  const std::uint64_t atLeastOne = x >= y ? 1 : 0;
  std::uint64_t rest = 0;
  const std::uint64_t high = DivideWide(x >> atLeastOne, (x << 63) & (0 - atLeastOne), y, rest);
  // Up when twice the remainder passes y, or meets it with an odd quotient
  // (y - rest, as twice the remainder may not fit 64 bits).
  const std::uint64_t up = rest + (high & 1) > y - rest ? 1 : 0;
  const int biased = a.exponent_ - b.exponent_ + kBias - 1 + static_cast<int>(atLeastOne);
  return Rounded(a.negative_ ^ b.negative_, biased, high, up, a.off_ | b.off_);
}

}  // namespace velmo
