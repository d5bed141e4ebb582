#include "optics/dof_limits.h"

#include <cmath>
#include <type_traits>

#include "numtext/undefined.h"

namespace velmo {

namespace {

// Millimetres to metres: 0.001 rounded to the extended format,
// 0x83126E978D4FDF3B x 2^-73, about 4.2E-23 below 0.001. Multiplying by it
// is not the same as dividing by 1000, and the tables show the difference.
constexpr Extended kMetresPerMillimetre = Extended(1) / Extended(1000);
constexpr Extended kMillimetresPerMetre = 1000;

/// The number type of the cells' short path.
using Quick = Extended::ShortPath;

/// The cast that rounds an extended intermediate to the double it is kept as.
template <typename Number>
VELMO_ALWAYS_INLINE inline double Stored(Number x) {
  return static_cast<double>(x);
}

/// A distance of the user's unit in millimetres, stored.
double InMillimetres(double distance, DistanceUnit unit) {
  return Stored(distance * (unit == DistanceUnit::Foot ? kMillimetresPerFoot : kMillimetresPerMetre));
}

/// A length in millimetres in the user's unit, stored. Never of a double:
/// the conversion is extended, and the tables' digits depend on it.
template <typename Number>
VELMO_ALWAYS_INLINE inline double InUnits(Number millimetres, DistanceUnit unit) {
  static_assert(!std::is_same_v<Number, double>, "convert the millimetres to Extended first");
  return Stored(unit == DistanceUnit::Foot ? millimetres / Number(kMillimetresPerFoot)
                                           : Number(kMetresPerMillimetre) * millimetres);
}

/// The limits of a subject s millimetres away, beyond the focal length,
/// in the user's unit; a far limit beyond infinity comes out negative.
/// One text for both ways of computing them: in Extended, and on its short
/// path, whose NaN says that a step left it.
template <typename Number>
VELMO_ALWAYS_INLINE inline DofLimits LimitsBeyondFocal(Number blur, Number beyondFocal, Number focalSquared,
                                                       double s, DistanceUnit unit) {
  const double h = Stored(blur * beyondFocal / focalSquared);
  const double nearMm = Stored(s / (1 + Number(h)));
  const double near = InUnits(Number(nearMm), unit);
  // Beyond the hyperfocal distance (h > 1) the far limit comes out negative,
  // which a table shows as none; between these bounds the quotient cannot
  // round to zero, so only its sign counts and it need not be computed.
  if (h > 1 && h < 1e300 && s >= 1e-6) return {near, -1};
  const double farMm = Stored(s / (1 - Number(h)));
  return {near, InUnits(Number(farMm), unit)};
}

}  // namespace

LensTerms LensTermsOf(const Lens& lens) {
  LensTerms terms{lens, {}, {}};
  if constexpr (Extended::kWorthKeeping) {
    terms.Blur = Quick(lens.Aperture) * Quick(lens.CoC);
    terms.FocalSquared = Quick(lens.Focal) * Quick(lens.Focal);
  }
  return terms;
}

SubjectTerms SubjectTermsOf(double distance, double focal, DistanceUnit unit) {
  SubjectTerms subject;
  if (IsUndefined(distance)) {
    subject.Infinite = true;
    return subject;
  }
  subject.Millimetres = InMillimetres(distance, unit);
  subject.WithinFocal = subject.Millimetres < focal;
  if constexpr (Extended::kWorthKeeping) {
    subject.BeyondFocal = Quick(subject.Millimetres) - Quick(focal);
  }
  return subject;
}

namespace {

/// The limits of a cell beyond the focal length, computed in `Number`:
/// on the short path from the terms that the block and the row keep, where
/// they are kept; else from the doubles.
template <typename Number>
VELMO_ALWAYS_INLINE inline DofLimits CellBeyondFocal(const LensTerms& lens, const SubjectTerms& subject,
                                                     DistanceUnit unit) {
  const double s = subject.Millimetres;
  if constexpr (Extended::kWorthKeeping && std::is_same_v<Number, Extended::ShortPath>) {
    return LimitsBeyondFocal(lens.Blur, subject.BeyondFocal, lens.FocalSquared, s, unit);
  } else {
    const Number f = lens.Values.Focal;
    return LimitsBeyondFocal(Number(lens.Values.Aperture) * lens.Values.CoC, s - f, f * f, s, unit);
  }
}

/// The same in full, for the rare cell whose short path gave up: out of
/// line, so that the cells that keep to it carry none of its weight (and
/// not needed where the short path is the floating unit's own).
[[maybe_unused]] VELMO_NEVER_INLINE DofLimits CellBeyondFocalInFull(const LensTerms& lens,
                                                                    const SubjectTerms& subject,
                                                                    DistanceUnit unit) {
  return CellBeyondFocal<Extended>(lens, subject, unit);
}

/// The limits of a subject beyond the focal length, on the short path where
/// the type has one; a far limit beyond infinity is none.
VELMO_ALWAYS_INLINE inline DofLimits CellLimitsBeyondFocal(const LensTerms& lens, const SubjectTerms& subject,
                                                           DistanceUnit unit) {
  DofLimits limits = CellBeyondFocal<Quick>(lens, subject, unit);
  if constexpr (!std::is_same_v<Quick, Extended>) {
    if (std::isnan(limits.Near) || std::isnan(limits.Far))
      limits = CellBeyondFocalInFull(lens, subject, unit);
  }
  // Beyond the hyperfocal distance 1 - h is negative: no far limit.
  return {limits.Near, limits.Far < 0 ? Undefined : limits.Far};
}

}  // namespace

DofLimits DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit) {
  if (subject.Infinite) {
    const Extended f = lens.Values.Focal;
    const Extended blur = Extended(lens.Values.Aperture) * lens.Values.CoC;
    // In metres the factor comes first, (M x f) x f / Nc, and the digits
    // of the metre tables depend on that order.
    const double near = unit == DistanceUnit::Foot ? InUnits(f * f / blur, unit)
                                                   : Stored(kMetresPerMillimetre * f * f / blur);
    return {near, Undefined};
  }
  if (subject.WithinFocal) return {Undefined, Undefined};
  return CellLimitsBeyondFocal(lens, subject, unit);
}

