// The focus distances of a focus stack: frames whose zones of sharpness
// meet, each frame's near limit at the previous one's far limit, from a
// nearest distance out to infinity.
#pragma once

#include <vector>

#include "optics/dof_limits.h"

namespace velmo {

/// No stack holds more frames than this; a longer one is cut.
inline constexpr int kMostFrames = 64;

/// Why a stack has no frame at all.
enum class NoStack {
  None,     // it has its frames
  NoStart,  // no distance to start from
  NoDepth,  // a frame's zone of sharpness has no depth: no frame advances
};

struct FocusStack {
  std::vector<double> Focus;      // in the user's unit, nearest first
  std::vector<DofLimits> Limits;  // of each frame, as its table row has them
  bool Cut = false;               // more frames were needed than kMostFrames
  NoStack Without = NoStack::None;
};

/// The stack of `lens` from `nearest` (in the user's unit; `Undefined` when
/// there is no distance to start from). Each focus has the previous frame's
/// far limit as its near limit; where that focus would lie at or beyond the
/// hyperfocal distance, or no finite focus has it, the last frame is at the
/// hyperfocal distance (its near limit nearer than the previous far limit):
/// its far limit is infinite by definition, however the rounding of 1 - h
/// falls. A stack whose first frame gains no ground has no frame.
FocusStack ComputeFocusStack(const Lens& lens, double nearest, DistanceUnit unit);

}  // namespace velmo
