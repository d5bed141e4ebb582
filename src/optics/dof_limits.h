// The optics of the tables: near and far limits of acceptable sharpness and
// the hyperfocal distance, computed in the extended format and stored as
// doubles after each step, so that every build prints the same digits.
#pragma once

#include <span>

#include "numtext/extended.h"
#include "optics/distance_unit.h"

namespace velmo {

/// The lens values a cell depends on: circle of confusion (mm), f-number
/// and focal length (mm).
struct Lens {
  double CoC = 0;
  double Aperture = 0;
  double Focal = 0;
};

/// The near and far limits of acceptable sharpness, stored. `Undefined`
/// marks a side without limit; both are `Undefined` for a subject closer
/// than the focal length.
struct DofLimits {
  double Near = 0;
  double Far = 0;
};

/// The limits in metres for a subject at `distance` metres (`Undefined`
/// for infinity); with `unit` feet, the distance and the limits in feet.
DofLimits ComputeDofLimits(const Lens& lens, double distance, DistanceUnit unit = DistanceUnit::Metre);

/// The hyperfocal distance, f^2 / Nc + f (the focus whose far limit is just
/// infinite, counted from the lens), in metres (in feet when `unit` says
/// so).
double HyperfocalDistance(const Lens& lens, DistanceUnit unit = DistanceUnit::Metre);

/// The focus distance whose near limit is `near` (both in the user's
/// unit): n f (f - Nc) / (f^2 - n N c) in millimetres, the near-limit
/// formula solved for the distance. `Undefined` where no finite focus has
/// that near limit (n N c >= f^2: beyond what the aperture reaches, short of
/// the hyperfocal distance's own near limit), or for a near limit closer
/// than the focal length.
double FocusForNearLimit(const Lens& lens, double near, DistanceUnit unit = DistanceUnit::Metre);

/// The limits of a block of a table: the subject at each of `distances`
/// (rows, in the user's unit, `Undefined` for infinity) through each of
/// `lenses` (columns, all of one focal length), into `limits`, row by row,
/// each as ComputeDofLimits gives it. The work the cells of a column or a
/// row share is done once.
void BlockLimits(std::span<const Lens> lenses, std::span<const double> distances, DistanceUnit unit,
                 DofLimits* limits);

}  // namespace velmo
