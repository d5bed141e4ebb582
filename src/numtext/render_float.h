// The basic conversion of a number to text.
#pragma once

#include "numtext/digits.h"
#include "numtext/extended.h"
#include "numtext/short_text.h"

namespace velmo {

enum class FloatForm { General, Exponent, Fixed };

/// `x` (finite) as text in the given form, with precision `precision`
/// (limited to 2..18) and `digits` (decimals for Fixed, least exponent
/// digits for Exponent, unused for General). The digits are the 18
/// significant digits of `x`, then rounded again, 5 and up, to the digits
/// kept: that second rounding is why 2.675 keeps 2.67 at two decimals.
ShortText RenderFloat(Extended x, FloatForm form, int precision, int digits);

/// The same from the 18 digits of the value, for a caller that renders one
/// value more than once.
ShortText RenderFloat(DecimalDigits d, FloatForm form, int precision, int digits);

}  // namespace velmo
