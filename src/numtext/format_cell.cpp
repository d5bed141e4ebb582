#include "numtext/format_cell.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "numtext/digits.h"
#include "numtext/format_width.h"
#include "numtext/undefined.h"

namespace velmo {

namespace {

// The thresholds between the cell shapes, in the extended format: below
// 0.995 three decimals (".ddd"), below 9.95 two ("d.dd"), below 99.5 one
// ("dd.d"), from there whole metres ("ddd."). 0.995 rounds a little above
// 0.995 and 9.95 a little below 9.95, so the doubles nearest to 0.995 and
// 9.95 both stay in the shape below.
constexpr Extended kThreeDecimalsBelow = Extended(995) / Extended(1000);
constexpr Extended kTwoDecimalsBelow = Extended(995) / Extended(100);
constexpr Extended kOneDecimalBelow = 99.5;

// The same thresholds for doubles, compared as doubles.
constexpr double kThreeDecimalsBelowDouble = LeastDoubleNotBelow(kThreeDecimalsBelow);
constexpr double kTwoDecimalsBelowDouble = LeastDoubleNotBelow(kTwoDecimalsBelow);
constexpr double kOneDecimalBelowDouble = 99.5;
// From here on the cell is in exponent form ("1.0E+05").
constexpr double kExponentFormFrom = 100000;
// Below this every cell is ".000": no rounding can reach 0.0005.
constexpr double kSurelyZero = 1E-9;

ShortText FormatMagnitude(Extended m) {
  if (m < kThreeDecimalsBelow) {
    // Below one metre the leading "0" is left out: ".500".
    ShortText text = FormatWidth(m, 6, 3, {.NoFill = true});
    text.EraseFront(1);
    return text;
  }
  if (m < kTwoDecimalsBelow) return FormatWidth(m, 6, 2, {.NoFill = true});
  if (m >= kOneDecimalBelow) return FormatWidth(m, 7, 0, {.NoFill = true});
  return FormatWidth(m, 6, 1, {.NoFill = true});
}

/// round(q / 10^Drop), 5 and up: a division by a constant, which the
/// compiler turns into a multiplication.
template <std::size_t Drop>
std::uint64_t KeepPlaces(std::uint64_t q) {
  constexpr std::uint64_t kScale = kPowerOf10[Drop];
  return (q + kScale / 2) / kScale;
}

template <std::size_t... Drop>
constexpr auto KeepPlacesTable(std::index_sequence<Drop...>) {
  return std::array<std::uint64_t (*)(std::uint64_t), sizeof...(Drop)>{KeepPlaces<Drop>...};
}

constexpr auto kKeepPlaces = KeepPlacesTable(std::make_index_sequence<kPowerOf10.size()>());

/// x (from 1E-9 to below 100000) rounded to 18 digits, ties to even, then
/// to `decimals` places, 5 and up, as an integer count of those places.
std::uint64_t KeptPlaces(double x, int decimals) {
  // One product decides both roundings unless it lands exactly on the half
  // that the second rounding looks at. Rounding to nearest keeps the
  // product on the same side of that half (a double) as the exact value,
  // and the 18-digit rounding moves the value by at most 5E-18 of itself,
  // less than half the spacing of doubles there: it crosses the half only
  // from where the product rounds onto the half itself.
  static constexpr double kScale[] = {1, 10, 100, 1000};
  const double scaled = x * kScale[decimals];
  const auto whole = static_cast<std::uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);  // exact
  if (fraction != 0.5) return whole + (fraction > 0.5 ? 1 : 0);
  // On the half: the 18 digits exactly, Significand x 10^(Exponent - 18).
  const DecimalDigits digits = TableDigits(x);
  const auto drop = static_cast<std::size_t>(18 - digits.Exponent - decimals);
  return drop < kKeepPlaces.size() ? kKeepPlaces[drop](digits.Significand) : 0;
}

/// The cells of three decimals, two and one for every count of places from
/// 0 to 999, ".000" to "99.9": a cell takes its four characters at once.
constexpr auto kShortCells = [] {
  std::array<std::array<std::array<char, 4>, 1000>, 3> cells{};
  for (std::size_t decimals = 1; decimals <= 3; ++decimals) {
    for (std::size_t n = 0; n < 1000; ++n) {
      const char digits[] = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                             static_cast<char>('0' + n % 10)};
      std::array<char, 4>& cell = cells[decimals - 1][n];
      const std::size_t point = 3 - decimals;
      for (std::size_t i = 0, d = 0; i < 4; ++i) cell[i] = i == point ? '.' : digits[d++];
    }
  }
  return cells;
}();

/// The cell of a double from 0 to below 100000 straight from its 18 digits:
/// the same two roundings as the general rules (18 digits, ties to even,
/// then 5 and up at the cell's decimals), with the sign in front, written
/// at `out`. Null for the values it leaves to the general rules.
char* QuickCell(char* out, char sign, double x) {
  if (!(x >= 0 && x < kExponentFormFrom)) return nullptr;
  if (sign != kNoSign) *out++ = sign;
  const int decimals = x < kThreeDecimalsBelowDouble ? 3
                       : x < kTwoDecimalsBelowDouble ? 2
                       : x < kOneDecimalBelowDouble  ? 1
                                                     : 0;
  const std::uint64_t n = x < kSurelyZero ? 0 : KeptPlaces(x, decimals);
  // The shapes keep their width whatever the rounding: ".ddd" (n <= 995),
  // "d.dd", "dd.d" (100 <= n <= 995), and "ddd." up to "100000.".
  if (decimals > 0) {
    // Never past the table, should a count ever pass 995.
    if (n >= kShortCells[0].size()) return nullptr;
    std::memcpy(out, kShortCells[static_cast<std::size_t>(decimals) - 1][n].data(), 4);
    return out + 4;
  }
  std::size_t places = 3;
  while (places < 6 && n >= kPowerOf10[places]) ++places;
  for (std::size_t p = places; p > 0; --p) *out++ = static_cast<char>('0' + n / kPowerOf10[p - 1] % 10);
  *out++ = '.';
  return out;
}

std::string_view InfiniteText(Markup markup) {
  return markup == Markup::Html ? "&infin;" : "  INF";
}

char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

}  // namespace

char* WriteCell(char* out, char sign, Markup markup, double x) {
  if (IsUndefined(x)) return Put(out, InfiniteText(markup));
  if (char* end = QuickCell(out, sign, x)) return end;
  return Put(out, FormatCellByRules(sign, markup, x).View());
}

ShortText FormatCell(char sign, Markup markup, double x) {
  char text[kCellCapacity];
  return ShortText(std::string_view(text, static_cast<std::size_t>(WriteCell(text, sign, markup, x) - text)));
}

ShortText FormatCellByRules(char sign, Markup markup, double x) {
  if (IsUndefined(x)) return ShortText(InfiniteText(markup));
  ShortText text = FormatMagnitude(Abs(Extended(x)));
  if (x < 0) text.Prepend(1, '-');
  if (sign != kNoSign) text.Prepend(1, sign);
  return text;
}

}  // namespace velmo
