// The text of the "Units" key.
#pragma once

#include <string_view>

#include "optics/distance_unit.h"

namespace velmo {

/// Feet for "ft" or "feet" in any letter case; metres for anything else,
/// an empty text (no key) among it, so older settings files keep metres.
DistanceUnit UnitsFromText(std::string_view text);

}  // namespace velmo
