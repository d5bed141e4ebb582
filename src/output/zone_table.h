// The zone table of a block (Zone=1): where to focus, and at which
// f-number at least, so that everything from one distance of the list to
// another farther one is sharp.
#pragma once

#include "output/block.h"
#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// In HTML, rows of the block's table under its aperture columns: a
/// heading, then for each group of far distances (as many as the block has
/// apertures) a row naming them and a row per near distance the block
/// shows, each cell the focus distance over the f-number ("f/" and the
/// f-number rounded up to the table's three digits, so that it always
/// covers the zone). In text, ":" lines of "near-far focus f/N" no wider
/// than the table. A zone no focus makes has an empty cell (none in text);
/// a diffraction-limited f-number is marked as the apertures are.
void WriteZoneTable(TextWriter& out, const RunSettings& settings, const Block& block);

}  // namespace velmo
