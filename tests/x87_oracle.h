// The x87 unit as the judge of the software extended type: operands drawn
// to hit the hard cases, every operation done both ways, and the results
// compared bit for bit. Shared by the unit test, the fuzz target and the
// proof run in benchmarks/; only where long double is the x87 format.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "numtext/soft_extended.h"

static_assert(LDBL_MANT_DIG == 64, "the x87 unit is the reference");

namespace velmo::test {

inline long double Native(SoftExtended x) {
  long double value = 0;
  std::uint64_t significand = x.Significand();
  auto signExponent = static_cast<std::uint16_t>((x.Negative() ? 0x8000 : 0) | x.BiasedExponent());
  std::memcpy(&value, &significand, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&value) + 8, &signExponent, 2);
  return value;
}

inline SoftExtended FromNative(long double x) {
  std::uint64_t significand;
  std::uint16_t signExponent;
  std::memcpy(&significand, &x, 8);
  std::memcpy(&signExponent, reinterpret_cast<const unsigned char*>(&x) + 8, 2);
  return SoftExtended::FromFields((signExponent >> 15) != 0, signExponent & 0x7FFF, significand);
}

inline std::string Show(SoftExtended x) {
  std::ostringstream out;
  out << (x.Negative() ? '-' : '+') << std::hex << std::uppercase << x.BiasedExponent() << ':' << x.Significand();
  return out.str();
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
    switch (Below(6)) {
      case 0: return ~0ull - Below(4);
      case 1: return top + Below(4);
      case 2: return ((Next() | top) & ~((1ull << Below(64)) - 1)) | top;
      case 3: return top | (Next() >> Below(64));
      default: return Next() | top;
    }
  }

  /// Any canonical extended value, weighted towards the edges of the range
  /// and the special values.
  SoftExtended Operand() {
    const bool negative = (Next() & 1) != 0;
    switch (Below(16)) {
      case 0: return SoftExtended::FromFields(negative, 0, 0);
      case 1: return SoftExtended::FromFields(negative, 0x7FFF, SoftExtended::kIntegerBit);
      case 2: {  // a NaN, quiet or signalling, with a payload
        std::uint64_t payload = Next() >> 2;
        if (payload == 0) payload = 1;
        std::uint64_t quiet = (Next() & 1) != 0 ? 1ull << 62 : 0;
        return SoftExtended::FromFields(negative, 0x7FFF, SoftExtended::kIntegerBit | quiet | payload);
      }
      case 3: return SoftExtended::FromFields(negative, 0, Significand() >> (1 + Below(63)));  // denormal
      case 4: return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(1 + Below(140)), Significand());
      case 5: return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(0x7FFE - Below(140)), Significand());
      case 6:  // about the double range's edges
        return SoftExtended::FromFields(
            negative, static_cast<std::uint16_t>(SoftExtended::kBias + (Next() & 1 ? 1023 : -1022) - 60 + Below(120)),
            DoubleEdgeSignificand());
      case 7:
      case 8: return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(1 + Below(0x7FFE)), Significand());
      default:
        return SoftExtended::FromFields(negative, static_cast<std::uint16_t>(SoftExtended::kBias - 80 + Below(160)),
                                        Significand());
    }
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

/// Every operation on `a` and `b`, done by the software type and by the
/// x87 unit; empty when all agree bit for bit, else what differed. Counts
/// the operations done in `count`.
inline std::string CompareWithX87(SoftExtended a, SoftExtended b, std::uint64_t& count) {
  // volatile: the x87 unit must do every operation at run time.
  volatile long double x = Native(a);
  volatile long double y = Native(b);
  auto same = [](SoftExtended soft, long double hard) {
    SoftExtended h = FromNative(hard);
    return h.Negative() == soft.Negative() && h.BiasedExponent() == soft.BiasedExponent() &&
           h.Significand() == soft.Significand();
  };
  std::string what;
  auto check = [&](const char* name, SoftExtended soft, long double hard) {
    ++count;
    if (!same(soft, hard)) what += std::string(name) + " gave " + Show(soft) + ", x87 " + Show(FromNative(hard)) + "; ";
  };
  check("+", a + b, x + y);
  check("-", a - b, x - y);
  check("*", a * b, x * y);
  check("/", a / b, x / y);
  check("negate", -a, -x);
  auto compare = [&](const char* name, bool soft, bool hard) {
    ++count;
    if (soft != hard) what += std::string(name) + " differs; ";
  };
  compare("==", a == b, x == y);
  compare("!=", a != b, x != y);
  compare("<", a < b, x < y);
  compare("<=", a <= b, x <= y);
  compare(">", a > b, x > y);
  compare(">=", a >= b, x >= y);
  // Rounding to double, and the double back to the extended format.
  double softDouble = static_cast<double>(a);
  volatile double hardDouble = static_cast<double>(x);
  ++count;
  if (std::memcmp(&softDouble, const_cast<double*>(&hardDouble), sizeof softDouble) != 0) what += "to double; ";
  check("from double", SoftExtended(softDouble), static_cast<long double>(hardDouble));
  // Any double at all, signalling NaNs and denormals among them.
  std::uint64_t raw = a.Significand() ^ (b.Significand() << 1) ^ (static_cast<std::uint64_t>(b.BiasedExponent()) << 52);
  double anyDouble;
  std::memcpy(&anyDouble, &raw, sizeof anyDouble);
  volatile double hardAny = anyDouble;
  check("any double", SoftExtended(anyDouble), static_cast<long double>(hardAny));
  // Integers from the significand's bits.
  const std::uint64_t bits = b.Significand() >> (b.BiasedExponent() % 64);
  check("from unsigned", SoftExtended(static_cast<unsigned long long>(bits)),
        static_cast<long double>(static_cast<unsigned long long>(bits)));
  check("from signed", SoftExtended(static_cast<long long>(bits)),
        static_cast<long double>(static_cast<long long>(bits)));
  if (!what.empty()) what = "a = " + Show(a) + ", b = " + Show(b) + ": " + what;
  return what;
}

}  // namespace velmo::test
