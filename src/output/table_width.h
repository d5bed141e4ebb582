// The text table's widths, in one place: its block heading, its aperture
// columns, and from them how wide the lines that follow a block (its
// stack, its zones) may be, and a value as they write it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/run_settings.h"

namespace velmo {

/// A text block's heading, around its focal length ("50.0").
inline constexpr std::string_view kTextHeadingBefore = ": -------------------- F = ";
inline constexpr std::string_view kTextHeadingAfter = " mm --------------------";

/// The width of an aperture's column in the text table: "F/8.0" and the
/// blanks in front of it, its two limits below.
inline int TextApertureField(const RunSettings& settings) {
  return settings.Relative ? 11 : 9;
}

/// The width of the text table's lines: its block heading, or its rows
/// where they are wider.
std::size_t TextTableWidth(const RunSettings& settings);

/// A value as a text cell shows it, without the blanks that align it.
std::string TextValue(double x);

}  // namespace velmo
