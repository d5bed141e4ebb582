// The unit of the distances a user gives and the tables show.
#pragma once

#include "numtext/extended.h"

namespace velmo {

/// Metres unless the settings ask for feet.
enum class DistanceUnit { Metre, Foot };

/// The unit's symbol, as the documents write it.
inline const char* UnitSymbol(DistanceUnit unit) {
  return unit == DistanceUnit::Foot ? "ft" : "m";
}

/// Millimetres in one foot. The foot is 0.3048 m exactly, but 304.8 is no
/// binary fraction: it is 3048/10 rounded once to the extended format. A
/// distance in feet enters the optics by one multiplication by it (into
/// millimetres) and every result leaves by one division by it; the metre
/// path never touches it, so documents in metres keep every bit.
inline constexpr Extended kMillimetresPerFoot = Extended(3048) / Extended(10);

/// Millimetres to metres: 0.001 rounded to the extended format,
/// 0x83126E978D4FDF3B x 2^-73, about 4.2E-23 below 0.001. Multiplying by it
/// is not the same as dividing by 1000, and the tables show the difference.
inline constexpr Extended kMetresPerMillimetre = Extended(1) / Extended(1000);
inline constexpr Extended kMillimetresPerMetre = 1000;

}  // namespace velmo
