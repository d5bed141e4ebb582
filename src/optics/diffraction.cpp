#include "optics/diffraction.h"

#include "numtext/extended.h"
#include "numtext/undefined.h"

namespace velmo {

namespace {

// 2.44 (the first dark ring of the Airy pattern, 2 x 1.22) and nanometres to
// millimetres, held in the extended format.
constexpr Extended kAiryFactor = Extended(244) / Extended(100);
constexpr Extended kMillimetresPerNanometre = Extended(1) / Extended(1000000);

}  // namespace

double AiryDiameter(double aperture, double wavelength) {
  return static_cast<double>(kAiryFactor * (kMillimetresPerNanometre * wavelength) * aperture);
}

bool DiffractionLimited(double aperture, double wavelength, double coc) {
  const double airy = AiryDiameter(aperture, wavelength);
  return !IsUndefined(airy) && !IsUndefined(coc) && airy > coc;
}

double DiffractionAperture(double wavelength, double coc) {
  return static_cast<double>(coc / (kAiryFactor * (kMillimetresPerNanometre * wavelength)));
}

}  // namespace velmo
