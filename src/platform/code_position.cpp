#include "platform/code_position.h"

#include <dlfcn.h>

namespace velmo {

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

}  // namespace velmo
