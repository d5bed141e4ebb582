#include "numtext/render_float.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "extended_support.h"
#include "numtext/digits.h"
#include "numtext/format_width.h"
#include "numtext/number_settings.h"
#include "numtext/undefined.h"

namespace velmo {
namespace {

using test::Fields;
using test::Ratio;

struct RenderCase {
  Extended x;
  FloatForm form;
  int precision;
  int digits;
  const char* text;
};

TEST(RenderFloat, RendersEachForm) {
  const RenderCase cases[] = {
      {1234567, FloatForm::General, 5, 1, "1.2346E6"},
      {Ratio(12345, 100000000), FloatForm::General, 5, 1, "0.00012345"},
      {120, FloatForm::General, 5, 1, "120"},
      {Ratio(12345678, 1000), FloatForm::Exponent, 5, 1, "1.2346E+4"},
      {Ratio(12345678, 1000), FloatForm::Exponent, 5, 2, "1.2346E+04"},
      {0, FloatForm::Exponent, 2, 2, "0.0E+00"},
      {Ratio(123456, 1000), FloatForm::Fixed, 6, 2, "123.46"},
      {Ratio(123, 10000), FloatForm::Fixed, 6, 3, "0.012"},
      {Ratio(-1, 10000), FloatForm::Fixed, 6, 3, "0.000"},
      {Ratio(-6, 10000), FloatForm::Fixed, 6, 3, "-0.001"},
      {1234567, FloatForm::Fixed, 6, 1, "1.23457E6"},
  };
  for (const RenderCase& c : cases) {
    EXPECT_EQ(RenderFloat(c.x, c.form, c.precision, c.digits), c.text) << c.text;
  }
}

TEST(RenderFloat, CoversTheFormsAtTheirEdges) {
  const RenderCase cases[] = {
      {0, FloatForm::General, 5, 1, "0"},
      {-0.0, FloatForm::General, 5, 1, "0"},
      {-2.5, FloatForm::General, 5, 1, "-2.5"},
      {Ratio(1, 10000), FloatForm::General, 5, 1, "0.0001"},
      {Ratio(1, 100000), FloatForm::General, 5, 1, "1E-5"},
      {99999, FloatForm::General, 5, 1, "99999"},
      {999999, FloatForm::General, 5, 1, "1E6"},
      {Ratio(999996, 10), FloatForm::General, 5, 1, "1E5"},
      {Fields(false, 0x43E3, 0xBF21E44003ACDD2Dull), FloatForm::General, 18, 1, "1E300"},
      {5, FloatForm::Exponent, 1, 0, "5.0E+0"},
      {5, FloatForm::Exponent, 3, 4, "5.00E+0"},
      {Ratio(1, 10000000000), FloatForm::Exponent, 2, 3, "1.0E-010"},
      {Ratio(996, 100), FloatForm::Exponent, 2, 2, "1.0E+01"},
      {0.5, FloatForm::Fixed, 6, 0, "1"},  // n = 0 and the first digit is 5
      {Ratio(4, 10), FloatForm::Fixed, 6, 0, "0"},
      {Ratio(5, 10000), FloatForm::Fixed, 6, 3, "0.001"},
      {100, FloatForm::Fixed, 7, 0, "100"},
      {1.5, FloatForm::Fixed, 6, 30, "1.500000000000000000"},  // decimals limited to 18
      {123456789, FloatForm::Fixed, 100, 2, "123456789.00"},   // precision limited to 18
  };
  for (const RenderCase& c : cases) {
    EXPECT_EQ(RenderFloat(c.x, c.form, c.precision, c.digits), c.text) << c.text;
  }
}

TEST(RenderFloat, RoundsTheEighteenDigitsFirstThenFiveUp) {
  // 2.675 is held as 2.67499999999999982236431605997495353221893310546875:
  // 18 digits give 2.67499999999999982, which keeps 2.67.
  EXPECT_EQ(RenderFloat(2.675, FloatForm::Fixed, 6, 2), "2.67");
  // 0.15 held as 0.1499999999999999944488848768742172978818416595458984375:
  // 18 digits give 0.149999999999999994, which keeps 0.1.
  EXPECT_EQ(RenderFloat(0.15, FloatForm::Fixed, 6, 1), "0.1");
  // A value whose 18-digit rounding reaches a 5: 0.14999999999999999999 in
  // extended precision gives 0.150000000000000000, which keeps 0.2.
  EXPECT_EQ(RenderFloat(Fields(false, 0x3FFC, 0x9999999999999999ull), FloatForm::Fixed, 6, 1), "0.2");
  EXPECT_EQ(RenderFloat(1234.5, FloatForm::Fixed, 7, 0), "1235");
}

TEST(DecimalExponent, IsTheExponentOfTheLeadingDigit) {
  struct Case {
    Extended x;
    int n;
  };
  const Case cases[] = {
      {0, -1},
      {1, 0},
      {10, 1},
      {1000, 3},
      {Ratio(9999999, 100), 4},
      {100000, 5},
      {Ratio(1, 10), -1},
      {Ratio(1, 1000), -3},
      {Ratio(1, 100000), -5},
      {-250, 2},
      {Fields(false, 0x43E3, 0xBF21E44003ACDD2Dull), 300},
      {Fields(false, 0x3C1A, 0xAB70FE17C79AC6CAull), -300},
      {Ratio(9999, 1000), 0},
      {Ratio(995, 1000), -1},
      {1E100, 100},
      {99999.99999999999, 4},
      // The top of the extended range, where lifting would overflow.
      {Fields(false, 0x7FFE, ~0ull), 4932},
      {Fields(false, 0, 1), -4951},
  };
  for (const Case& c : cases) EXPECT_EQ(DecimalExponent(c.x), c.n) << static_cast<double>(c.x);
  // Every power of ten that a double holds exactly lands on its own decade.
  for (int p = 0; p <= 22; ++p) {
    double x = std::stod("1E" + std::to_string(p));
    EXPECT_EQ(DecimalExponent(x), p) << x;
  }
}

/// Doubles around each power of ten of the table range, and random ones.
std::vector<double> TableDoubles() {
  std::vector<double> values;
  for (int p = -9; p <= 17; ++p) {
    double power = std::stod("1E" + std::to_string(p));
    double below = power, above = power;
    for (int step = 0; step < 2000; ++step) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, 1E300);
      values.insert(values.end(), {below, above});
    }
    values.push_back(power);
  }
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> decade(-9, 17);
  for (int i = 0; i < 200000; ++i) values.push_back(std::pow(10.0, decade(random)));
  return values;
}

