#include "settings/format_text.h"

#include <cmath>

#include "settings/number_text.h"

namespace velmo {

namespace {

bool PositiveSide(std::string_view text, double& side) {
  Extended value;
  if (!NumberFromText(text, value)) return false;
  side = static_cast<double>(value);
  return std::isfinite(side) && side > 0;
}

}  // namespace

bool ParseCameraFormat(std::string_view text, CameraFormat& format) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos || text.find_first_of("xX", x + 1) != std::string_view::npos) return false;
  CameraFormat parsed;
  if (!PositiveSide(text.substr(0, x), parsed.Width) || !PositiveSide(text.substr(x + 1), parsed.Height)) {
    return false;
  }
  format = parsed;
  return true;
}

}  // namespace velmo
