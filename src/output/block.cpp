#include "output/block.h"

#include <array>
#include <span>

#include "numtext/undefined.h"
#include "output/table_rows.h"

namespace velmo {

namespace {

/// The nearest finite distance of the list; `Undefined` when it has none.
double NearestDistance(const RunSettings& settings) {
  double nearest = Undefined;
  for (int d = 0; d < settings.DistanceCount; ++d) {
    const double distance = settings.Distances[d];
    if (!IsUndefined(distance) && distance > 0 && (IsUndefined(nearest) || distance < nearest)) {
      nearest = distance;
    }
  }
  return nearest;
}

}  // namespace

Block ComputeBlock(const RunSettings& settings, double focal) {
  Block block;
  block.Focal = focal;
  block.ApertureCount = settings.ApertureCount;
  block.Distances.reserve(settings.DistanceCount);
  block.Limits.reserve(std::size_t{settings.DistanceCount} * settings.ApertureCount);
  std::array<LensTerms, kListCapacity> lenses;
  const double nearest = NearestDistance(settings);
  for (int a = 0; a < settings.ApertureCount; ++a) {
    const Lens lens{settings.CoC, settings.Apertures[a], focal};
    lenses[a] = LensTermsOf(lens);
    block.Hyperfocal.push_back(HyperfocalDistance(lens, settings.Units));
    block.Diffracted.push_back(settings.Diffraction &&
                               DiffractionLimited(lens.Aperture, settings.Wavelength, lens.CoC));
    if (settings.Stack) block.Stacks.push_back(ComputeFocusStack(lens, nearest, settings.Units));
  }
  for (int d = 0; d < settings.DistanceCount; ++d) {
    const double distance = settings.Distances[d];
    if (!RowIsWritten(settings, distance, focal)) continue;
    block.Distances.push_back(distance);
    const std::size_t first = block.Limits.size();
    block.Limits.resize(first + settings.ApertureCount);
    RowLimits(std::span(lenses.data(), settings.ApertureCount),
              SubjectTermsOf(distance, focal, settings.Units), settings.Units, block.Limits.data() + first);
  }
  return block;
}

}  // namespace velmo
