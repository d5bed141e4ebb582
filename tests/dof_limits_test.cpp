#include "optics/dof_limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "extended_support.h"
#include "numtext/bit_cast.h"
#include "numtext/undefined.h"
#include "optics/camera_format.h"
#include "optics/diffraction.h"
#include "optics/focus_stack.h"

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
  const Lens lens{.CoC = 0.015, .Aperture = 8, .Focal = 50};
  for (const Case& c : cases) {
    const auto [near, far] = ComputeDofLimits(lens, c.distance);
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
  EXPECT_EQ(HyperfocalDistance(lens), 20.883333333333333);
}

TEST(DofLimits, NoSharpZoneCloserThanTheFocalLength) {
  const Lens lens{.CoC = 0.015, .Aperture = 8, .Focal = 50};
  for (double distance : {0.04, 0.049}) {
    EXPECT_TRUE(IsUndefined(ComputeDofLimits(lens, distance).Near)) << distance;
    EXPECT_TRUE(IsUndefined(ComputeDofLimits(lens, distance).Far)) << distance;
  }
  EXPECT_EQ(ComputeDofLimits(lens, 0.05).Near, 0.05);
  EXPECT_EQ(ComputeDofLimits(lens, 0.05).Far, 0.05);
}

TEST(DofLimits, ExactlyAtTheHyperfocalDistanceTheFarLimitIsInfinite) {
  const auto [near, far] = ComputeDofLimits({.CoC = 0.02, .Aperture = 5, .Focal = 50}, 25.05);
  EXPECT_EQ(near, 12.525);
  EXPECT_TRUE(IsUndefined(far));
  EXPECT_GT(far, 0) << "the division gives +infinity, not a negative far limit";
}

TEST(DofLimits, ZeroApertureOrCircleGivesTheDistanceItself) {
  for (const Lens lens :
       {Lens{.CoC = 0.015, .Aperture = 0, .Focal = 50}, Lens{.CoC = 0, .Aperture = 8, .Focal = 50}}) {
    EXPECT_EQ(ComputeDofLimits(lens, 3).Near, 3);
    EXPECT_EQ(ComputeDofLimits(lens, 3).Far, 3);
  }
  EXPECT_TRUE(std::isinf(ComputeDofLimits({.CoC = 0, .Aperture = 8, .Focal = 50}, Undefined).Near));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance({.CoC = 0.015, .Aperture = 0, .Focal = 50})));
}

TEST(DofLimits, UndefinedInputsGiveUndefinedResults) {
  const Lens lenses[] = {{.CoC = 0.015, .Aperture = 8, .Focal = Undefined},
                         {.CoC = 0.015, .Aperture = Undefined, .Focal = 50}};
  for (const Lens& lens : lenses) {
    EXPECT_TRUE(IsUndefined(ComputeDofLimits(lens, 3).Near));
    EXPECT_TRUE(IsUndefined(ComputeDofLimits(lens, 3).Far));
  }
  EXPECT_TRUE(IsUndefined(ComputeDofLimits({.CoC = Undefined, .Aperture = 8, .Focal = 50}, Undefined).Near));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance({.CoC = 0.015, .Aperture = 8, .Focal = Undefined})));
  EXPECT_TRUE(IsUndefined(HyperfocalDistance({.CoC = Undefined, .Aperture = 8, .Focal = 50})));
}

/// The limits of a finite cell in metres, one Extended operation after the
/// other, each result rounded on its own.
DofLimits OneOperationAtATime(const Lens& lens, double distance) {
  const Extended f = lens.Focal;
  const auto s = static_cast<double>(distance * Extended(1000));
  const auto h = static_cast<double>(Extended(lens.Aperture) * lens.CoC * (s - f) / (f * f));
  const Extended perMillimetre = Extended(1) / Extended(1000);
  const auto near = static_cast<double>(perMillimetre * static_cast<double>(s / (1 + Extended(h))));
  const auto far = static_cast<double>(perMillimetre * static_cast<double>(s / (1 - Extended(h))));
  return {near, far < 0 ? Undefined : far};
}

