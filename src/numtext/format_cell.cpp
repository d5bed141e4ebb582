#include "numtext/format_cell.h"

#include "numtext/format_width.h"
#include "numtext/undefined.h"

namespace velmo {

namespace {

// The thresholds between the cell shapes, in the extended format: 0.995
// rounds a little above 0.995 and 9.95 a little below 9.95, so the doubles
// nearest to 0.995 and 9.95 both stay in the shape below.
constexpr Extended kT1 = Extended(995) / Extended(1000);
constexpr Extended kT2 = Extended(995) / Extended(100);
constexpr Extended kT3 = 99.5;

ShortText FormatMagnitude(Extended m) {
  if (m < kT1) {
    // Below one metre the leading "0" is left out: ".500".
    ShortText text = FormatWidth(m, 6, 3, false, false, true);
    text.EraseFront(1);
    return text;
  }
  if (m < kT2) return FormatWidth(m, 6, 2, false, false, true);
  if (m >= kT3) return FormatWidth(m, 7, 0, false, false, true);
  return FormatWidth(m, 6, 1, false, false, true);
}

}  // namespace

ShortText FormatCell(char sign, bool html, double x) {
  if (IsUndefined(x)) return ShortText(html ? "&infin;" : "  INF");
  ShortText text = FormatMagnitude(Abs(Extended(x)));
  if (x < 0) text.Prepend(1, '-');
  if (sign != 0) text.Prepend(1, sign);
  return text;
}

}  // namespace velmo
