// The HTML 4.01 page around the table, divided into include regions that a
// site's own fragments can replace.
#pragma once

#include <string>
#include <string_view>

#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// Every line of the page before the table, down to the table's marker.
void WritePageHead(TextWriter& OutputFile, const RunSettings& settings);

/// Every line of the page after the table.
void WritePageFoot(TextWriter& OutputFile);

/// The include marker of the table region: "<!-- #lenses.i -->" for the
/// document "/photo/lenses.html", the name its fragment file would have.
std::string TableMarker(std::string_view outputFileName);

}  // namespace velmo