void RowLimits(std::span<const LensTerms> lenses, const SubjectTerms& subject, DistanceUnit unit,
               DofLimits* limits) {
  if (subject.Infinite || subject.WithinFocal) {
    for (const LensTerms& lens : lenses) *limits++ = DofLimitsOf(lens, subject, unit);
    return;
  }
  // Nearly every cell of a table: one loop, with the row's terms at hand.
  for (const LensTerms& lens : lenses) *limits++ = CellLimitsBeyondFocal(lens, subject, unit);
}

DofLimits ComputeDofLimits(const Lens& lens, double distance, DistanceUnit unit) {
  return DofLimitsOf(LensTermsOf(lens), SubjectTermsOf(distance, lens.Focal, unit), unit);
}

double FocusForNearLimit(const Lens& lens, double near, DistanceUnit unit) {
  const double n = InMillimetres(near, unit);
  const Extended f = lens.Focal;
  const Extended blur = Extended(lens.Aperture) * lens.CoC;
  const double denominator = Stored(f * f - n * blur);
  if (!(n >= lens.Focal) || !(denominator > 0)) return Undefined;
  const double s = Stored(n * f * (f - blur) / denominator);
  return IsUndefined(s) ? Undefined : InUnits(Extended(s), unit);
}

double HyperfocalDistance(const Lens& lens, DistanceUnit unit) {
  const Extended f = lens.Focal;
  return InUnits(f * f / (Extended(lens.Aperture) * lens.CoC) + f, unit);
}

}  // namespace velmo
