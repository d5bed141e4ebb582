// The circle of confusion from the camera: the diagonal of the recording
// format divided by a divisor (1500 by the most common convention; 1000,
// 1730 and others by other ones).
#pragma once

namespace velmo {

inline constexpr double kDefaultCoCDivisor = 1500;

/// A recording format, width x height in millimetres.
struct CameraFormat {
  double Width = 0;
  double Height = 0;
};

/// The diagonal in millimetres. In doubles, and std::sqrt is correctly
/// rounded: every platform gets the same bits.
double Diagonal(const CameraFormat& format);

/// The circle of confusion of `format` by `divisor`: Diagonal / divisor.
double CoCFromFormat(const CameraFormat& format, double divisor);

}  // namespace velmo
