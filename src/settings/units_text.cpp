#include "settings/units_text.h"

#include "settings/profile_string.h"

namespace velmo {

DistanceUnit UnitsFromText(std::string_view text) {
  return SameTextIgnoringCase(text, "ft") || SameTextIgnoringCase(text, "feet") ? DistanceUnit::Foot
                                                                                : DistanceUnit::Metre;
}

}  // namespace velmo
