#include "settings/units_text.h"

#include <algorithm>

namespace velmo {

namespace {

/// Letter case does not count; the comparison is ASCII only, whatever the
/// user's locale.
bool SameLetters(std::string_view text, std::string_view lower) {
  return std::ranges::equal(text, lower,
                            [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a + 32 : a) == b; });
}

}  // namespace

DistanceUnit UnitsFromText(std::string_view text) {
  return SameLetters(text, "ft") || SameLetters(text, "feet") ? DistanceUnit::Foot : DistanceUnit::Metre;
}

}  // namespace velmo
