// The run, from the banner to the final wait for Enter.
#pragma once

#include <span>
#include <string>

#include "platform/byte_stream.h"
#include "platform/os.h"

namespace velmo {

/// Runs the whole console dialogue with `arguments` (the command line
/// without the program's name) on the console `in`/`out`, and returns the
/// exit status: 0 when the run reaches its end, also after its own error
/// lines; 1 after a failure report. The number settings must be in force.
int RunVelmo(std::span<const std::string> arguments, ByteSource& in, ByteSink& out, Platform& platform);

/// The whole program, as each edition's entry calls it: the process made
/// ready, the number settings put in force, then RunVelmo.
int RunProgram(Platform& platform, std::span<const std::string> arguments, ByteSource& in, ByteSink& out);

}  // namespace velmo
