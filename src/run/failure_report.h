// The report that ends a run on a failure.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/text_writer.h"

namespace velmo {

/// Writes the two lines of the report and an empty line:
///   Exception <class> in module <program> at <position>.
///   <message>.
/// The position is eight hexadecimal digits; "." is appended to a message
/// that does not end in one.
void WriteFailureReport(TextWriter& console, std::string_view className, std::string_view message,
                        std::string_view programName, std::uint32_t position);

}  // namespace velmo
