// The recording format as a settings file gives it.
#pragma once

#include <string_view>

#include "optics/camera_format.h"

namespace velmo {

/// The format of a text such as "36x24" or "23.5 X 15.6": two positive
/// numbers either side of one "x" (either case), blanks allowed around
/// them. False, with `format` untouched, for anything else.
bool ParseCameraFormat(std::string_view text, CameraFormat& format);

}  // namespace velmo
