#include "optics/focus_stack.h"

#include "numtext/undefined.h"

namespace velmo {

FocusStack ComputeFocusStack(const Lens& lens, double nearest, DistanceUnit unit) {
  FocusStack stack;
  double near = nearest;
  while (static_cast<int>(stack.Focus.size()) < kMostFrames) {
    const double focus = IsUndefined(near) ? Undefined : FocusForNearLimit(lens, near, unit);
    if (IsUndefined(focus)) {
      // Beyond what a finite focus reaches: the hyperfocal distance takes
      // the rest out to infinity, whatever the rounding of its far limit.
      const double hyperfocal = HyperfocalDistance(lens, unit);
      stack.Focus.push_back(hyperfocal);
      stack.Limits.push_back(ComputeDofLimits(lens, hyperfocal, unit));
      return stack;
    }
    const DofLimits limits = ComputeDofLimits(lens, focus, unit);
    stack.Focus.push_back(focus);
    stack.Limits.push_back(limits);
    // A focus that gains no ground would never reach infinity.
    if (IsUndefined(limits.Far) || !(limits.Far > near)) return stack;
    near = limits.Far;
  }
  stack.Cut = true;
  return stack;
}

}  // namespace velmo