TEST(DofLimits, CellsBeyondTheReachOfTheShortPathGiveTheLimitsOfTheLongOne) {
  const struct {
    Lens Values;
    double Distance;
  } cells[] = {
      {{.CoC = 0.03, .Aperture = 8, .Focal = 50}, 3},           // on the short path throughout
      {{.CoC = 1e-8, .Aperture = 1, .Focal = 50}, 3},           // 1 + h and 1 - h round
      {{.CoC = 1e-25, .Aperture = 1, .Focal = 50}, 3},          // 1 + h: h lies beyond the significand
      {{.CoC = 1e-9, .Aperture = 1.5, .Focal = 1e-9}, 2e-12},   // a minute s: 1 - h for h > 1
      {{.CoC = 1e-300, .Aperture = 1e-10, .Focal = 50}, 3},     // h is a denormal double
      {{.CoC = 1e300, .Aperture = 1e10, .Focal = 50}, 3},       // h overflows the double
      {{.CoC = 0.03, .Aperture = 8, .Focal = 1e-308}, 1e-310},  // a denormal distance, in millimetres
  };
  for (const auto& cell : cells) {
    const DofLimits expected = OneOperationAtATime(cell.Values, cell.Distance);
    // Alone, and in a block as a table computes it: seventeen cells a row,
    // more than one group of them.
    std::vector<DofLimits> limits(17);
    BlockLimits(std::vector<Lens>(limits.size(), cell.Values), {&cell.Distance, 1}, DistanceUnit::Metre,
                limits.data());
    limits.push_back(ComputeDofLimits(cell.Values, cell.Distance));
    for (const DofLimits& cellLimits : limits) {
      EXPECT_EQ(BitCast<std::uint64_t>(cellLimits.Near), BitCast<std::uint64_t>(expected.Near))
          << cell.Values.CoC;
      EXPECT_EQ(BitCast<std::uint64_t>(cellLimits.Far), BitCast<std::uint64_t>(expected.Far))
          << cell.Values.CoC;
    }
  }
}

TEST(DofLimits, OnlyTheProductOfApertureAndCircleMatters) {
  const DofLimits a = ComputeDofLimits({.CoC = 0.03, .Aperture = 4, .Focal = 85}, 7);
  const DofLimits b = ComputeDofLimits({.CoC = 4, .Aperture = 0.03, .Focal = 85}, 7);
  EXPECT_EQ(a.Near, b.Near);
  EXPECT_EQ(a.Far, b.Far);
}

TEST(DofLimits, TheHyperfocalDistanceExceedsTheInfiniteNearLimitByTheFocalLength) {
  const Lens lens{.CoC = 0.03, .Aperture = 4, .Focal = 50};
  EXPECT_NEAR(HyperfocalDistance(lens) - ComputeDofLimits(lens, Undefined).Near, 0.05, 1E-12);
}

TEST(CameraFormat, TheCircleOfConfusionIsTheDiagonalByTheDivisor) {
  // sqrt(36^2 + 24^2) = sqrt(1872) = 43.2666..., and / 1500, each step
  // correctly rounded.
  EXPECT_EQ(Diagonal({36, 24}), 43.266615305567875);
  EXPECT_EQ(CoCFromFormat({36, 24}, 1500), 0.028844410203711916);
  EXPECT_EQ(CoCFromFormat({23.5, 15.6}, 1000), 0.02820655952079232);
}

TEST(Diffraction, TheAiryDiskOutgrowsTheCircleFromTheWorkedAperture) {
  // 2.44 x 0.00055 mm x N against 0.03 mm: N = 22.355...
  EXPECT_NEAR(DiffractionAperture(550, 0.03), 22.355, 0.001);
  EXPECT_FALSE(DiffractionLimited(22, 550, 0.03));
  EXPECT_TRUE(DiffractionLimited(22.4, 550, 0.03));
  EXPECT_TRUE(DiffractionLimited(32, 550, 0.03));
  EXPECT_NEAR(AiryDiameter(32, 550), 0.042944, 1e-12);
  // Red light diffracts more: 700 nm reaches 0.03 mm from f/17.6 on.
  EXPECT_TRUE(DiffractionLimited(18, 700, 0.03));
  EXPECT_FALSE(DiffractionLimited(8, 550, Undefined));
}

TEST(FocusStack, EachFrameStartsWhereThePreviousEnds) {
  // 50 mm at f/8 with 0.03 mm from 2 m, in exact fractions: N c = 0.24 mm,
  // f^2 = 2500, s1 = 2000 x 50 x 49.76 / (2500 - 480) = 4976000 / 2020 mm,
  // far 3.2061856 m; s2 = 4.6096032 m, far 8.1980844 m; s3 would be
  // 38.306810 m, beyond the hyperfocal distance (10.47 m): the last frame is
  // at the hyperfocal distance, whose near limit (5.24 m) meets the second
  // frame's far limit with room to spare.
  const Lens lens{.CoC = 0.03, .Aperture = 8, .Focal = 50};
  const FocusStack stack = ComputeFocusStack(lens, 2, DistanceUnit::Metre);
  ASSERT_EQ(stack.Focus.size(), 3u);
  EXPECT_FALSE(stack.Cut);
  EXPECT_NEAR(stack.Focus[0], 4976.0 / 2020, 1e-12);
  EXPECT_NEAR(stack.Focus[1], 4.609603240795901, 1e-12);
  EXPECT_EQ(stack.Focus[2], HyperfocalDistance(lens));
  double near = 2;
  for (std::size_t i = 0; i < stack.Focus.size(); ++i) {
    // The limits are the frame's own table row, and its near limit the
    // previous far limit, to rounding; the hyperfocal frame's nearer.
    EXPECT_EQ(stack.Limits[i].Near, ComputeDofLimits(lens, stack.Focus[i]).Near);
    if (i + 1 < stack.Focus.size()) {
      EXPECT_EQ(stack.Limits[i].Near, near) << i;
    } else {
      EXPECT_LT(stack.Limits[i].Near, near);
    }
    near = stack.Limits[i].Far;
  }
  EXPECT_TRUE(IsUndefined(stack.Limits.back().Far));
}

