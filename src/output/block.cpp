#include "output/block.h"

#include <vector>

#include "numtext/undefined.h"
#include "output/table_rows.h"

namespace velmo {

namespace {

/// The nearest finite distance of the rows shown; `Undefined` when they
/// hold none.
double NearestDistance(const std::vector<double>& distances) {
  double nearest = Undefined;
  for (double distance : distances) {
    if (!IsUndefined(distance) && (IsUndefined(nearest) || distance < nearest)) nearest = distance;
  }
  return nearest;
}

}  // namespace

Block ComputeBlock(const RunSettings& settings, double focal) {
  Block block;
  block.Focal = focal;
  block.ApertureCount = settings.ApertureCount;
  for (int d = 0; d < settings.DistanceCount; ++d) {
    const double distance = settings.Distances[d];
    if (RowIsWritten(settings, distance, focal)) block.Distances.push_back(distance);
  }
  // A stack starts where the table does.
  const double nearest = NearestDistance(block.Distances);
  std::vector<Lens> lenses;
  for (int a = 0; a < settings.ApertureCount; ++a) {
    const Lens& lens = lenses.emplace_back(Lens{settings.CoC, settings.Apertures[a], focal});
    block.Hyperfocal.push_back(HyperfocalDistance(lens, settings.Units));
    block.Diffracted.push_back(settings.Diffraction &&
                               DiffractionLimited(lens.Aperture, settings.Wavelength, lens.CoC));
    if (settings.Stack) block.Stacks.push_back(ComputeFocusStack(lens, nearest, settings.Units));
  }
  block.Limits.resize(block.Distances.size() * lenses.size());
  BlockLimits(lenses, block.Distances, settings.Units, block.Limits.data());
  return block;
}

}  // namespace velmo
