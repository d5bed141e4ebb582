// The chart that follows a focal length's block in the HTML forms.
#pragma once

#include "output/block.h"
#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// Writes one table row holding an inline SVG chart of `block`: the near and far limits of every aperture
/// against the focus distance, both on logarithmic axes over the rows the block shows, from the same stored
/// doubles as its cells. Infinite limits run onto a line of their own above the plot, and the infinite
/// distance, when its row is shown, has a column of its own at the right. The legend gives each aperture with
/// its hyperfocal distance, which the plot marks where the far limit becomes infinite. No script, no outside
/// resource: the look comes from classes that velmo.css defines, over plain black lines.
void WriteDofChart(TextWriter& out, const RunSettings& settings, const Block& block);

}  // namespace velmo
