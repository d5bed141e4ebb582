#include "optics/dof_limits.h"

#include <gtest/gtest.h>

#include <cmath>

#include "extended_support.h"
#include "numtext/undefined.h"

namespace velmo {
namespace {

TEST(DofLimits, GiveTheLimitsOfAFiftyMillimetreLensToTheLastBit) {
  struct Case {
    double distance;
    double near;
    double far;
  };
  // c = 0.015 mm, f = 50 mm, N = 8.
  const Case cases[] = {
      {0.05, 0.05, 0.05},
      {1, 0.956388676358072, 1.0477787091366304},
      {5, 4.040077569489334, 6.558237145855195},
      {10, 6.7677314564158095, 19.14241960183767},
      {20, 10.21659174499387, 471.69811320754724},
      {30, 12.307187397440105, Undefined},
      {Undefined, 20.833333333333336, Undefined},
  };
  for (const Case& c : cases) {
    double near = 1, far = 1;
    ComputeDofLimits(0.015, 8, c.distance, 50, near, far);
    if (IsUndefined(c.near)) {
      EXPECT_TRUE(IsUndefined(near)) << c.distance;
    } else {
      EXPECT_EQ(near, c.near) << c.distance;
    }
    if (IsUndefined(c.far)) {
      EXPECT_TRUE(IsUndefined(far)) << c.distance;
    } else {
      EXPECT_EQ(far, c.far) << c.distance;
    }
  }
  EXPECT_EQ(HyperfocalDistance(0.015, 8, 50), 20.883333333333333);
}

TEST(DofLimits, NoSharpZoneCloserThanTheFocalLength) {
  double near = 0, far = 0;
  ComputeDofLimits(0.015, 8, 0.04, 50, near, far);
  EXPECT_TRUE(IsUndefined(near));
  EXPECT_TRUE(IsUndefined(far));
  ComputeDofLimits(0.015, 8, 0.049, 50, near, far);
  EXPECT_TRUE(IsUndefined(near));
  EXPECT_TRUE(IsUndefined(far));
  ComputeDofLimits(0.015, 8, 0.05, 50, near, far);
  EXPECT_EQ(near, 0.05);
  EXPECT_EQ(far, 0.05);
}

TEST(DofLimits, ExactlyAtTheHyperfocalDistanceTheFarLimitIsInfinite) {
  double near = 0, far = 0;
  ComputeDofLimits(0.02, 5, 25.05, 50, near, far);
  EXPECT_EQ(near, 12.525);
  EXPECT_TRUE(IsUndefined(far));
  EXPECT_GT(far, 0) << "the division gives +infinity, not a negative far limit";
}

TEST(DofLimits, ZeroApertureOrCircleGivesTheDistanceItself) {
  double near = 0, far = 0;
  ComputeDofLimits(0.015, 0, 3, 50, near, far);
  EXPECT_EQ(near, 3);
  EXPECT_EQ(far, 3);
  ComputeDofLimits(0, 8, 3, 50, near, far);
  EXPECT_EQ(near, 3);
  EXPECT_EQ(far, 3);
  ComputeDofLimits(0, 8, Undefined, 50, near, far);
  EXPECT_TRUE(std::isinf(near));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance(0.015, 0, 50)));
}

TEST(DofLimits, UndefinedInputsGiveUndefinedResults) {
  double near = 0, far = 0;
  ComputeDofLimits(0.015, 8, 3, Undefined, near, far);
  EXPECT_TRUE(IsUndefined(near));
  EXPECT_TRUE(IsUndefined(far));
  ComputeDofLimits(0.015, Undefined, 3, 50, near, far);
  EXPECT_TRUE(IsUndefined(near));
  EXPECT_TRUE(IsUndefined(far));
  ComputeDofLimits(Undefined, 8, Undefined, 50, near, far);
  EXPECT_TRUE(IsUndefined(near));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance(0.015, 8, Undefined)));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance(Undefined, 8, 50)));
}

TEST(DofLimits, OnlyTheProductOfApertureAndCircleMatters) {
  double near1, far1, near2, far2;
  ComputeDofLimits(0.03, 4, 7, 85, near1, far1);
  ComputeDofLimits(4, 0.03, 7, 85, near2, far2);
  EXPECT_EQ(near1, near2);
  EXPECT_EQ(far1, far2);
}

TEST(DofLimits, TheHyperfocalDistanceExceedsTheInfiniteNearLimitByTheFocalLength) {
  double near, far;
  ComputeDofLimits(0.03, 4, Undefined, 50, near, far);
  EXPECT_NEAR(HyperfocalDistance(0.03, 4, 50) - near, 0.05, 1E-12);
}

}  // namespace
}  // namespace velmo
