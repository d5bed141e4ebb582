// The optics of the tables: near and far limits of acceptable sharpness and
// the hyperfocal distance, computed in the extended format and stored as
// doubles after each step, so that every build prints the same digits.
#pragma once

#include "numtext/extended.h"
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

// A table computes the same limits cell by cell, and most of the work of a
// cell is shared: by every distance of one aperture and focal length (the
// lens terms), or by every aperture of one row (the subject terms). The
// same operations on the same values, done once: the same stored doubles.

/// The terms of one aperture at one focal length. The products are kept
/// only where an extended value is worth keeping (Extended::kWorthKeeping);
/// elsewhere they are computed again, to the same bits, from the doubles.
struct LensTerms {
  double CoC = 0;
  double Aperture = 0;
  double Focal = 0;
  Extended Blur;          // N x c
  Extended FocalSquared;  // f x f
};
LensTerms LensTermsOf(double coc, double aperture, double focal);

/// The terms of one subject distance at one focal length.
struct SubjectTerms {
  bool Infinite = false;
  bool WithinFocal = false;  // closer than the focal length: no limits
  double Millimetres = 0;    // s, stored
  Extended BeyondFocal;      // s - f, kept as the lens products are
};
SubjectTerms SubjectTermsOf(double distance, double focal, DistanceUnit unit);

/// The limits of one cell, as ComputeDofLimits gives them.
void DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit, double& near,
                 double& far);

}  // namespace velmo
