// The code position shown in the failure report.
#pragma once

#include <cstdint>

namespace velmo {

/// The offset, within the program file, of the call that returned to
/// `returnAddress` (one byte before it, inside the call instruction), so
/// that `addr2line -f -e velmo 0x<offset>` names the line that raised the
/// failure. 0 when the address is unknown.
std::uint32_t CodeOffset(const void* returnAddress);

/// From now on, an allocation that fails notes the return address of the
/// innermost call in the program's own code that led to it, and throws
/// std::bad_alloc as usual.
void WatchAllocationFailures();

/// The return address noted by the last failed allocation; null if none.
const void* AllocationFailureAddress();

}  // namespace velmo
