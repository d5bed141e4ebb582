// The code position shown in the failure report.
#pragma once

#include <cstdint>

namespace velmo {

/// The offset of `address` within the program file that holds it, so that
/// `addr2line -e velmo -f 0x<offset>` names the function that failed.
/// 0 when the address is unknown.
std::uint32_t CodeOffset(const void* address);

}  // namespace velmo
