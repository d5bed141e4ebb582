#include "optics/dof_limits.h"

#include "numtext/undefined.h"

namespace velmo {

namespace {

// Millimetres to metres: 0.001 rounded to the extended format,
// 0x83126E978D4FDF3B x 2^-73, about 4.2E-23 below 0.001. Multiplying by it
// is not the same as dividing by 1000, and the tables show the difference.
constexpr Extended kMetresPerMillimetre = Extended(1) / Extended(1000);
constexpr Extended kMillimetresPerMetre = 1000;

/// The cast that rounds an extended intermediate to the double it is kept as.
VELMO_ALWAYS_INLINE inline double Stored(Extended x) {
  return static_cast<double>(x);
}

/// A distance of the user's unit in millimetres, stored.
double InMillimetres(double distance, DistanceUnit unit) {
  return Stored(distance * (unit == DistanceUnit::Foot ? kMillimetresPerFoot : kMillimetresPerMetre));
}

/// A length in millimetres in the user's unit, stored.
VELMO_ALWAYS_INLINE inline double InUnits(Extended millimetres, DistanceUnit unit) {
  return Stored(unit == DistanceUnit::Foot ? millimetres / kMillimetresPerFoot
                                           : kMetresPerMillimetre * millimetres);
}

}  // namespace

LensTerms LensTermsOf(const Lens& lens) {
  LensTerms terms{lens, {}, {}};
  if constexpr (Extended::kWorthKeeping) {
    terms.Blur = Extended(lens.Aperture) * lens.CoC;
    terms.FocalSquared = Extended(lens.Focal) * lens.Focal;
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
  if constexpr (Extended::kWorthKeeping) subject.BeyondFocal = subject.Millimetres - Extended(focal);
  return subject;
}

DofLimits DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit) {
  const Extended f = lens.Values.Focal;
  const Extended blur =
      Extended::kWorthKeeping ? lens.Blur : Extended(lens.Values.Aperture) * lens.Values.CoC;
  if (subject.Infinite) {
    // In metres the factor comes first, (M x f) x f / Nc, and the digits
    // of the metre tables depend on that order.
    const double near = unit == DistanceUnit::Foot ? InUnits(f * f / blur, unit)
                                                   : Stored(kMetresPerMillimetre * f * f / blur);
    return {near, Undefined};
  }
  if (subject.WithinFocal) return {Undefined, Undefined};
  const double s = subject.Millimetres;
  const Extended beyondFocal = Extended::kWorthKeeping ? subject.BeyondFocal : s - f;
  const Extended focalSquared = Extended::kWorthKeeping ? lens.FocalSquared : f * f;
  const double h = Stored(blur * beyondFocal / focalSquared);
  const double nearMm = Stored(s / (1 + Extended(h)));
  const double farMm = Stored(s / (1 - Extended(h)));
  const double far = InUnits(farMm, unit);
  // Beyond the hyperfocal distance 1 - h is negative: no far limit.
  return {InUnits(nearMm, unit), far < 0 ? Undefined : far};
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
  return IsUndefined(s) ? Undefined : InUnits(s, unit);
}

double HyperfocalDistance(const Lens& lens, DistanceUnit unit) {
  const Extended f = lens.Focal;
  return InUnits(f * f / (Extended(lens.Aperture) * lens.CoC) + f, unit);
}

}  // namespace velmo
