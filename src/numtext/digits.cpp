#include "numtext/digits.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>

namespace velmo {

namespace {

/// base^0 to base^(N-1), as a table made at compile time.
template <std::uint64_t Base, std::size_t N>
constexpr std::array<std::uint64_t, N> Powers() {
  std::array<std::uint64_t, N> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < N; ++i) powers[i] = powers[i - 1] * Base;
  return powers;
}

constexpr auto kPowerOf10 = Powers<10, 19>();
// Up to 5^27, the largest scale of the integer digit path below.
constexpr auto kPowerOf5 = Powers<5, 28>();

void MakeZero(DecimalDigits& digits) {
  digits.Significand = 0;
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
  std::uint64_t significand = static_cast<std::uint64_t>(text[0] - '0');
  for (int i = 2; i < 19; ++i) significand = significand * 10 + static_cast<std::uint64_t>(text[i] - '0');
  int exponent = 0;
  std::from_chars(text + 20 + (text[20] == '+' ? 1 : 0), result.ptr, exponent);
  digits.Significand = significand;
  digits.Exponent = exponent + 1;
  digits.Count = 18;
}

__extension__ using u128 = unsigned __int128;

constexpr std::uint64_t kTen17 = kPowerOf10[17];
constexpr std::uint64_t kTen18 = kPowerOf10[18];

/// The smallest and largest magnitudes the integer path below handles: the
/// scale 10^(18 - E) then stays within 5^27, and every product within 128
/// bits.
constexpr double kFastLow = 1E-9;
constexpr double kFastHigh = 1E17;

/// 10^j for j from -10 to 18, in the extended format. No double lies
/// between a power of ten and its extended value (the tests check every
/// one), so comparing a double with them finds its decade exactly.
constexpr long double kPowerOf10Extended[] = {
    1E-10L, 1E-9L, 1E-8L, 1E-7L, 1E-6L, 1E-5L, 1E-4L, 1E-3L, 1E-2L, 1E-1L, 1E0L,  1E1L,  1E2L,  1E3L, 1E4L,
    1E5L,   1E6L,  1E7L,  1E8L,  1E9L,  1E10L, 1E11L, 1E12L, 1E13L, 1E14L, 1E15L, 1E16L, 1E17L, 1E18L};
constexpr int kLowestPower = -10;

/// round(magnitude x 10^k), ties to even, by exact integer arithmetic:
/// magnitude = m x 2^e, so the product is m x 5^k x 2^(k + e).
std::uint64_t ScaledRound(std::uint64_t m, int e, int k) {
  u128 a = static_cast<u128>(m) * kPowerOf5[static_cast<std::size_t>(k)];
  int shift = -(k + e);
  if (shift <= 0) return static_cast<std::uint64_t>(a << -shift);
  u128 q = a >> shift;
  u128 rest = a - (q << shift);
  u128 half = static_cast<u128>(1) << (shift - 1);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return static_cast<std::uint64_t>(q);
}

/// The 18 digits of a double between kFastLow and kFastHigh, several times
/// faster than the general conversion and exactly as precise.
void IntegerDigits(double magnitude, DecimalDigits& digits) {
  auto bits = std::bit_cast<std::uint64_t>(magnitude);
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

bool IsTableDouble(long double x) {
  auto narrow = static_cast<double>(x);
  return static_cast<long double>(narrow) == x && narrow >= kFastLow && narrow < kFastHigh;
}

int DecadeOf(double x) {
  // floor(log10(2^b)) for the binary exponent b, by the usual integer
  // approximation of log10(2); the decade is that or the next.
  int binary = static_cast<int>(std::bit_cast<std::uint64_t>(x) >> 52) - 1023;
  int guess = (binary * 78913) >> 18;
  return guess + 1 + (x >= kPowerOf10Extended[guess + 1 - kLowestPower] ? 1 : 0);
}

DecimalDigits EighteenDigits(long double x) {
  DecimalDigits digits;
  digits.Negative = x < 0;
  long double magnitude = digits.Negative ? -x : x;
  if (magnitude == 0) {
    MakeZero(digits);
    return digits;
  }
  // Every table value is a double, and the double conversions are several
  // times faster; all give the same digits for the same value.
  auto narrow = static_cast<double>(magnitude);
  if (IsTableDouble(magnitude)) {
    IntegerDigits(narrow, digits);
  } else if (static_cast<long double>(narrow) == magnitude) {
    Scientific17(narrow, digits);
  } else {
    Scientific17(magnitude, digits);
  }
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
