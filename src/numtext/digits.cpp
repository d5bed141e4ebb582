#include "numtext/digits.h"

#include <array>
#include <cstdint>

#include "numtext/bit_cast.h"
#include "numtext/decimal_conversion.h"

namespace velmo {

namespace {

// Up to 5^27, the largest scale of the integer digit path below.
constexpr auto kPowerOf5 = Powers<5, 28>();

void MakeZero(DecimalDigits& digits) {
  digits.Significand = 0;
  digits.Count = 0;
  digits.Exponent = 0;
  digits.Negative = false;
}

/// The smallest and largest magnitudes the integer path below handles: the
/// scale 10^(18 - E) then stays within 5^27, and every product within 128
/// bits.
constexpr double kFastLow = 1E-9;
constexpr double kFastHigh = 1E17;

constexpr int kLowestPower = -10;
constexpr int kHighestPower = 18;

/// For 10^j, j from -10 to 18: the least double not below its value in the
/// extended format. A double is at least that extended value exactly when
/// it is at least this double, so the decade of a double is found by
/// comparing doubles alone.
constexpr std::array<double, kHighestPower - kLowestPower + 1> kDecadeStart = [] {
  std::array<double, kHighestPower - kLowestPower + 1> starts{};
  for (int j = kLowestPower; j <= kHighestPower; ++j) {
    const Extended power = j >= 0 ? Extended(kPowerOf10[static_cast<std::size_t>(j)])
                                  : Extended(1) / Extended(kPowerOf10[static_cast<std::size_t>(-j)]);
    starts[static_cast<std::size_t>(j - kLowestPower)] = LeastDoubleNotBelow(power);
  }
  return starts;
}();

/// round(magnitude x 10^k), ties to even, by exact integer arithmetic:
/// magnitude = m x 2^e, so the product is m x 5^k x 2^(k + e).
std::uint64_t ScaledRound(std::uint64_t m, int e, int k) {
  UInt128 a = static_cast<UInt128>(m) * kPowerOf5[static_cast<std::size_t>(k)];
  int shift = -(k + e);
  if (shift <= 0) return static_cast<std::uint64_t>(a << -shift);
  UInt128 q = a >> shift;
  UInt128 rest = a - (q << shift);
  UInt128 half = static_cast<UInt128>(1) << (shift - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return static_cast<std::uint64_t>(q);
}

/// The 18 digits of a double between kFastLow and kFastHigh, several times
/// faster than the general conversion and exactly as precise.
void IntegerDigits(double magnitude, DecimalDigits& digits) {
  auto bits = BitCast<std::uint64_t>(magnitude);
  int biased = static_cast<int>(bits >> 52);
  std::uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
  int e = biased - 1075;
  int exponent = DecadeOf(magnitude);
  std::uint64_t q = ScaledRound(m, e, 18 - exponent);
  // Rounding 99...95 up reaches the next decade.
  if (q == kTen18) {
    q = kTen17;
    ++exponent;
  }
  digits.Significand = q;
  digits.Exponent = exponent;
  digits.Count = 18;
}

void Spell(DecimalDigits& digits) {
  std::uint64_t q = digits.Significand;
  for (int i = digits.Count - 1; i >= 0; --i, q /= 10) digits.Digit[i] = static_cast<char>('0' + q % 10);
}

}  // namespace

bool IsTableDouble(Extended x) {
  auto narrow = static_cast<double>(x);
  return Extended(narrow) == x && narrow >= kFastLow && narrow < kFastHigh;
}

int DecadeOf(double x) {
  // floor(log10(2^b)) for the binary exponent b, by the usual integer
  // approximation of log10(2); the decade is that or the next.
  int binary = static_cast<int>(BitCast<std::uint64_t>(x) >> 52) - 1023;
  int guess = (binary * 78913) >> 18;
  return guess + 1 + (x >= kDecadeStart[static_cast<std::size_t>(guess + 1 - kLowestPower)] ? 1 : 0);
}

DecimalDigits TableDigits(double x) {
  DecimalDigits digits;
  IntegerDigits(x, digits);
  return digits;
}

DecimalDigits EighteenDigits(Extended x) {
  DecimalDigits digits;
  digits.Negative = x < 0;
  const Extended magnitude = Abs(x);
  if (magnitude == 0) {
    MakeZero(digits);
    return digits;
  }
  // Every table value is a double, and the integer path for doubles is
  // many times faster; both give the same digits for the same value.
  if (IsTableDouble(magnitude)) {
    IntegerDigits(static_cast<double>(magnitude), digits);
  } else {
    EighteenDigitInteger exact = ExactEighteenDigits(magnitude);
    digits.Significand = exact.Significand;
    digits.Exponent = exact.Exponent;
    digits.Count = 18;
  }
  return digits;
}

DecimalDigits SeventeenPlaces(Extended x) {
  DecimalDigits digits;
  digits.Negative = x.Negative();
  const std::uint64_t scaled = x == 0 ? 0 : ScaledToInteger(Abs(x), 17);
  if (scaled == 0) {
    MakeZero(digits);
    return digits;
  }
  int count = 1;
  while (count < 18 && scaled >= kPowerOf10[static_cast<std::size_t>(count)]) ++count;
  digits.Significand = scaled;
  digits.Count = count;
  digits.Exponent = count - 17;
  return digits;
}

void KeepDigits(DecimalDigits& digits, int n) {
  if (n < 0 || digits.Count == 0) {
    MakeZero(digits);
    return;
  }
  if (n < digits.Count) {
    // The digits beyond the n-th are `rest`; the first of them decides.
    std::uint64_t scale = kPowerOf10[digits.Count - n];
    std::uint64_t kept = digits.Significand / scale;
    std::uint64_t rest = digits.Significand - kept * scale;
    if (rest >= scale / 2) ++kept;
    digits.Count = n;
    if (kept == kPowerOf10[n]) {
      kept = 1;
      digits.Count = 1;
      ++digits.Exponent;
    }
    digits.Significand = kept;
  }
  while (digits.Count > 0 && digits.Significand % 10 == 0) {
    digits.Significand /= 10;
    --digits.Count;
  }
  if (digits.Count == 0) {
    MakeZero(digits);
    return;
  }
  Spell(digits);
}

}  // namespace velmo
