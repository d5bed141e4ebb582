#include "numtext/round_up.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmo {
namespace {

TEST(RoundUpToSignificant, GivesTheLeastDecimalNotBelow) {
  const double above8 = std::nextafter(8.0, 9.0);
  const struct {
    double x;
    int digits;
    double up;
  } cases[] = {
      {15.6514, 3, 15.7},
      {8, 3, 8},
      {above8, 3, 8.01},
      {9.999, 3, 10},
      {0.1234, 3, 0.124},
      {123, 3, 123},
      {123.0000001, 3, 124},
      {999.5, 3, 1000},
      {20.78, 3, 20.8},
      {5.127, 3, 5.13},
      // The double nearest 0.1 lies above it, the one nearest 0.3 below.
      {0.1, 3, 0.101},
      {0.3, 3, 0.3},
      {1e-9, 3, 1.01e-9},
      {2.5e16, 2, 2.5e16},
      {2.51e16, 2, 2.6e16},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundUpToSignificant(c.x, c.digits), c.up) << c.x;
  // Outside the tables' range a value stays as it is.
  for (double x : {0.0, -3.0, 1e-10, 1e17, std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(RoundUpToSignificant(x, 3), x);
  }
}

TEST(RoundUpComputed, TakesAValueAHairAboveADecimalForIt) {
  const double hair = std::nextafter(std::nextafter(62500.0, 7e4), 7e4);  // two units above
  EXPECT_EQ(RoundUpToSignificant(hair, 3), 62600);
  EXPECT_EQ(RoundUpComputed(hair, 3), 62500);
  EXPECT_EQ(RoundUpComputed(62500 * (1 + 1e-13), 3), 62600);
  EXPECT_EQ(RoundUpComputed(8, 3), 8);
  EXPECT_EQ(RoundUpComputed(15.6549, 3), 15.7);
}

}  // namespace
}  // namespace velmo
