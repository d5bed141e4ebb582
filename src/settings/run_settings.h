// The one record of a run: options, value lists and the names of its files.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "optics/camera_format.h"
#include "optics/diffraction.h"
#include "optics/distance_unit.h"

namespace velmo {

/// Where the circle of confusion of a run comes from.
enum class CoCOrigin {
  Key,           // the CoC key, or its default: nothing to say
  Format,        // the diagonal of the Format key's format, by CoCDivisor
  KeyOverFormat  // both keys given: CoC wins
};

/// Most items a value list holds.
inline constexpr std::uint16_t kListCapacity = 64;

struct RunSettings {
  // How many values each list holds.
  std::uint16_t DistanceCount = 0;
  std::uint16_t FocalCount = 0;
  std::uint16_t ApertureCount = 0;
  double CoC = 0.015;       // circle of confusion, mm
  double Multiplier = 0.0;  // focal-length multiplier; none when not above 0
  bool HTML = true;
  bool TableOnly = false;
  std::string SettingsFileName;
  bool Relative = false;
  std::array<double, kListCapacity> Distances{};  // m (or ft); Undefined is infinity
  std::array<double, kListCapacity> Focals{};     // mm
  std::array<double, kListCapacity> Apertures{};  // f-numbers
  std::string Comment;
  std::string OutputFileName;
  DistanceUnit Units = DistanceUnit::Metre;  // of every distance given and shown
  bool Chart = false;                        // a chart after each block (HTML only)
  CoCOrigin CoCFrom = CoCOrigin::Key;
  CameraFormat Format;                     // when CoCFrom says one was given
  double CoCDivisor = kDefaultCoCDivisor;  // of the format's diagonal
  bool Diffraction = false;                // mark the apertures diffraction limits
  double Wavelength = kDefaultWavelength;  // nm, of the light diffraction is judged for
  bool Stack = false;                      // a focus stack after each block
  bool Phone = false;                      // the page's title, language and viewport
  bool Zone = false;                       // a zone table after each block
};

/// The character in front of every near limit: "-" in relative mode, where
/// limits are offsets in front of the focus distance, else none (0).
inline char NearSign(const RunSettings& settings) {
  return settings.Relative ? '-' : 0;
}

/// The character in front of every far limit: "+" in relative mode.
inline char FarSign(const RunSettings& settings) {
  return settings.Relative ? '+' : 0;
}

}  // namespace velmo
