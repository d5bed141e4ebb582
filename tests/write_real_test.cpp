#include "numtext/write_real.h"

#include <gtest/gtest.h>

#include <limits>

#include "extended_support.h"
#include "numtext/undefined.h"
#include "test_support.h"

namespace velmo {
namespace {

std::string Real(Extended x, int width, int decimals) {
  return test::Written([&](TextWriter& out) { WriteReal(out, x, width, decimals); });
}

TEST(WriteReal, WritesTheNumbersOfHeaders) {
  struct Case {
    Extended x;
    int width;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {50, 1, 1, "50.0"},
      {7.5, 1, 1, "7.5"},
      {7.25, 1, 1, "7.3"},
      {0.15, 1, 1, "0.1"},
      {5.6, 1, 1, "5.6"},
      {22, 1, 1, "22.0"},
      {75, 1, 0, "75"},
      {44.8, 1, 0, "45"},
      {28.5, 1, 0, "29"},
      {50, 5, 1, " 50.0"},
      {135, 5, 1, "135.0"},
      {12345.6, 5, 1, "12345.6"},
      {Undefined, 1, 1, "Nan"},
      {-0.04, 1, 1, "-0.0"},
      {test::Fields(false, 0x4083, 0xEB194F8E1AE525FDull), 1, 1, " 1.0E+0040"},
  };
  for (const Case& c : cases) EXPECT_EQ(Real(c.x, c.width, c.decimals), c.text) << c.text;
}

TEST(WriteReal, HandlesSignsCarriesAndTheExponentForm) {
  struct Case {
    Extended x;
    int width;
    int decimals;
    const char* text;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {inf, 1, 1, "+Inf"},
      {-inf, 6, 1, "  -Inf"},
      {0, 1, 1, "0.0"},
      {-0.0, 1, 1, "-0.0"},
      {9.96, 1, 1, "10.0"},
      {test::Ratio(9995, 100), 1, 1, "100.0"},
      {0.96, 1, 0, "1"},
      {0.49, 1, 0, "0"},
      {-7.25, 1, 1, "-7.3"},
      {1.5, 1, 3, "1.500"},
      {test::Ratio(999999999999999999, 1000000000000000000), 1, 2, "1.00"},
      {test::Fields(false, 0x404B, 0xD124D8F8850364B5ull), 1, 0, "123456789012345679000000"},
      {test::Ratio(123456789, 10000000000000), 1, 8, "0.00001235"},
      {test::Ratio(25, 10000000000000000000ull), 1, 17, "0.00000000000000000"},  // 17 decimal places below 1
      {test::Fields(false, 0x4076, 0xC097CE7BC90715B3ull), 1, 1, " 1.0E+0036"},
      {test::Fields(true, 0x414C, 0xB6E0C377CFA2E12Eull), 12, 1, "-2.500E+0100"},
      {test::Fields(false, 0x43E4, 0x8F596B3002C1A5E2ull), 26, 1, " 1.50000000000000000E+0300"},
      {75, 8, 0, "      75"},
  };
  for (const Case& c : cases) EXPECT_EQ(Real(c.x, c.width, c.decimals), c.text) << c.text;
}

TEST(WriteReal, LimitsWidthAndDecimals) {
  EXPECT_EQ(Real(1, 300, 0).size(), 255u);
  EXPECT_EQ(Real(1, 1, 500), "1." + std::string(216, '0'));
}

}  // namespace
}  // namespace velmo
