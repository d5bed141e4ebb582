// The bits of one type read as another, as std::bit_cast does. The C++
// library of the WebAssembly compiler (libc++ 13) does not have it yet; the
// compiler's builtin, which std::bit_cast is made of, is there on every
// build.
#pragma once

namespace velmo {

template <class To, class From>
constexpr To BitCast(const From& from) noexcept {
  static_assert(sizeof(To) == sizeof(From));
  return __builtin_bit_cast(To, from);
}

}  // namespace velmo
