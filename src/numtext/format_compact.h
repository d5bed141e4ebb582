// The short text of a number, as the page shows the circle of confusion.
#pragma once

#include <cstdint>

#include "numtext/extended.h"
#include "numtext/short_text.h"

namespace velmo {

/// `x` to `precision` significant digits (0 means SignificantDigits),
/// without a leading zero: 0.015 -> ".015", 10000 -> "1E4",
/// 12345.678 -> "1.2346E4"; "?" for an undefined value.
ShortText FormatCompact(Extended x, std::uint16_t precision);

}  // namespace velmo
