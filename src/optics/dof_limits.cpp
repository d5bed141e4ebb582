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

LensTerms LensTermsOf(double coc, double aperture, double focal) {
  LensTerms lens{coc, aperture, focal, {}, {}};
  if constexpr (Extended::kWorthKeeping) {
    lens.Blur = Extended(aperture) * coc;
    lens.FocalSquared = Extended(focal) * focal;
  }
  return lens;
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

void DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit, double& near,
                 double& far) {
  const Extended f = lens.Focal;
  const Extended blur = Extended::kWorthKeeping ? lens.Blur : Extended(lens.Aperture) * lens.CoC;
  if (subject.Infinite) {
    // In metres the factor comes first, (M x f) x f / Nc, and the digits
    // of the metre tables depend on that order.
    near = unit == DistanceUnit::Foot ? InUnits(f * f / blur, unit)
                                      : Stored(kMetresPerMillimetre * f * f / blur);
    far = Undefined;
    return;
  }
  if (subject.WithinFocal) {
    near = Undefined;
    far = Undefined;
    return;
  }
  const double s = subject.Millimetres;
  const Extended beyondFocal = Extended::kWorthKeeping ? subject.BeyondFocal : s - f;
  const Extended focalSquared = Extended::kWorthKeeping ? lens.FocalSquared : f * f;
  const double h = Stored(blur * beyondFocal / focalSquared);
  const double nearMm = Stored(s / (1 + Extended(h)));
  const double farMm = Stored(s / (1 - Extended(h)));
  near = InUnits(nearMm, unit);
  far = InUnits(farMm, unit);
  // Beyond the hyperfocal distance 1 - h is negative: no far limit.
  if (far < 0) far = Undefined;
}

void ComputeDofLimits(double coc, double aperture, double distance, double focal, double& near, double& far,
                      DistanceUnit unit) {
  DofLimitsOf(LensTermsOf(coc, aperture, focal), SubjectTermsOf(distance, focal, unit), unit, near, far);
}

double HyperfocalDistance(double coc, double aperture, double focal, DistanceUnit unit) {
  const Extended f = focal;
  return InUnits(f * f / (Extended(aperture) * coc) + f, unit);
}

}  // namespace velmo
