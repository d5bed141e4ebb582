#include "optics/dof_limits.h"

#include "numtext/undefined.h"

namespace velmo {

namespace {

// Millimetres to metres: 0.001 rounded to the extended format,
// 0x83126E978D4FDF3B x 2^-73, about 4.2E-23 below 0.001. Multiplying by it
// is not the same as dividing by 1000, and the tables show the difference.
constexpr long double kMetresPerMillimetre = 0.001L;
constexpr long double kMillimetresPerMetre = 1000;

/// The cast that rounds an extended intermediate to the double it is kept as.
double Stored(long double x) {
  return static_cast<double>(x);
}

}  // namespace

void ComputeDofLimits(double coc, double aperture, double distance, double focal, double& near, double& far) {
  const long double f = focal;
  const long double blur = static_cast<long double>(aperture) * coc;
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
  const double nearMm = Stored(s / (1 + static_cast<long double>(h)));
  const double farMm = Stored(s / (1 - static_cast<long double>(h)));
  near = Stored(kMetresPerMillimetre * nearMm);
  far = Stored(kMetresPerMillimetre * farMm);
  // Beyond the hyperfocal distance 1 - h is negative: no far limit.
  if (far < 0) far = Undefined;
}

double HyperfocalDistance(double coc, double aperture, double focal) {
  const long double f = focal;
  return Stored(kMetresPerMillimetre * (f * f / (static_cast<long double>(aperture) * coc) + f));
}

}  // namespace velmo
