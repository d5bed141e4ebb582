// Where diffraction, not focus, limits sharpness: the Airy disk of the
// aperture against the circle of confusion.
#pragma once

namespace velmo {

/// Green light, the middle of what the eye sees best.
inline constexpr double kDefaultWavelength = 550;  // nm

/// The diameter of the Airy disk (to its first dark ring) in millimetres
/// for f-number `aperture` and light of `wavelength` nanometres:
/// 2.44 x wavelength x N.
double AiryDiameter(double aperture, double wavelength);

/// True when the Airy disk of `aperture` is larger than the circle of
/// confusion `coc` (mm): stopping down further blurs more than it sharpens.
bool DiffractionLimited(double aperture, double wavelength, double coc);

/// The f-number at which the Airy disk reaches the circle of confusion:
/// c / (2.44 x wavelength).
double DiffractionAperture(double wavelength, double coc);

}  // namespace velmo
