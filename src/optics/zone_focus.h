// Zone focusing: where to focus, and at which f-number, so that everything
// from one distance to another is sharp. The depth-of-field formula turned
// round: focused at s with f-number N, the limits are exactly the zone's.
#pragma once

#include "optics/distance_unit.h"

namespace velmo {

/// The focus distance (in the user's unit) and the f-number that make a
/// zone of sharpness; both `Undefined` where no focus and no finite
/// f-number make it. Any larger f-number covers the zone too.
struct ZoneFocus {
  double Focus = 0;
  double FNumber = 0;
};

/// The zone from `near` to `far` (the user's unit; `far` `Undefined` for
/// infinity) for a focal length `focal` and a circle of confusion `coc`
/// (millimetres). With n and d the zone's ends in millimetres:
///   s = 2 n d / (n + d)          N = f^2 (d - n) / (c (2 n d - f (n + d)))
/// and to infinity s = 2 n, N = f^2 / (c (2 n - f)). A zone exists where
/// d > n and the focus lies beyond the focal length (2 n d > f (n + d),
/// to infinity n > f / 2), with c > 0.
ZoneFocus ComputeZoneFocus(double focal, double coc, double near, double far, DistanceUnit unit);

}  // namespace velmo
