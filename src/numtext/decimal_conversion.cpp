#include "numtext/decimal_conversion.h"

#include "numtext/big_integer.h"
#include "numtext/powers.h"

namespace velmo {

namespace {

// The decimal exponents beyond which a value surely overflows, or surely
// rounds to zero: the extended range runs from about 3.6E-4951 (the
// smallest denormal) to about 1.19E4932.
constexpr long kSurelyTooLarge = 4933;
constexpr long kSurelyZero = -4951;

// Up to 19 digits are an integer below 2^64, and 10^0 to 10^18 are below
// 2^64 too: both exact in the extended format.
constexpr long kExactDigits = 19;
constexpr long kExactPowers = 18;

/// digits x 10^exponent for exact operands: one multiplication or
/// division, which the extended format rounds correctly by itself, to
/// nearest and ties to even, as the exact way below does. The numbers of
/// settings files take this way.
Extended OneRounding(std::string_view digits, long exponent) {
  std::uint64_t integer = 0;
  for (const char digit : digits) integer = integer * 10 + static_cast<std::uint64_t>(digit - '0');
  const Extended power = kPowerOf10[static_cast<std::size_t>(exponent < 0 ? -exponent : exponent)];
  return exponent < 0 ? Extended(integer) / power : Extended(integer) * power;
}

Extended FromSoft(SoftExtended x) {
  return Extended::FromFields(x.Negative(), x.BiasedExponent(), x.Significand());
}

/// |x| as an integer times a power of two: x = significand x 2^exponent.
struct BinaryParts {
  std::uint64_t significand;
  int exponent;
};

BinaryParts Parts(Extended x) {
  const int biased = x.BiasedExponent() == 0 ? 1 : x.BiasedExponent();
  return {x.Significand(), biased - SoftExtended::kBias - 63};
}

/// floor(|x| x 10^power) and how the rest compares with one half.
struct Scaled {
  UInt128 floor;
  int half;  // -1, 0 or 1: the rest below, at or above one half
};

Scaled Scale(Extended x, int power) {
  const BinaryParts parts = Parts(x);
  BigInteger numerator(parts.significand);
  BigInteger denominator(1);
  if (power >= 0) {
    numerator.MultiplyByPowerOf5(power);
  } else {
    denominator.MultiplyByPowerOf5(-power);
  }
  const int twos = parts.exponent + power;
  if (twos >= 0) {
    numerator.ShiftLeft(twos);
  } else {
    denominator.ShiftLeft(-twos);
  }
  Scaled result{DivideInto(numerator, denominator), 0};
  numerator.ShiftLeft(1);
  result.half = Compare(numerator, denominator);
  return result;
}

UInt128 RoundHalfEven(const Scaled& s) {
  return s.floor + ((s.half > 0 || (s.half == 0 && (s.floor & 1) != 0)) ? 1 : 0);
}

}  // namespace

bool ExtendedFromDecimal(std::string_view digits, long exponent, bool negative, Extended& value) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  while (!digits.empty() && digits.back() == '0') {
    digits.remove_suffix(1);
    ++exponent;
  }
  const auto length = static_cast<long>(digits.size());
  if (digits.empty() || length + exponent <= kSurelyZero) {
    value = FromSoft(SoftExtended::FromFields(negative, 0, 0));
    return true;
  }
  if (length + exponent - 1 >= kSurelyTooLarge) return false;
  if (length <= kExactDigits && exponent >= -kExactPowers && exponent <= kExactPowers) {
    value = OneRounding(digits, exponent);
    if (negative) value = -value;
    return true;
  }

  BigInteger number = BigInteger::FromDigits(digits);
  UInt128 top;
  bool sticky;
  int e;
  if (exponent >= 0) {
    // digits x 5^exponent x 2^exponent: an integer.
    number.MultiplyByPowerOf5(static_cast<int>(exponent));
    top = number.TopBits(sticky);
    e = number.BitLength() - 1 + static_cast<int>(exponent);
  } else {
    // digits x 2^exponent / 5^-exponent: 127 or 128 quotient bits, the
    // remainder sticky.
    BigInteger divisor(1);
    divisor.MultiplyByPowerOf5(static_cast<int>(-exponent));
    const int shift = divisor.BitLength() + 127 - number.BitLength();
    if (shift >= 0) {
      number.ShiftLeft(shift);
    } else {
      divisor.ShiftLeft(-shift);
    }
    top = DivideInto(number, divisor);
    sticky = !number.IsZero();
    int topBit = 127;
    if ((top >> 127) == 0) {
      top <<= 1;
      topBit = 126;
    }
    e = topBit - shift + static_cast<int>(exponent);
  }
  SoftExtended rounded = SoftExtended::Round(negative, e, top, sticky);
  if (rounded.AllExponentBitsSet()) return false;
  value = FromSoft(rounded);
  return true;
}

std::uint64_t ScaledToInteger(Extended x, int power) {
  return static_cast<std::uint64_t>(RoundHalfEven(Scale(x, power)));
}

EighteenDigitInteger ExactEighteenDigits(Extended x) {
  // The decade from the binary exponent, by the usual integer estimate of
  // log10(2); one step up or down settles it.
  const BinaryParts parts = Parts(x);
  const int top = parts.exponent + 63 - std::countl_zero(parts.significand);
  int decade = ((top * 78913) >> 18) + 1;
  for (;;) {
    Scaled s = Scale(x, 18 - decade);
    if (s.floor >= kTen18) {
      ++decade;
    } else if (s.floor < kTen17) {
      --decade;
    } else {
      auto q = static_cast<std::uint64_t>(RoundHalfEven(s));
      if (q == kTen18) return {kTen17, decade + 1};
      return {q, decade};
    }
  }
}

}  // namespace velmo
