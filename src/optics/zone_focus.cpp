#include "optics/zone_focus.h"

#include "numtext/undefined.h"

namespace velmo {

namespace {

// The zone's formula, each product and quotient in the extended format in
// the order written, stored (rounded to a double) at these points only:
//   n, d  the zone's ends in millimetres, as the table stores a distance
//   s     2 n d / (n + d), then in the user's unit
//   g     2 n d - f (n + d), which is (s - f)(n + d): above zero exactly
//         where the focus lies beyond the focal length; to infinity 2 n - f
//   N     f^2 (d - n) / (c g); to infinity f^2 / (c g)

double InMillimetres(double distance, DistanceUnit unit) {
  return static_cast<double>(Extended(distance) *
                             (unit == DistanceUnit::Foot ? kMillimetresPerFoot : kMillimetresPerMetre));
}

double InUnits(double millimetres, DistanceUnit unit) {
  const Extended length = millimetres;
  return static_cast<double>(unit == DistanceUnit::Foot ? length / kMillimetresPerFoot
                                                        : kMetresPerMillimetre * length);
}

/// The zone of focus `s` (millimetres), its f-number from `spread` (d - n,
/// or 1 to infinity) and g; none where g or c is not above zero.
ZoneFocus Zone(double s, double focal, double coc, Extended spread, double g, DistanceUnit unit) {
  const Extended f = focal;
  const double fNumber = static_cast<double>(f * f * spread / (Extended(coc) * g));
  if (!(g > 0) || !(coc > 0) || IsUndefined(s) || IsUndefined(fNumber) || !(fNumber > 0)) {
    return {Undefined, Undefined};
  }
  return {InUnits(s, unit), fNumber};
}

}  // namespace

ZoneFocus ComputeZoneFocus(double focal, double coc, double near, double far, DistanceUnit unit) {
  const double n = InMillimetres(near, unit);
  if (!(n > 0) || !(focal > 0) || IsUndefined(n)) return {Undefined, Undefined};
  const Extended f = focal;
  if (IsUndefined(far)) {
    const double s = static_cast<double>(Extended(2) * n);
    const double g = static_cast<double>(Extended(2) * n - f);
    return Zone(s, focal, coc, 1, g, unit);
  }
  const double d = InMillimetres(far, unit);
  if (!(d > n) || IsUndefined(d)) return {Undefined, Undefined};
  const Extended twice = Extended(2) * n * d;
  const Extended sum = Extended(n) + d;
  const double s = static_cast<double>(twice / sum);
  const double g = static_cast<double>(twice - f * sum);
  return Zone(s, focal, coc, Extended(d) - n, g, unit);
}

}  // namespace velmo
