#include <windows.h>

#include <cstdint>
#include <new>

#include "platform/code_position.h"

namespace velmo {

namespace {

const void* failureAddress = nullptr;

/// The module (program or library) that holds `address`.
HMODULE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
  return module;
}

void OnAllocationFailure() {
  // The allocation itself happens in the C++ library; the position worth
  // reporting is the program's own call that asked for the memory. The
  // first frame is this handler.
  void* frames[64];
  const USHORT count = ::RtlCaptureStackBackTrace(1, 64, frames, nullptr);
  const HMODULE program = ::GetModuleHandleW(nullptr);
  failureAddress = nullptr;
  for (USHORT i = 0; i < count; ++i) {
    if (ModuleOf(static_cast<const char*>(frames[i]) - 1) == program) {
      failureAddress = frames[i];
      break;
    }
  }
  throw std::bad_alloc();
}

}  // namespace

std::uint32_t CodeOffset(const void* returnAddress) {
  if (returnAddress == nullptr) return 0;
  const char* address = static_cast<const char*>(returnAddress) - 1;
  const HMODULE module = ModuleOf(address);
  if (module == nullptr) return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address));
  return static_cast<std::uint32_t>(address - reinterpret_cast<const char*>(module));
}

void WatchAllocationFailures() {
  std::set_new_handler(OnAllocationFailure);
}

const void* AllocationFailureAddress() {
  return failureAddress;
}

}  // namespace velmo
