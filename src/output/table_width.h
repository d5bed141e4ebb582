// The text form's lines that follow a block (its stack, its zones): how
// wide they may be, and a value as they write it.
#pragma once

#include <cstddef>
#include <string>

#include "settings/run_settings.h"

namespace velmo {

/// The width of the text table's lines: its block heading, or its rows
/// where they are wider.
std::size_t TextTableWidth(const RunSettings& settings);

/// A value as a text cell shows it, without the blanks that align it.
std::string TextValue(double x);

}  // namespace velmo
