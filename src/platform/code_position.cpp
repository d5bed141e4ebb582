#include "platform/code_position.h"

#include <dlfcn.h>
#include <unwind.h>

#include <cstdint>
#include <new>

namespace velmo {

namespace {

const void* failureAddress = nullptr;

/// Where the program file is loaded.
const void* ProgramBase() {
  Dl_info info;
  if (::dladdr(reinterpret_cast<const void*>(&CodeOffset), &info) == 0) return nullptr;
  return info.dli_fbase;
}

struct FrameSearch {
  const void* base;
  bool skippedHandler;
  const void* found;
};

_Unwind_Reason_Code VisitFrame(_Unwind_Context* context, void* argument) {
  auto& search = *static_cast<FrameSearch*>(argument);
  const std::uintptr_t address = _Unwind_GetIP(context);
  if (address == 0) return _URC_END_OF_STACK;
  // The first frame is the handler below, which is the program's own but
  // no caller of the allocation.
  if (!search.skippedHandler) {
    search.skippedHandler = true;
    return _URC_NO_REASON;
  }
  // The unwinder gives code addresses as integers.
  const auto* code = reinterpret_cast<const char*>(address);  // NOLINT(performance-no-int-to-ptr)
  Dl_info info;
  if (::dladdr(code - 1, &info) != 0 && info.dli_fbase == search.base) {
    search.found = code;
    return _URC_END_OF_STACK;
  }
  return _URC_NO_REASON;
}

void OnAllocationFailure() {
  // The allocation itself happens in the C++ library; the position worth
  // reporting is the program's own call that asked for the memory.
  FrameSearch search{ProgramBase(), false, nullptr};
  _Unwind_Backtrace(VisitFrame, &search);
  failureAddress = search.found;
  throw std::bad_alloc();
}

}  // namespace

std::uint32_t CodeOffset(const void* returnAddress) {
  if (returnAddress == nullptr) return 0;
  const void* address = static_cast<const char*>(returnAddress) - 1;
  Dl_info info;
  auto raw = reinterpret_cast<std::uintptr_t>(address);
  if (::dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
    return static_cast<std::uint32_t>(raw);
  }
  return static_cast<std::uint32_t>(raw - reinterpret_cast<std::uintptr_t>(info.dli_fbase));
}

void WatchAllocationFailures() {
  std::set_new_handler(OnAllocationFailure);
}

const void* AllocationFailureAddress() {
  return failureAddress;
}

}  // namespace velmo
