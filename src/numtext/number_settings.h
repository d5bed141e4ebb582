// The process-wide number settings, fixed at start-up.
#pragma once

#include <cstdint>

namespace velmo {

/// The decimal separator of every number text: "." whatever the locale.
inline constexpr char DecimalSeparator = '.';

/// Significant digits of the arithmetic: 18, or 16 where DetectPrecision
/// finds the floating unit reduced to double precision.
extern std::uint16_t SignificantDigits;

/// Sets SignificantDigits from a division done by the floating unit.
void DetectPrecision();

/// Puts the number settings in force; run once before anything is read.
void InitNumberSettings();

}  // namespace velmo
