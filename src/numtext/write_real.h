// A real in fixed notation, written straight to a text file.
#pragma once

#include "numtext/extended.h"
#include "platform/text_writer.h"

namespace velmo {

/// Writes `x` with `decimals` decimals (at most 216), right-justified in a
/// field of `width` (at most 255; a longer text is written whole). The
/// digits are those of |x| to 18 significant digits (17 decimal places
/// below 1), cut after the decimals and raised when the first dropped digit
/// is 5 or more: 0.15 gives "0.1" (it is held as 0.1499...), 28.5 gives
/// "29". "-" whenever the sign bit is set. From 1E36 up an exponent form;
/// "Nan", "+Inf" and "-Inf" for the values without digits.
void WriteReal(TextWriter& file, Extended x, int width, int decimals);

}  // namespace velmo
