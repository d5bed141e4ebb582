#include "optics/camera_format.h"

#include <cmath>

namespace velmo {

double Diagonal(const CameraFormat& format) {
  return std::sqrt(format.Width * format.Width + format.Height * format.Height);
}

double CoCFromFormat(const CameraFormat& format, double divisor) {
  return Diagonal(format) / divisor;
}

}  // namespace velmo
