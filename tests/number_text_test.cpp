#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "extended_support.h"
#include "numtext/bit_cast.h"
#include "numtext/undefined.h"
#include "platform/exceptions.h"
#include "test_support.h"

namespace velmo {
namespace {

using test::Fields;
using test::Ratio;

// Powers of ten in the extended format, from the x87 unit.
const Extended k1E400 = Fields(false, 0x452F, 0xDA763FC8CB9FF9E6ull);
const Extended k1E1000 = Fields(false, 0x4CF8, 0xF38DB1F9DD3DAC05ull);
const Extended k1E500 = Fields(false, 0x467B, 0xF9B2FF649B8695D7ull);
const Extended k1Em500 = Fields(false, 0x3982, 0x833ADA2003DB9A80ull);
const Extended k1E999 = Fields(false, 0x4CF5, 0xC2D7C194B0FE2338ull);

struct NumberCase {
  const char* text;
  bool accepted;
  Extended value;
};

TEST(NumberFromText, FollowsTheSyntaxOfSettingsNumbers) {
  const NumberCase cases[] = {
      {"5", true, 5},
      {"+5", true, 5},
      {"-2.5", true, -2.5},
      {"5.", true, 5},
      {".5", true, 0.5},
      {".", true, 0},
      {"  0.03  ", true, Ratio(3, 100)},
      {".03", true, Ratio(3, 100)},
      {"3E-2", true, Ratio(3, 100)},
      {"3e-2", true, Ratio(3, 100)},
      {"1E", true, 1},
      {"1E+", true, 1},
      {"1E-", true, 1},
      {"1E400", true, k1E400},
      {"1E1000", true, k1E1000},
      {"1E500", true, k1E500},
      {"1E-500", true, k1Em500},
      {"000012.5000", true, 12.5},
      // Exponent digits are read while the exponent is below 500: in 1E5000,
      // 1E-5000 and 0E5000 a digit is left over; 1E4999 is read whole and
      // lies beyond the extended range.
      {"1E5000", false, 0},
      {"1E-5000", false, 0},
      {"0E5000", false, 0},
      {"1E4999", false, 0},
      {"9E4932", false, 0},  // beyond the extended range
      {"E5", false, 0},
      {"1.2.3", false, 0},
      {"-", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"0,03", false, 0},
      {"2.8,4", false, 0},
      {"1\t2", false, 0},
      {"inf", false, 0},
      {"NaN", false, 0},
      {"0x10", false, 0},
      {"--1", false, 0},
      {"1 2", false, 0},
  };
  for (const NumberCase& c : cases) {
    Extended value = 7;
    EXPECT_EQ(NumberFromText(c.text, value), c.accepted) << '"' << c.text << '"';
    if (c.accepted) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    } else {
      EXPECT_EQ(value, 7) << '"' << c.text << '"';
    }
  }
}

TEST(NumberFromText, IsCorrectlyRoundedForLongDigitRuns) {
  std::string digits = "0." + std::string(600, '0') + "1";
  Extended value;
  ASSERT_TRUE(NumberFromText(digits, value));
  EXPECT_EQ(value, Fields(false, 0x3832, 0xB7B36EEB55DDCBAEull));
  ASSERT_TRUE(NumberFromText("0.1000000000000000000000000000000001", value));
  EXPECT_EQ(value, Ratio(1, 10));
  ASSERT_TRUE(NumberFromText("-0", value));
  EXPECT_TRUE(value.Negative());
}

TEST(NumberFromText, RaisingFormNamesTheWholeText) {
  try {
    NumberFromText(std::string_view("2.8,4"));
    FAIL() << "no failure raised";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'2.8,4' is not a valid floating point value");
  }
}

TEST(ParseNumber, QuestionMarkIsUndefinedAndHugeValuesAreTooLarge) {
  EXPECT_TRUE(IsUndefined(ParseNumber("?")));
  EXPECT_EQ(BitCast<std::uint64_t>(StoreDouble(ParseNumber("?"))), 0x7FFFFFFFFFFFFFFFu);
  EXPECT_THROW(ParseNumber("? "), EConvertError);
  EXPECT_THROW(ParseNumber("??"), EConvertError);
  EXPECT_EQ(ParseNumber("1E999"), k1E999);
  try {
    ParseNumber("1E1000");
    FAIL() << "no failure raised";
  } catch (const Error& e) {
    EXPECT_STREQ(e.ClassName(), "Error");
    EXPECT_EQ(e.Message(), "Value too large");
  }
  EXPECT_THROW(ParseNumber("-1E1000"), Error);
  EXPECT_THROW(ParseNumber("1E5000"), EConvertError);
  EXPECT_THROW(ParseNumber("n"), EConvertError);
}

TEST(StoreDouble, OverflowsOnlyBeyondTheDoubleRange) {
  EXPECT_EQ(StoreDouble(Fields(false, 0x43FE, 0x8E679C2F5E44FF8Full)), 1E308);
  EXPECT_EQ(StoreDouble(Fields(false, 0x3ACE, 0x95FE7E07C91EFAFAull)), 0.0);  // 1E-400
  EXPECT_EQ(StoreDouble(Fields(false, 0x3BDA, 0x9E20735E8CB16382ull)), 5E-320);
  EXPECT_TRUE(std::isnan(StoreDouble(UndefinedExtended())));
  // Just above the largest double, but nearer to it than to the next step.
  Extended justAbove = Fields(false, 0x43FE, 0xFFFFFFFFFFFFF800ull + 8);
  EXPECT_EQ(StoreDouble(justAbove), std::numeric_limits<double>::max());
  try {
    StoreDouble(k1E500);
    FAIL() << "no failure raised";
  } catch (const EOverflow& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
  EXPECT_THROW(StoreDouble(Fields(true, 0x43FF, 0x8E679C2F5E44FF8Full)), EOverflow);  // -2E308
}

TEST(NumberFromText, IgnoresTheLocaleDecimalSeparator) {
  test::CommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
  Extended value = 0;
  EXPECT_TRUE(NumberFromText("2.5", value));
  EXPECT_EQ(value, 2.5);
  EXPECT_FALSE(NumberFromText("2,5", value));
}

}  // namespace
}  // namespace velmo
