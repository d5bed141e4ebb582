#include "optics/focus_stack.h"

#include "numtext/undefined.h"

namespace velmo {

FocusStack ComputeFocusStack(const Lens& lens, double nearest, DistanceUnit unit) {
  FocusStack stack;
  if (IsUndefined(nearest)) {
    stack.Without = NoStack::NoStart;
    return stack;
  }
  double near = nearest;
  while (static_cast<int>(stack.Focus.size()) < kMostFrames) {
    const double focus = FocusForNearLimit(lens, near, unit);
    if (IsUndefined(focus)) {
      // Beyond what a finite focus reaches: the hyperfocal distance takes
      // the rest out to infinity.
      const double hyperfocal = HyperfocalDistance(lens, unit);
      stack.Focus.push_back(hyperfocal);
      stack.Limits.push_back({ComputeDofLimits(lens, hyperfocal, unit).Near, Undefined});
      return stack;
    }
    const DofLimits limits = ComputeDofLimits(lens, focus, unit);
    // A focus that gains no ground would never reach infinity.
    if (!IsUndefined(limits.Far) && !(limits.Far > near)) {
      stack = FocusStack{};
      stack.Without = NoStack::NoDepth;
      return stack;
    }
    stack.Focus.push_back(focus);
    stack.Limits.push_back(limits);
    if (IsUndefined(limits.Far)) return stack;
    near = limits.Far;
  }
  stack.Cut = true;
  return stack;
}

}  // namespace velmo
