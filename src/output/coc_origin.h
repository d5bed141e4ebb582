// Where the circle of confusion came from, said once at the head of the
// document when the camera's format had a part in it.
#pragma once

#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// Writes the sentence, without a line end: "It is the diagonal of the
/// 36 x 24 mm format, 43.3 mm, divided by 1500." Nothing for a circle of
/// confusion the CoC key gave alone.
void WriteCoCOrigin(TextWriter& out, const RunSettings& settings);

}  // namespace velmo
