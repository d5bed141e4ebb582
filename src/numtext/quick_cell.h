// The quick way to most table cells, inline where the table writes them: a
// double from 0 up to below 999.5 is one of 4,000 cells of four characters,
// ".ddd", "d.dd", "dd.d" or "ddd.", picked by its shape and its count of
// places.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "numtext/extended.h"

namespace velmo {

// The thresholds between the shapes, as doubles: below 0.995 three
// decimals, below 9.95 two, below 99.5 one, then none. They are the
// extended format's 0.995 and 9.95, which round a little above 0.995 and a
// little below 9.95, so the doubles nearest to both stay in the shape below.
inline constexpr double kThreeDecimalsBelow = LeastDoubleNotBelow(Extended(995) / Extended(1000));
inline constexpr double kTwoDecimalsBelow = LeastDoubleNotBelow(Extended(995) / Extended(100));
inline constexpr double kOneDecimalBelow = 99.5;
// From here the cells are wider than four characters ("1000.").
inline constexpr double kQuickCellsBelow = 999.5;

/// Every quick cell: [decimals][count of places], ".000" to "999.".
extern const std::array<std::array<std::array<char, 4>, 1000>, 4> kQuickCells;

/// The count of places of an `x` whose product with 10^decimals lies
/// exactly on a half: from its 18 digits (out of line, and rare).
std::uint64_t PlacesOnTheHalf(double x, int decimals);

/// x (from 0 to below 100000) rounded to 18 digits, ties to even, then to
/// `decimals` places, 5 and up, as an integer count of those places.
inline std::uint64_t KeptPlaces(double x, int decimals) {
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
  return PlacesOnTheHalf(x, decimals);
}

/// The decimals of the cell of an `x` from 0 to below 999.5.
inline int QuickCellDecimals(double x) {
  return x < kThreeDecimalsBelow ? 3 : x < kTwoDecimalsBelow ? 2 : x < kOneDecimalBelow ? 1 : 0;
}

}  // namespace velmo
