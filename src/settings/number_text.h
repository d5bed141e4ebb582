// Numbers from settings texts, always with "." as the decimal point.
#pragma once

#include <string_view>

#include "numtext/extended.h"

namespace velmo {

/// Converts `text`: spaces, an optional sign, digits with an optional "."
/// and decimals (at least one of the two), an optional exponent ("E" in
/// either case, an optional sign, digits read while the exponent is below
/// 500), spaces. False, with `value` untouched, for any other text and for
/// a value beyond the extended range.
bool NumberFromText(std::string_view text, Extended& value);

/// As above; throws EConvertError "'<text>' is not a valid floating point
/// value" on failure.
Extended NumberFromText(std::string_view text);

/// A list item as a number: "?" is `Undefined`; otherwise NumberFromText,
/// and a magnitude above 1E999 throws Error "Value too large".
Extended ParseNumber(std::string_view text);

/// `value` stored as a double, rounded to nearest. Throws EOverflow
/// ("Floating point overflow") for a finite value beyond the double range.
double StoreDouble(Extended value);

}  // namespace velmo
