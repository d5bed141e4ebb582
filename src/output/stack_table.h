// The focus stack of a block (Stack=1): for each aperture, the frames whose
// zones of sharpness meet from the nearest listed distance to infinity.
#pragma once

#include "output/block.h"
#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// In HTML, rows of the block's table under its aperture columns: a
/// heading, the number of frames of each aperture ("64+" when cut, or why
/// it has none), and a row per frame, each cell the frame's focus distance
/// over its near and far limits, as the cells show them. In text, a ":" line
/// per aperture, then its numbered frames on ":" lines no wider than the
/// table.
void WriteStackTable(TextWriter& out, const RunSettings& settings, const Block& block);

}  // namespace velmo
