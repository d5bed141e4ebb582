// The optics of the tables: near and far limits of acceptable sharpness and
// the hyperfocal distance, computed in the extended format and stored as
// doubles after each step, so that every build prints the same digits.
#pragma once

#include "optics/distance_unit.h"

namespace velmo {

/// Near and far limits in metres for circle of confusion `coc` (mm),
/// f-number `aperture`, subject `distance` (m; `Undefined` for infinity)
/// and `focal` length (mm). `Undefined` marks a side without limit, and
/// both limits are `Undefined` for a subject closer than the focal length.
/// With `unit` feet, the distance and both limits are in feet.
void ComputeDofLimits(double coc, double aperture, double distance, double focal, double& near, double& far,
                      DistanceUnit unit = DistanceUnit::Metre);

/// The hyperfocal distance in metres (in feet when `unit` says so).
double HyperfocalDistance(double coc, double aperture, double focal, DistanceUnit unit = DistanceUnit::Metre);

}  // namespace velmo
