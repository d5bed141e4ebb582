// Extended operands drawn to hit the hard cases of the arithmetic and the
// conversions: ties, carries out of the significand, cancellation, denormal
// results, overflow, huge exponent gaps, NaN and infinity operands.
#pragma once

#include <cstdint>

#include "numtext/bit_cast.h"
#include "numtext/soft_extended.h"

namespace velmo::test {

/// Ten bytes (significand, then sign and exponent, as the x87 unit keeps
/// them) as a canonical value: the integer bit set exactly when the
/// exponent is not zero, as arithmetic leaves every value.
inline SoftExtended FromBytes(const std::uint8_t* bytes) {
  std::uint64_t significand = 0;
  std::uint16_t signExponent = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | bytes[i];
  signExponent = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
  const bool normal = (signExponent & 0x7FFF) != 0;
  significand = normal ? significand | SoftExtended::kIntegerBit : significand & ~SoftExtended::kIntegerBit;
  return SoftExtended::FromFields((signExponent >> 15) != 0, signExponent & 0x7FFF, significand);
}

/// A double of any kind made from two operands' bits (signalling NaNs and
/// denormals among them), and an integer of any length: the conversions'
/// operands.
inline double AnyDouble(SoftExtended a, SoftExtended b) {
  return BitCast<double>(a.Significand() ^ (b.Significand() << 1) ^
                         (static_cast<std::uint64_t>(b.BiasedExponent()) << 52));
}
inline std::uint64_t AnyInteger(SoftExtended b) {
  return b.Significand() >> (b.BiasedExponent() % 64);
}

/// A small fast generator (splitmix64), seeded by the caller.
class Draw {
 public:
  explicit Draw(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }

  /// A significand with its integer bit, shaped to make ties and carries:
  /// all ones, a lone top bit, few significant bits, or random.
  std::uint64_t Significand() {
    std::uint64_t top = SoftExtended::kIntegerBit;
    const std::uint64_t random = Next();
    switch (Below(6)) {
      case 0: return ~0ull - Below(4);
      case 1: return top + Below(4);
      case 2: return (random & ~((1ull << Below(64)) - 1)) | top;
      case 3: return top | (random >> Below(64));
      default: return random | top;
    }
  }

  /// Any canonical extended value, weighted towards the edges of the range
  /// and the special values.
  SoftExtended Operand() {
    // One draw a statement: the order in which a compiler evaluates the
    // arguments of a call differs between targets, and every build must
    // draw the same operands.
    const bool negative = (Next() & 1) != 0;
    const std::uint64_t kind = Below(16);
    switch (kind) {
      case 0: return SoftExtended::FromFields(negative, 0, 0);
      case 1: return SoftExtended::FromFields(negative, 0x7FFF, SoftExtended::kIntegerBit);
      case 2: {  // a NaN, quiet or signalling, with a payload
        std::uint64_t payload = Next() >> 2;
        if (payload == 0) payload = 1;
        const std::uint64_t quiet = (Next() & 1) != 0 ? 1ull << 62 : 0;
        return SoftExtended::FromFields(negative, 0x7FFF, SoftExtended::kIntegerBit | quiet | payload);
      }
      case 3: {  // a denormal
        const std::uint64_t significand = Significand();
        return SoftExtended::FromFields(negative, 0, significand >> (1 + Below(63)));
      }
      default: break;
    }
    std::uint64_t exponent;
    switch (kind) {
      case 4: exponent = 1 + Below(140); break;
      case 5: exponent = 0x7FFE - Below(140); break;
      case 6: {  // about the double range's edges
        const std::uint64_t edge =
            (Next() & 1) != 0 ? SoftExtended::kBias + 1023 : SoftExtended::kBias - 1022;
        exponent = edge - 60 + Below(120);
        break;
      }
      case 7:
      case 8: exponent = 1 + Below(0x7FFE); break;
      default: exponent = SoftExtended::kBias - 80 + Below(160); break;
    }
    const std::uint64_t significand = kind == 6 ? DoubleEdgeSignificand() : Significand();
    return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(exponent), significand);
  }

  /// A second operand near the first: the same or a nearby exponent (for
  /// cancellation and carries), a gap beyond the significand, or anything.
  SoftExtended Partner(SoftExtended a) {
    if (Below(4) == 0 || a.BiasedExponent() == 0x7FFF) return Operand();
    const bool negative = (Next() & 1) != 0;
    const int near = static_cast<int>(Below(5)) - 2;
    const int biasedA = a.BiasedExponent();
    int exponent = biasedA + static_cast<int>(Below(140)) - 70;
    switch (Below(8)) {
      // Products and quotients that land at the bottom of the normal range
      // (denormal results rounding up into it) or at the top (overflow).
      case 0: exponent = 2 * SoftExtended::kBias - biasedA + near; break;
      case 1: exponent = 0x7FFE + SoftExtended::kBias - biasedA + near; break;
      case 2: exponent = biasedA + SoftExtended::kBias - 1 + near; break;
      case 3: exponent = biasedA + SoftExtended::kBias - 0x7FFE + near; break;
      default: break;
    }
    if (exponent < 1 || exponent > 0x7FFE) exponent = a.BiasedExponent() == 0 ? 1 : a.BiasedExponent();
    std::uint64_t significand = Significand();
    switch (Below(4)) {
      case 0: significand = a.Significand() | SoftExtended::kIntegerBit; break;
      case 1: significand = (a.Significand() | SoftExtended::kIntegerBit) + Below(3) - 1; break;
      default: break;
    }
    if ((significand & SoftExtended::kIntegerBit) == 0) significand |= SoftExtended::kIntegerBit;
    return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(exponent), significand);
  }

 private:
  /// The 11 bits that rounding to double drops: at, next to, or anywhere
  /// around the tie.
  std::uint64_t DoubleEdgeSignificand() {
    std::uint64_t high = (Next() | SoftExtended::kIntegerBit) & ~0x7FFull;
    static constexpr std::uint64_t kLow[] = {0x400, 0x3FF, 0x401, 0x000, 0x7FF};
    return high | (Below(2) == 0 ? kLow[Below(5)] : Next() & 0x7FF);
  }

  std::uint64_t state_;
};

}  // namespace velmo::test
