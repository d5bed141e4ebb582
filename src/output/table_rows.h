// Which distances a focal length's block shows.
#pragma once

#include "settings/run_settings.h"

namespace velmo {

/// True when the row of `distance` belongs in the block of `focal`: a
/// finite distance from ten to 990 focal lengths, and the infinite
/// distance unless limits are relative.
bool RowIsWritten(const RunSettings& settings, double distance, double focal);

}  // namespace velmo
