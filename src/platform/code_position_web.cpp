// Code positions in a WebAssembly module, which has no load address: a
// return address is already the call's byte offset within the module's
// file. An allocation that fails there notes nothing.
#include <cstdint>

#include "platform/code_position.h"

namespace velmo {

std::uint32_t CodeOffset(const void* returnAddress) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(returnAddress));
}

void WatchAllocationFailures() {}

const void* AllocationFailureAddress() {
  return nullptr;
}

}  // namespace velmo
