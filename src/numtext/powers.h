// Powers of an integer base as tables made at compile time, and the powers
// of ten that bound 18 significant digits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmo {

/// base^0 to base^(N-1).
template <std::uint64_t Base, std::size_t N>
constexpr std::array<std::uint64_t, N> Powers() {
  std::array<std::uint64_t, N> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < N; ++i) powers[i] = powers[i - 1] * Base;
  return powers;
}

/// 10^0 to 10^18, every power of ten a 64-bit integer holds.
inline constexpr auto kPowerOf10 = Powers<10, 19>();

/// The bounds of 18 significant digits held as an integer.
inline constexpr std::uint64_t kTen17 = kPowerOf10[17];
inline constexpr std::uint64_t kTen18 = kPowerOf10[18];

}  // namespace velmo
