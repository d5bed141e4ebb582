// The optics of the tables: near and far limits of acceptable sharpness and
// the hyperfocal distance, computed in the extended format and stored as
// doubles after each step, so that every build prints the same digits.
#pragma once

namespace velmo {

/// Near and far limits in metres for circle of confusion `coc` (mm),
/// f-number `aperture`, subject `distance` (m; `Undefined` for infinity)
/// and `focal` length (mm). `Undefined` marks a side without limit, and
/// both limits are `Undefined` for a subject closer than the focal length.
void ComputeDofLimits(double coc, double aperture, double distance, double focal, double& near, double& far);

/// The hyperfocal distance in metres.
double HyperfocalDistance(double coc, double aperture, double focal);

}  // namespace velmo
