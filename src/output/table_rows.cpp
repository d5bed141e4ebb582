#include "output/table_rows.h"

#include "numtext/undefined.h"

namespace velmo {

namespace {

// A distance is tabulated from ten to 990 focal lengths: S in metres
// against F in millimetres, the factors held in the extended format.
constexpr Extended kNearestFactor = Extended(1) / Extended(100);
constexpr Extended kFarthestFactor = Extended(99) / Extended(100);

}  // namespace

bool RowIsWritten(const RunSettings& settings, double distance, double focal) {
  if (IsUndefined(distance)) return !settings.Relative;
  const Extended f = focal;
  // With an undefined focal length neither comparison holds: no row.
  if (settings.Units == DistanceUnit::Foot) {
    // The same ten to 990 focal lengths, compared in millimetres.
    const Extended s = distance * kMillimetresPerFoot;
    return Extended(10) * f <= s && s <= Extended(990) * f;
  }
  return kNearestFactor * f <= distance && distance <= kFarthestFactor * f;
}

}  // namespace velmo