TEST(FocusStack, TheFocusForANearLimitIsConvertedInTheExtendedFormat) {
  struct Case {
    double near;
    DistanceUnit unit;
    double focus;
  };
  // Values where converting the millimetres in doubles gives another last bit.
  const Case cases[] = {
      {0.7, DistanceUnit::Metre, 0.74682675814751287},
      {1, DistanceUnit::Foot, 1.0251981170637801},
      {3, DistanceUnit::Foot, 3.2729033072810703},
  };
  const Lens lens{.CoC = 0.03, .Aperture = 8, .Focal = 50};
  for (const Case& c : cases) EXPECT_EQ(FocusForNearLimit(lens, c.near, c.unit), c.focus) << c.near;
}

TEST(FocusStack, TheHyperfocalDistanceWhereNoFiniteFocusReaches) {
  // n N c >= f^2: 50 mm at f/32 with 0.1 mm from 1 km.
  const Lens lens{.CoC = 0.1, .Aperture = 32, .Focal = 50};
  const FocusStack stack = ComputeFocusStack(lens, 1000, DistanceUnit::Metre);
  ASSERT_EQ(stack.Focus.size(), 1u);
  EXPECT_EQ(stack.Focus[0], HyperfocalDistance(lens));
  // Its near limit is its table row's, half the hyperfocal distance; its far
  // limit infinite by definition, whatever the rounding of 1 - h.
  EXPECT_EQ(stack.Limits[0].Near, ComputeDofLimits(lens, stack.Focus[0]).Near);
  EXPECT_NEAR(stack.Limits[0].Near, stack.Focus[0] / 2, 0.03);
  EXPECT_TRUE(IsUndefined(stack.Limits[0].Far));
  // 35 mm at f/2.8 with 0.03 mm from 5.14 m: H = 35^2 / 0.084 + 35 mm =
  // 14.618 m, whose own row gives a far limit of 1.3E+17 m for a 1 - h that
  // rounds a hair above zero.
  const Lens wide{.CoC = 0.03, .Aperture = 2.8, .Focal = 35};
  ASSERT_FALSE(IsUndefined(ComputeDofLimits(wide, HyperfocalDistance(wide)).Far));
  const FocusStack toInfinity = ComputeFocusStack(wide, 5.14, DistanceUnit::Metre);
  EXPECT_EQ(toInfinity.Focus.back(), HyperfocalDistance(wide));
  EXPECT_TRUE(IsUndefined(toInfinity.Limits.back().Far));
  // A stack that needs more than 64 frames is cut there.
  const FocusStack thin =
      ComputeFocusStack({.CoC = 0.001, .Aperture = 1, .Focal = 50}, 0.5, DistanceUnit::Metre);
  EXPECT_EQ(thin.Focus.size(), 64u);
  EXPECT_TRUE(thin.Cut);
}

TEST(FocusStack, WithoutAStartOrADepthOfFieldItHasNoFrame) {
  struct Case {
    Lens lens;
    double nearest;
    NoStack without;
  };
  const Case cases[] = {
      {{.CoC = 0.03, .Aperture = 8, .Focal = 50}, Undefined, NoStack::NoStart},
      {{.CoC = 0, .Aperture = 8, .Focal = 50}, 0.5, NoStack::NoDepth},
      {{.CoC = 0.03, .Aperture = 0, .Focal = 50}, 0.5, NoStack::NoDepth},
  };
  for (const Case& c : cases) {
    const FocusStack stack = ComputeFocusStack(c.lens, c.nearest, DistanceUnit::Metre);
    EXPECT_EQ(stack.Without, c.without) << c.lens.CoC;
    EXPECT_TRUE(stack.Focus.empty() && stack.Limits.empty() && !stack.Cut) << c.lens.CoC;
  }
}

}  // namespace
}  // namespace velmo
