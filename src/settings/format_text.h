// The recording format as a settings file gives it: by its size or by the
// name photographers know it by.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "optics/camera_format.h"

namespace velmo {

/// A format known by name. The first name is the one lists show; every
/// name matches without regard to letter case, blanks and hyphens, so
/// that "APS-C", "aps c" and "APSC" are one format.
struct NamedFormat {
  std::array<std::string_view, 4> Names;
  CameraFormat Format;
};

/// The formats known by name, in the order a list shows them: digital
/// sensors from the largest down, then film.
std::span<const NamedFormat> NamedFormats();

/// The format of a text such as "36x24" or "23.5 X 15.6" (two positive
/// numbers either side of one "x", either case, blanks allowed around
/// them) or a name of `NamedFormats`. False, with `format` untouched, for
/// anything else.
bool ParseCameraFormat(std::string_view text, CameraFormat& format);

}  // namespace velmo
