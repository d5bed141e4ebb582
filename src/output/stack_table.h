// The focus stack of a block (Stack=1): for each aperture, the frames whose
// zones of sharpness meet from the nearest listed distance to infinity.
#pragma once

#include "output/block.h"
#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// In HTML, one more row of the table holding a table of class STACK: a
/// row per aperture with the aperture, the number of frames ("64+" when
/// cut) and each frame's focus distance over its near and far limits, as
/// the cells show them. In text, the same as ":" lines.
void WriteStackTable(TextWriter& out, const RunSettings& settings, const Block& block);

}  // namespace velmo
