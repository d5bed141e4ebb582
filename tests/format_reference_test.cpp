// FormatCell against a slow reference built from the rules alone: the exact
// decimal expansion of the double, rounded to 18 significant digits with
// ties to even, then rounded again, 5 and up, to the digits the cell keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "extended_support.h"
#include "numtext/bit_cast.h"
#include "numtext/format_cell.h"

namespace velmo {
namespace {

/// The exact decimal value of a positive double: all significant digits
/// and the power of ten of the first one (value = 0.digits x 10^exponent).
struct Exact {
  std::string digits;
  int exponent;
};

/// Multiplies a decimal digit string in place by a small factor.
void Multiply(std::string& digits, int factor) {
  int carry = 0;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    int v = (*it - '0') * factor + carry;
    *it = static_cast<char>('0' + v % 10);
    carry = v / 10;
  }
  while (carry > 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
    carry /= 10;
  }
}

Exact ExactDecimal(double x) {
  int binaryExponent;
  double fraction = std::frexp(x, &binaryExponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  binaryExponent -= 53;  // x = mantissa x 2^binaryExponent
  std::string digits = std::to_string(mantissa);
  int pointFromRight = 0;
  for (; binaryExponent > 0; --binaryExponent) Multiply(digits, 2);
  // m x 2^-k = m x 5^k / 10^k
  for (; binaryExponent < 0; ++binaryExponent, ++pointFromRight) Multiply(digits, 5);
  int exponent = static_cast<int>(digits.size()) - pointFromRight;
  std::size_t first = digits.find_first_not_of('0');
  exponent -= static_cast<int>(first);
  digits.erase(0, first);
  digits.erase(digits.find_last_not_of('0') + 1);
  return {digits, exponent};
}

/// Rounds to `n` digits: `tiesToEven` for the exact-to-18 rounding, else
/// 5 and up. Returns the kept digits and may raise the exponent.
std::string RoundTo(std::string digits, int& exponent, int n, bool tiesToEven) {
  if (n < 0) return "";
  if (static_cast<int>(digits.size()) <= n) return digits;
  std::string kept = digits.substr(0, static_cast<std::size_t>(n));
  std::string rest = digits.substr(static_cast<std::size_t>(n));
  bool up;
  if (tiesToEven) {
    bool half = rest[0] == '5' && rest.find_first_not_of('0', 1) == std::string::npos;
    up =
        rest[0] > '5' || (rest[0] == '5' && !half) || (half && !kept.empty() && (kept.back() - '0') % 2 == 1);
  } else {
    up = rest[0] >= '5';
  }
  if (!up) return kept;
  int i = n - 1;
  while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
  if (i < 0) {
    kept.insert(kept.begin(), '1');
    if (n > 0) kept.pop_back();
    ++exponent;
  } else {
    ++kept[static_cast<std::size_t>(i)];
  }
  return kept;
}

char DigitAt(const std::string& digits, int i) {
  return i >= 1 && i <= static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i - 1)] : '0';
}

/// The cell text of a positive finite double, from the rules of the shapes.
std::string ReferenceCell(double x) {
  Exact exact = ExactDecimal(x);
  int exponent = exact.exponent;
  std::string digits = RoundTo(exact.digits, exponent, 18, true);
  const Extended v = x;
  if (x >= 100000) {
    // Two significant digits and a two- or three-digit exponent.
    std::string kept = RoundTo(digits, exponent, 2, false);
    int shown = exponent - 1;
    std::string power = std::to_string(shown);
    if (power.size() < 2) power = "0" + power;
    return std::string(1, DigitAt(kept, 1)) + "." + DigitAt(kept, 2) + "E+" + power;
  }
  int decimals = v < test::Ratio(995, 1000) ? 3 : v < test::Ratio(995, 100) ? 2 : v < Extended(99.5) ? 1 : 0;
  std::string kept = RoundTo(digits, exponent, exponent + decimals, false);
  std::string text;
  if (kept.empty()) exponent = 0;
  for (int i = 1; i <= exponent; ++i) text += DigitAt(kept, i);
  if (exponent <= 0 && decimals == 0) text = "0";
  text += '.';
  for (int j = 1; j <= decimals; ++j) text += DigitAt(kept, exponent + j);
  return text;
}

TEST(FormatCellReference, AgreesOverManyRandomDistances) {
  std::mt19937_64 random(250207);
  std::uniform_real_distribution<double> decade(-4, 7);
  for (int i = 0; i < 200000; ++i) {
    double x;
    switch (i % 3) {
      case 0: x = std::pow(10.0, decade(random)); break;
      case 1: x = static_cast<double>(random() % 20000000) / 1000; break;         // millimetre steps
      default: x = static_cast<double>(random() % 2000000) / 200 + 0.005; break;  // near halves
    }
    if (x == 0) continue;
    ASSERT_EQ(FormatCell(kNoSign, Markup::Text, x).Str(), ReferenceCell(x)) << std::hexfloat << x;
  }
}

TEST(FormatCellReference, AgreesAtTheShapeBoundaries) {
  const double boundaries[] = {0.995, 9.95, 99.5, 999.5, 9999.5, 99999.5, 100000, 0.0005};
  for (double b : boundaries) {
    double x = b;
    for (int step = 0; step < 50; ++step) x = std::nextafter(x, 0.0);
    for (int step = 0; step < 100; ++step, x = std::nextafter(x, 1E9)) {
      ASSERT_EQ(FormatCell(kNoSign, Markup::Text, x).Str(), ReferenceCell(x)) << std::hexfloat << x;
    }
  }
}

TEST(FormatCell, TheQuickWayAgreesWithTheRulesOnAndNextToEveryTie) {
  // Every half of the last place each shape shows, as the nearest double
  // and the doubles around it, then doubles of every size.
  struct Shape {
    int decimals;
    int first;
    int last;
  };
  const Shape shapes[] = {{3, 0, 1000}, {2, 99, 1000}, {1, 99, 1000}, {0, 99, 100000}};
  int compared = 0;
  for (const Shape& shape : shapes) {
    const double scale = std::pow(10.0, shape.decimals);
    for (int m = shape.first; m < shape.last; ++m) {
      double x = (m + 0.5) / scale;
      for (int step = 0; step < 2; ++step) x = std::nextafter(x, 0.0);
      for (int step = 0; step < 5; ++step, x = std::nextafter(x, 1E9), ++compared) {
        const char sign = step % 2 == 0 ? 0 : '+';
        ASSERT_EQ(FormatCell(sign, Markup::Html, x).Str(), FormatCellByRules(sign, Markup::Html, x).Str())
            << std::hexfloat << x;
      }
    }
  }
  std::mt19937_64 random(7);
  for (int i = 0; i < 200000; ++i, ++compared) {
    const double x = BitCast<double>(random() & 0x7FFFFFFFFFFFFFFFull) * (i % 2 == 0 ? 1 : -1);
    ASSERT_EQ(FormatCell(kNoSign, Markup::Text, x).Str(), FormatCellByRules(kNoSign, Markup::Text, x).Str())
        << std::hexfloat << x;
  }
  EXPECT_GT(compared, 700000);
}

}  // namespace
}  // namespace velmo
