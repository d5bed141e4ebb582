#include <gtest/gtest.h>

#include "extended_support.h"
#include "numtext/format_cell.h"
#include "numtext/format_compact.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "optics/dof_limits.h"
#include "test_support.h"

namespace velmo {
namespace {

struct CellCase {
  double x;
  const char* plain;  // no sign, text form
  const char* html;   // "+", HTML form
};

TEST(FormatCell, GivesEveryShapeAtItsThresholds) {
  const CellCase cases[] = {
      {0, ".000", "+.000"},
      {0.0004, ".000", "+.000"},
      {0.0005, ".001", "+.001"},
      {0.5, ".500", "+.500"},
      {0.995, ".995", "+.995"},
      {0.9949, ".995", "+.995"},
      {0.996, "1.00", "+1.00"},
      {1.5, "1.50", "+1.50"},
      {2.675, "2.67", "+2.67"},
      {9.95, "9.95", "+9.95"},
      {9.96, "10.0", "+10.0"},
      {12.34, "12.3", "+12.3"},
      {99.49, "99.5", "+99.5"},
      {99.5, "100.", "+100."},
      {123.4, "123.", "+123."},
      {999.5, "1000.", "+1000."},
      {1234.5, "1235.", "+1235."},
      {99999.6, "100000.", "+100000."},
      {100000, "1.0E+05", "+1.0E+05"},
      {123456, "1.2E+05", "+1.2E+05"},
      {1E100, "1.0E+100", "+1.0E+100"},
      {Undefined, "  INF", "&infin;"},
      {std::numeric_limits<double>::infinity(), "  INF", "&infin;"},
  };
  for (const CellCase& c : cases) {
    EXPECT_EQ(FormatCell(kNoSign, Markup::Text, c.x), c.plain) << c.x;
    EXPECT_EQ(FormatCell('+', Markup::Html, c.x), c.html) << c.x;
  }
}

TEST(FormatCell, NeverSignsAnUndefinedValue) {
  EXPECT_EQ(FormatCell('+', Markup::Text, Undefined), "  INF");
  EXPECT_EQ(FormatCell('-', Markup::Html, -std::numeric_limits<double>::infinity()), "&infin;");
}

TEST(FormatCell, KeepsTheMinusOfANegativeValue) {
  // The magnitude takes the shape of its branch and "-" goes in front; a
  // sign character still leads.
  const CellCase cases[] = {
      {-0.5, "-.500", "+-.500"},          {-2, "-2.00", "+-2.00"},
      {-150, "-150.", "+-150."},          {-12.34, "-12.3", "+-12.3"},
      {-123456, "-1.2E+05", "+-1.2E+05"}, {-0.0, ".000", "+.000"},
  };
  for (const CellCase& c : cases) {
    EXPECT_EQ(FormatCell(kNoSign, Markup::Text, c.x), c.plain) << c.x;
    EXPECT_EQ(FormatCell('+', Markup::Html, c.x), c.html) << c.x;
  }
}

TEST(FormatCell, ShowsTheLimitsOfAFiftyMillimetreLens) {
  struct Case {
    double distance;
    const char* near;
    const char* far;
  };
  const Case cases[] = {
      {0.05, ".050", ".050"}, {1, ".956", "1.05"},   {5, "4.04", "6.56"},          {10, "6.77", "19.1"},
      {20, "10.2", "472."},   {30, "12.3", "  INF"}, {Undefined, "20.8", "  INF"},
  };
  const Lens lens{.CoC = 0.015, .Aperture = 8, .Focal = 50};
  for (const Case& c : cases) {
    const auto [near, far] = ComputeDofLimits(lens, c.distance);
    EXPECT_EQ(FormatCell(kNoSign, Markup::Text, near), c.near) << c.distance;
    EXPECT_EQ(FormatCell(kNoSign, Markup::Text, far), c.far) << c.distance;
  }
  EXPECT_EQ(FormatCell(kNoSign, Markup::Html, HyperfocalDistance(lens)), "20.9");
}

TEST(FormatCompact, WritesTheCircleOfConfusionShort) {
  struct Case {
    Extended x;
    const char* text;
  };
  const Case cases[] = {
      {0.015, ".015"},
      {0.03, ".03"},
      {0.1, ".1"},
      {0.0001, ".0001"},
      {0.000015, "1.5E-5"},
      {0.123456789, ".12346"},
      {0, "0"},
      {1, "1"},
      {12.5, "12.5"},
      {-0.5, "-.5"},
      {9999.96, "10000"},
      {10000, "1E4"},
      {12345.678, "1.2346E4"},
      {-12345.678, "-1.2346E4"},
      {Undefined, "?"},
      {-3, "-3"},
      {1E-10, "1E-10"},
      {100000, "1E5"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCompact(c.x, 5), c.text) << c.text;
}

TEST(FormatCompact, PrecisionZeroMeansEighteenDigits) {
  EXPECT_EQ(FormatCompact(test::Ratio(1, 3), 0), ".333333333333333333");
  EXPECT_EQ(FormatCompact(0.1, 0), ".100000000000000006");
}

TEST(NumberText, IgnoresTheLocaleDecimalSeparator) {
  test::CommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(FormatCell(kNoSign, Markup::Text, 2.675), "2.67");
  EXPECT_EQ(FormatCell(kNoSign, Markup::Text, 123456), "1.2E+05");
  EXPECT_EQ(FormatCompact(0.015, 5), ".015");
  EXPECT_EQ(test::Written([](TextWriter& out) { WriteReal(out, 7.25, 1, 1); }), "7.3");
}

}  // namespace
}  // namespace velmo
