// The text of one distance in the depth-of-field table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "numtext/bit_cast.h"
#include "numtext/quick_cell.h"
#include "numtext/short_text.h"

namespace velmo {

/// The document a cell is written for: the infinite limit is "  INF" in
/// text and "&infin;" in HTML.
enum class Markup { Text, Html };

/// No sign in front of a cell.
inline constexpr char kNoSign = 0;

/// `x` in metres as a table cell: ".ddd" below 0.995, "d.dd" below 9.95,
/// "dd.d" below 99.5, then whole metres with a point ("123.") up to
/// 100000., then "d.dE+dd". An undefined value is "&infin;" in HTML and
/// "  INF" in text, without sign. A negative value keeps its "-" in front
/// of the text of its magnitude. `sign`, unless kNoSign, goes in front of
/// every finite value.
ShortText FormatCell(char sign, Markup markup, double x);

/// The most characters a cell takes.
inline constexpr std::size_t kCellCapacity = ShortText::kCapacity;

/// WriteCell for the cells the quick way leaves: the infinite, the
/// negative, from 999.5 on.
char* WriteOtherCell(char* out, char sign, Markup markup, double x);

/// FormatCell's text written in place at `out`, which has room for
/// kCellCapacity characters; returns the end of the text. The table's way:
/// no text is built and then copied.
inline char* WriteCell(char* out, char sign, Markup markup, double x) {
  // One comparison finds the quick cells: the bits of a double from +0 up
  // compare as unsigned integers as the values do, and those of a negative
  // value (its sign bit set), of the infinite one and of every NaN (all
  // ones in the exponent) compare above those of 999.5. Undefined is a NaN.
  if (BitCast<std::uint64_t>(x) < BitCast<std::uint64_t>(kQuickCellsBelow)) {
    const int decimals = QuickCellDecimals(x);
    const std::uint64_t n = KeptPlaces(x, decimals);
    // Below 999.5 no count reaches 1000; were one to, the rules take it.
    if (n < kQuickCells[0].size()) {
      if (sign != kNoSign) *out++ = sign;
      std::memcpy(out, kQuickCells[static_cast<std::size_t>(decimals)][n].data(), 4);
      return out + 4;
    }
  }
  return WriteOtherCell(out, sign, markup, x);
}

/// The same text by the general rules of number text alone, without the
/// quick way that FormatCell takes for most values: the judge of that way
/// in the tests and the fuzzer.
ShortText FormatCellByRules(char sign, Markup markup, double x);

}  // namespace velmo
