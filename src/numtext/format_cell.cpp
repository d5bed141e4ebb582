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

// The thresholds between the cell shapes, in the extended format (their
// doubles are in quick_cell.h).
constexpr Extended kThreeDecimalsBelowExtended = Extended(995) / Extended(1000);
constexpr Extended kTwoDecimalsBelowExtended = Extended(995) / Extended(100);
constexpr Extended kOneDecimalBelowExtended = 99.5;

// From here on the cell is in exponent form ("1.0E+05").
constexpr double kExponentFormFrom = 100000;

ShortText FormatMagnitude(Extended m) {
  if (m < kThreeDecimalsBelowExtended) {
    // Below one metre the leading "0" is left out: ".500".
    ShortText text = FormatWidth(m, 6, 3, {.NoFill = true});
    text.EraseFront(1);
    return text;
  }
  if (m < kTwoDecimalsBelowExtended) return FormatWidth(m, 6, 2, {.NoFill = true});
  if (m >= kOneDecimalBelowExtended) return FormatWidth(m, 7, 0, {.NoFill = true});
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

/// The cell of a double from 999.5 to below 100000 straight from its 18
/// digits, "ddd." up to "100000.": the same two roundings as the general
/// rules, with the sign in front, written at `out`. Null for the values it
/// leaves to the general rules.
char* WholeMetresCell(char* out, char sign, double x) {
  if (!(x >= 0 && x < kExponentFormFrom)) return nullptr;
  // Below, the quick cells' shapes: one that WriteCell left goes to the rules.
  if (x < kQuickCellsBelow) return nullptr;
  if (sign != kNoSign) *out++ = sign;
  const std::uint64_t n = KeptPlaces(x, 0);
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

// Each cell's four characters: the digits of its count of places, with the
// point before the last `decimals` of them.
constexpr std::array<std::array<std::array<char, 4>, 1000>, 4> kQuickCells = [] {
  std::array<std::array<std::array<char, 4>, 1000>, 4> cells{};
  for (std::size_t decimals = 0; decimals <= 3; ++decimals) {
    for (std::size_t n = 0; n < 1000; ++n) {
      const char digits[] = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                             static_cast<char>('0' + n % 10)};
      std::array<char, 4>& cell = cells[decimals][n];
      const std::size_t point = 3 - decimals;
      for (std::size_t i = 0, d = 0; i < 4; ++i) cell[i] = i == point ? '.' : digits[d++];
    }
  }
  return cells;
}();

std::uint64_t PlacesOnTheHalf(double x, int decimals) {
  // The 18 digits exactly, Significand x 10^(Exponent - 18).
  const DecimalDigits digits = TableDigits(x);
  const auto drop = static_cast<std::size_t>(18 - digits.Exponent - decimals);
  return drop < kKeepPlaces.size() ? kKeepPlaces[drop](digits.Significand) : 0;
}

char* WriteOtherCell(char* out, char sign, Markup markup, double x) {
  if (IsUndefined(x)) return Put(out, InfiniteText(markup));
  if (char* end = WholeMetresCell(out, sign, x)) return end;
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
