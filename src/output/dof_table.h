// The depth-of-field table, in its text and HTML forms.
#pragma once

#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// Writes the whole table: one block per focal length, one row per
/// distance from ten to 990 focal lengths (and the infinite distance unless
/// limits are relative), one near/far cell per aperture, and in HTML a row
/// of hyperfocal distances closing each block. Every line ends in CR LF.
void WriteDofTable(TextWriter& OutputFile, const RunSettings& settings);

}  // namespace velmo
