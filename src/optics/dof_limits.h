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

/// The hyperfocal distance in metres (in feet when `unit` says so).
double HyperfocalDistance(const Lens& lens, DistanceUnit unit = DistanceUnit::Metre);

/// The focus distance whose near limit is `near` (both in the user's
/// unit): n f (f - Nc) / (f^2 - n N c) in millimetres, the near-limit
/// formula solved for the distance. `Undefined` where no finite focus has
/// that near limit (n N c >= f^2: beyond what the aperture reaches, short of
/// the hyperfocal distance's own near limit), or for a near limit closer
/// than the focal length.
double FocusForNearLimit(const Lens& lens, double near, DistanceUnit unit = DistanceUnit::Metre);

// A table computes the same limits cell by cell, and most of the work of a
// cell is shared: by every distance of one aperture and focal length (the
// lens terms), or by every aperture of one row (the subject terms). The
// same operations on the same values, done once: the same stored doubles.

/// The terms of one aperture at one focal length. The products are kept,
/// ready for the short path, only where an extended value is worth keeping
/// (Extended::kWorthKeeping); elsewhere, and on the long path, they are
/// computed again, to the same bits, from the doubles.
struct LensTerms {
  Lens Values;
  Extended::ShortPath Blur;          // N x c
  Extended::ShortPath FocalSquared;  // f x f
};
LensTerms LensTermsOf(const Lens& lens);

/// The terms of one subject distance at one focal length.
struct SubjectTerms {
  bool Infinite = false;
  bool WithinFocal = false;         // closer than the focal length: no limits
  double Millimetres = 0;           // s, stored
  Extended::ShortPath BeyondFocal;  // s - f, kept as the lens products are
};
SubjectTerms SubjectTermsOf(double distance, double focal, DistanceUnit unit);

/// The limits of one cell, as ComputeDofLimits gives them.
DofLimits DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit);

/// The limits of one row: the subject at each lens of `lenses`, into
/// `limits` (as many), as DofLimitsOf gives them.
void RowLimits(std::span<const LensTerms> lenses, const SubjectTerms& subject, DistanceUnit unit,
               DofLimits* limits);

}  // namespace velmo
