// Integers from settings texts.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmo {

/// Converts `text` to a 32-bit integer: leading spaces, then either an
/// optional sign and decimal digits within the 32-bit range, or a
/// hexadecimal mark ("$", "x", "0x", either case, no sign) and up to 32
/// bits of hexadecimal digits, read as the bits of a signed number. Nothing
/// may follow the digits. False, with `value` untouched, on any other text.
bool IntegerFromText(std::string_view text, std::int32_t& value);

}  // namespace velmo