TEST(DecadeOf, IsExactAroundEveryPowerOfTen) {
  char text[96];
  for (double x : TableDoubles()) {
    if (!IsTableDouble(x)) continue;
    // The exact value's leading digit, from enough printed digits to
    // settle whether it lies below or above the power of ten.
    std::snprintf(text, sizeof text, "%.60e", x);
    ASSERT_EQ(DecadeOf(x), std::atoi(std::strchr(text, 'e') + 1) + 1) << text;
  }
}

TEST(DecimalExponent, TheDecadeOfATableValueIsWhatTheLoopGives) {
  for (double x : TableDoubles()) {
    ASSERT_EQ(DecimalExponent(x), DecimalExponentByScaling(x)) << std::hexfloat << x;
    ASSERT_EQ(DecimalExponent(-x), DecimalExponentByScaling(-x)) << std::hexfloat << x;
  }
}

TEST(FormatWidth, FitsNumbersInTheirWidth) {
  EXPECT_EQ(FormatWidth(2.5, 8, 3), "   2.500");
  EXPECT_EQ(FormatWidth(1234567, 8, 3), " 1.2E+06");
  EXPECT_EQ(FormatWidth(Undefined, 8, 3), "       ?");
  EXPECT_EQ(FormatWidth(100, 6, 0, {.NoFill = true}), "100.");
  EXPECT_EQ(FormatWidth(100, 6, 0), "  100.");
  EXPECT_EQ(FormatWidth(1E150, 8, 3), "1.0E+150");
  EXPECT_EQ(FormatWidth(2.5, 3, 3, {.NoFill = true}), "3.");  // the width leaves no decimal
}

TEST(NumberSettings, FullExtendedPrecisionGivesEighteenDigits) {
  DetectPrecision();
  EXPECT_EQ(SignificantDigits, 18);
}

}  // namespace
}  // namespace velmo
