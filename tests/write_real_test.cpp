#include "numtext/write_real.h"

#include <gtest/gtest.h>

#include <limits>

#include "numtext/undefined.h"
#include "test_support.h"

namespace velmo {
namespace {

std::string Real(long double x, int width, int decimals) {
  return test::Written([&](TextWriter& out) { WriteReal(out, x, width, decimals); });
}

TEST(WriteReal, GivesTheWorkedExamples) {
  struct Case {
    long double x;
    int width;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {50, 1, 1, "50.0"},       {7.5, 1, 1, "7.5"},    {7.25, 1, 1, "7.3"},
      {0.15, 1, 1, "0.1"},      {5.6, 1, 1, "5.6"},    {22, 1, 1, "22.0"},
      {75, 1, 0, "75"},         {44.8, 1, 0, "45"},    {28.5, 1, 0, "29"},
      {50, 5, 1, " 50.0"},      {135, 5, 1, "135.0"},  {12345.6, 5, 1, "12345.6"},
      {Undefined, 1, 1, "Nan"}, {-0.04, 1, 1, "-0.0"}, {1E40L, 1, 1, " 1.0E+0040"},
  };
  for (const Case& c : cases) EXPECT_EQ(Real(c.x, c.width, c.decimals), c.text) << c.text;
}

TEST(WriteReal, HandlesSignsCarriesAndTheExponentForm) {
  struct Case {
    long double x;
    int width;
    int decimals;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {inf, 1, 1, "+Inf"},
      {-inf, 6, 1, "  -Inf"},
      {0, 1, 1, "0.0"},
      {-0.0L, 1, 1, "-0.0"},
      {9.96, 1, 1, "10.0"},
      {99.95L, 1, 1, "100.0"},
      {0.96, 1, 0, "1"},
      {0.49, 1, 0, "0"},
      {-7.25, 1, 1, "-7.3"},
      {1.5, 1, 3, "1.500"},
      {0.999999999999999999L, 1, 2, "1.00"},
      {123456789012345678901234.0L, 1, 0, "123456789012345679000000"},
      {1.23456789E-5L, 1, 8, "0.00001235"},
      {2.5E-18L, 1, 17, "0.00000000000000000"},  // 17 decimal places below 1
      {1E36L, 1, 1, " 1.0E+0036"},
      {-2.5E100L, 12, 1, "-2.500E+0100"},
      {1.5E300L, 26, 1, " 1.50000000000000000E+0300"},
      {75, 8, 0, "      75"},
  };
  for (const Case& c : cases) EXPECT_EQ(Real(c.x, c.width, c.decimals), c.text) << c.text;
}

TEST(WriteReal, LimitsWidthAndDecimals) {
  EXPECT_EQ(Real(1, 300, 0).size(), 255u);
  std::string many = Real(1, 1, 500);
  EXPECT_EQ(many.size(), 2u + 216u);
  EXPECT_EQ(many.substr(0, 4), "1.00");
}

}  // namespace
}  // namespace velmo
