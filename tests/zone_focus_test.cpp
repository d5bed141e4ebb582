#include "optics/zone_focus.h"

#include <gtest/gtest.h>

#include "numtext/undefined.h"
#include "optics/dof_limits.h"

namespace velmo {
namespace {

TEST(ZoneFocus, TheWorkedZones) {
  // Exact values: 1 m to 4 m with 35 mm at 0.03 mm, focus 1.6 m and
  // N = 35^2 x 3000 / (0.03 x (8E6 - 35 x 5000)); a zone to infinity,
  // focus 2 n and N = f^2 / (c (2 n - f)).
  const struct {
    double focal, coc, near, far;
    double focus, fNumber;
  } cases[] = {
      {35, 0.03, 1, 4, 1.6, 15.6549},
      {35, 0.03, 1, Undefined, 2, 20.7803},
      {35, 0.03, 4, Undefined, 8, 5.12660},
      {50, 0.03, 3, 15, 5, 11.2233},
      {50, 0.03, 1.6846, 2.4606, 2.0000, 8.0000},
  };
  for (const auto& c : cases) {
    const ZoneFocus zone = ComputeZoneFocus(c.focal, c.coc, c.near, c.far, DistanceUnit::Metre);
    EXPECT_NEAR(zone.Focus, c.focus, 5e-5) << c.near << " " << c.far;
    EXPECT_NEAR(zone.FNumber, c.fNumber, 5e-4) << c.near << " " << c.far;
    // Focused there at that f-number, the table's own formula gives the
    // zone back.
    const DofLimits limits = ComputeDofLimits({c.coc, zone.FNumber, c.focal}, zone.Focus);
    EXPECT_NEAR(limits.Near, c.near, 1e-12 * c.near);
    if (IsUndefined(c.far)) {
      EXPECT_GT(limits.Far, 1e12);  // or none: the rounding of 1 - h decides
    } else {
      EXPECT_NEAR(limits.Far, c.far, 1e-12 * c.far);
    }
  }
  // In feet: 10 ft to 40 ft with 50 mm is focused at 16 ft.
  EXPECT_NEAR(ComputeZoneFocus(50, 0.03, 10, 40, DistanceUnit::Foot).Focus, 16, 1e-12);
}

TEST(ZoneFocus, NoFocusMakesAZoneWhoseFocusWouldNotLieBeyondTheFocalLength) {
  const struct {
    double focal, coc, near, far;
  } cases[] = {
      {50, 0.03, 4, 4},              // no depth
      {50, 0.03, 4, 3},              // the wrong way round
      {50, 0.03, 0.025, Undefined},  // 2 n = f: the focus at the focal length
      {50, 0.03, 0.03, 0.06},        // 2 n d / (n + d) = 40 mm, inside the focal length
      {50, 0, 1, 4},                 // no circle of confusion: no f-number
      {50, 0.03, 0, 4},
      {50, 0.03, Undefined, Undefined},
      {0, 0.03, 1, 4},
      {Undefined, 0.03, 1, 4},
  };
  for (const auto& c : cases) {
    const ZoneFocus zone = ComputeZoneFocus(c.focal, c.coc, c.near, c.far, DistanceUnit::Metre);
    EXPECT_TRUE(IsUndefined(zone.Focus) && IsUndefined(zone.FNumber)) << c.near << " " << c.far;
  }
  // Just beyond: a finite, positive f-number.
  EXPECT_GT(ComputeZoneFocus(50, 0.03, 0.026, Undefined, DistanceUnit::Metre).FNumber, 0);
}

}  // namespace
}  // namespace velmo
