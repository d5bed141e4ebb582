// Numbers as text within a width.
#pragma once

#include <cstdint>

#include "numtext/extended.h"
#include "numtext/short_text.h"

namespace velmo {

/// The exponent of the leading decimal digit of `x`: 1 -> 0, 99999.99 -> 4,
/// 0.001 -> -3; -1 for zero.
std::int32_t DecimalExponent(Extended x);

/// The same by its defining loop: |x| lifted by about 1E-17, then scaled
/// by 0.1 (rounded to the extended format) or by 10 into [1, 10).
std::int32_t DecimalExponentByScaling(Extended x);

/// How FormatWidth may shape a number besides its width and decimals.
struct WidthOptions {
  bool NoFill = false;  // no blanks on the left
};

/// `x` in fixed notation with at most `maxDecimals` decimals if it fits in
/// `width`, else in exponent form; "?" for an undefined value. Blanks on the
/// left up to `width` unless NoFill; a longer text is not shortened.
ShortText FormatWidth(Extended x, int width, int maxDecimals, WidthOptions options = {});

}  // namespace velmo
