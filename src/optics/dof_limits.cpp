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
double Stored(Extended x) {
  return static_cast<double>(x);
}

}  // namespace

void ComputeDofLimits(double coc, double aperture, double distance, double focal, double& near, double& far) {
  const Extended f = focal;
  const Extended blur = Extended(aperture) * coc;
  if (IsUndefined(distance)) {
    near = Stored(kMetresPerMillimetre * f * f / blur);
    far = Undefined;
    return;
  }
  const double s = Stored(distance * kMillimetresPerMetre);
  if (s < focal) {
    near = Undefined;
    far = Undefined;
    return;
  }
  const double h = Stored(blur * (s - f) / (f * f));
  const double nearMm = Stored(s / (1 + Extended(h)));
  const double farMm = Stored(s / (1 - Extended(h)));
  near = Stored(kMetresPerMillimetre * nearMm);
  far = Stored(kMetresPerMillimetre * farMm);
  // Beyond the hyperfocal distance 1 - h is negative: no far limit.
  if (far < 0) far = Undefined;
}

double HyperfocalDistance(double coc, double aperture, double focal) {
  const Extended f = focal;
  return Stored(kMetresPerMillimetre * (f * f / (Extended(aperture) * coc) + f));
}

}  // namespace velmo
