// One focal length's block of limits, computed once: the table, its chart
// and whatever else a document shows of the block read the same stored
// doubles, by construction.
#pragma once

#include <vector>

#include "optics/dof_limits.h"
#include "optics/focus_stack.h"
#include "settings/run_settings.h"

namespace velmo {

/// What a document shows of one focal length: the rows shown, the limits
/// of every row and aperture, and per aperture its hyperfocal distance, its
/// diffraction mark and its focus stack; all in the user's unit.
struct Block {
  double Focal = 0;
  int ApertureCount = 0;
  /// The distances of the rows shown, in the order of the list (the
  /// infinite distance among them as `Undefined`).
  std::vector<double> Distances;
  /// The limits of every row and aperture, absolute, in the user's unit.
  std::vector<DofLimits> Limits;  // [row * ApertureCount + aperture]
  /// The hyperfocal distance of every aperture.
  std::vector<double> Hyperfocal;
  /// For every aperture: diffraction blurs more than the circle of
  /// confusion (only when the settings ask for the marks).
  std::vector<bool> Diffracted;
  /// For every aperture, the focus stack from the nearest distance of the
  /// list (only when the settings ask for it).
  std::vector<FocusStack> Stacks;

  int RowCount() const { return static_cast<int>(Distances.size()); }
  const DofLimits& At(int row, int aperture) const {
    return Limits[static_cast<std::size_t>(row) * ApertureCount + aperture];
  }
};

/// The block of `focal` under the settings of the run.
Block ComputeBlock(const RunSettings& settings, double focal);

}  // namespace velmo
