// The note that tells where diffraction limits sharpness, once a document.
#pragma once

#include "platform/text_writer.h"
#include "settings/run_settings.h"

namespace velmo {

/// Whether the settings ask for the diffraction marks and any aperture of
/// the lists gets one: only then does a document carry the note.
bool HasDiffractionNote(const RunSettings& settings);

/// Writes, without a line end: "From f/22.4 on, diffraction blurs more
/// than the circle of confusion (550 nm light)."
void WriteDiffractionNote(TextWriter& out, const RunSettings& settings);

}  // namespace velmo
