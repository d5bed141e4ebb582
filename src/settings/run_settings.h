// The one record of a run: options, value lists and the names of its files.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velmo {

/// Most items a value list holds.
inline constexpr std::uint16_t kListCapacity = 64;

struct RunSettings {
  // First the most items to read, then the number read.
  std::uint16_t DistanceCount = kListCapacity;
  std::uint16_t FocalCount = kListCapacity;
  std::uint16_t ApertureCount = kListCapacity;
  double CoC = 0.015;       // circle of confusion, mm
  double Multiplier = 0.0;  // focal-length multiplier; none when not above 0
  bool HTML = true;
  bool TableOnly = false;
  std::string SettingsFileName;
  bool Relative = false;
  char NearSign = 0;  // 0: no sign
  char FarSign = 0;
  std::array<double, kListCapacity> Distances{};  // m; Undefined is infinity
  std::array<double, kListCapacity> Focals{};     // mm
  std::array<double, kListCapacity> Apertures{};  // f-numbers
  std::array<std::string, kListCapacity> Items;   // shared by the three lists
  std::string Comment;
  std::string OutputFileName;
};

}  // namespace velmo
