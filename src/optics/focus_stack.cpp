#include "optics/focus_stack.h"

#include "numtext/undefined.h"

namespace velmo {

FocusStack ComputeFocusStack(const Lens& lens, double nearest, DistanceUnit unit) {
  FocusStack stack;
  if (IsUndefined(nearest)) {
    stack.Without = NoStack::NoStart;
    return stack;
  }
  const double hyperfocal = HyperfocalDistance(lens, unit);
  double near = nearest;
  while (static_cast<int>(stack.Focus.size()) < kMostFrames) {
    const double focus = FocusForNearLimit(lens, near, unit);
    const DofLimits limits =
        IsUndefined(focus) ? DofLimits{Undefined, Undefined} : ComputeDofLimits(lens, focus, unit);
    // A frame whose far limit is infinite anyway (its focus at or beyond the
    // hyperfocal distance), or that no finite focus makes, is the hyperfocal
    // frame: focusing further gains nothing and spends the margin a
    // focusing error needs.
    if (IsUndefined(focus) || IsUndefined(limits.Far) || (!IsUndefined(hyperfocal) && focus >= hyperfocal)) {
      stack.Focus.push_back(hyperfocal);
      stack.Limits.push_back({ComputeDofLimits(lens, hyperfocal, unit).Near, Undefined});
      return stack;
    }
    // A focus that gains no ground would never reach infinity.
    if (!(limits.Far > near)) {
      stack = FocusStack{};
      stack.Without = NoStack::NoDepth;
      return stack;
    }
    stack.Focus.push_back(focus);
    stack.Limits.push_back(limits);
    near = limits.Far;
  }
  stack.Cut = true;
  return stack;
}

}  // namespace velmo
