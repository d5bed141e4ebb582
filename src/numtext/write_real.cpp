#include "numtext/write_real.h"

#include <algorithm>
#include <string_view>

#include "numtext/decimal_conversion.h"
#include "numtext/digits.h"

namespace velmo {

namespace {

// 1E36 rounded to the extended format: 10^18 x 10^18, rounded once.
constexpr Extended kExponentFormFrom = Extended(1000000000000000000ull) * Extended(1000000000000000000ull);

class RealText {
 public:
  void Append(char c) { chars_[size_++] = c; }
  void Append(std::string_view text) {
    for (char c : text) Append(c);
  }
  std::string_view View() const { return {chars_, size_}; }

 private:
  std::size_t size_ = 0;
  char chars_[320] = {};
};

/// The digits of |x| before and after the point: 18 significant digits, or
/// 17 decimal places below 1.
struct PointDigits {
  char Integer[40];
  int IntegerCount = 0;
  char Fraction[24];
  int FractionCount = 0;
};

PointDigits SplitAtPoint(Extended magnitude) {
  PointDigits p;
  if (magnitude < 1) {
    // 17 decimal places; rounding may reach 1.
    constexpr std::uint64_t kTen17 = 100000000000000000ull;
    std::uint64_t scaled = magnitude == 0 ? 0 : ScaledToInteger(magnitude, 17);
    p.Integer[p.IntegerCount++] = scaled == kTen17 ? '1' : '0';
    if (scaled == kTen17) scaled = 0;
    p.FractionCount = 17;
    for (int i = 16; i >= 0; --i, scaled /= 10) p.Fraction[i] = static_cast<char>('0' + scaled % 10);
    return p;
  }
  DecimalDigits d = EighteenDigits(magnitude);
  KeepDigits(d, 18);
  for (int i = 1; i <= d.Exponent; ++i) p.Integer[p.IntegerCount++] = d.At(i);
  for (int i = d.Exponent + 1; i <= 18; ++i) p.Fraction[p.FractionCount++] = d.At(i);
  return p;
}

void AppendFixed(RealText& text, Extended x, int decimals) {
  PointDigits p = SplitAtPoint(Abs(x));
  // Integer and kept decimals as one run of digits, with room for a carry.
  char kept[40 + 217];
  int count = 0;
  kept[count++] = '0';
  for (int i = 0; i < p.IntegerCount; ++i) kept[count++] = p.Integer[i];
  for (int i = 0; i < decimals; ++i) kept[count++] = i < p.FractionCount ? p.Fraction[i] : '0';
  if (decimals < p.FractionCount && p.Fraction[decimals] >= '5') {
    int i = count - 1;
    while (kept[i] == '9') kept[i--] = '0';
    ++kept[i];
  }
  int integerEnd = count - decimals;
  int first = 0;
  while (first < integerEnd - 1 && kept[first] == '0') ++first;

  if (x.Negative()) text.Append('-');
  text.Append(std::string_view(kept + first, static_cast<std::size_t>(integerEnd - first)));
  if (decimals > 0) {
    text.Append('.');
    text.Append(std::string_view(kept + integerEnd, static_cast<std::size_t>(decimals)));
  }
}

void AppendExponent(RealText& text, Extended x, int width) {
  int decimals = std::clamp(width - 9, 1, 17);
  DecimalDigits d = EighteenDigits(x);
  KeepDigits(d, decimals + 1);
  text.Append(x.Negative() ? '-' : ' ');
  text.Append(d.At(1));
  text.Append('.');
  for (int i = 2; i <= decimals + 1; ++i) text.Append(d.At(i));
  int exponent = d.Exponent - 1;
  text.Append('E');
  text.Append(exponent < 0 ? '-' : '+');
  char digits[4];
  int magnitude = exponent < 0 ? -exponent : exponent;
  for (int i = 3; i >= 0; --i, magnitude /= 10) digits[i] = static_cast<char>('0' + magnitude % 10);
  text.Append(std::string_view(digits, 4));
}

}  // namespace

void WriteReal(TextWriter& file, Extended x, int width, int decimals) {
  width = std::min(width, 255);
  decimals = std::clamp(decimals, 0, 216);
  RealText text;
  if (IsNaN(x)) {
    text.Append("Nan");
  } else if (IsInfinity(x)) {
    text.Append(x > 0 ? "+Inf" : "-Inf");
  } else if (Abs(x) >= kExponentFormFrom) {
    AppendExponent(text, x, width);
  } else {
    AppendFixed(text, x, decimals);
  }
  file.TextInField(text.View(), width);
}

}  // namespace velmo
