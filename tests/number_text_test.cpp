#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "numtext/undefined.h"
#include "settings/exceptions.h"
#include "test_support.h"

namespace velmo {
namespace {

struct NumberCase {
  const char* text;
  bool accepted;
  long double value;
};

TEST(NumberFromText, FollowsTheSyntaxOfSettingsNumbers) {
  const NumberCase cases[] = {
      {"5", true, 5},
      {"+5", true, 5},
      {"-2.5", true, -2.5L},
      {"5.", true, 5},
      {".5", true, 0.5L},
      {".", true, 0},
      {"  0.03  ", true, 0.03L},
      {".03", true, 0.03L},
      {"3E-2", true, 0.03L},
      {"3e-2", true, 0.03L},
      {"1E", true, 1},
      {"1E+", true, 1},
      {"1E-", true, 1},
      {"1E400", true, 1E400L},
      {"1E1000", true, 1E1000L},
      {"1E500", true, 1E500L},
      {"1E-500", true, 1E-500L},
      {"000012.5000", true, 12.5L},
      {"1E5000", false, 0},  // the exponent stops at 500, a digit is left over
      {"1E4999", false, 0},  // 1E499 and a digit left over
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
    long double value = 7;
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
  long double value;
  ASSERT_TRUE(NumberFromText(digits, value));
  EXPECT_EQ(value, 1E-601L);
  ASSERT_TRUE(NumberFromText("0.1000000000000000000000000000000001", value));
  EXPECT_EQ(value, 0.1L);
  ASSERT_TRUE(NumberFromText("-0", value));
  EXPECT_TRUE(std::signbit(value));
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
  EXPECT_EQ(std::bit_cast<std::uint64_t>(StoreDouble(ParseNumber("?"))), 0x7FFFFFFFFFFFFFFFu);
  EXPECT_THROW(ParseNumber("? "), EConvertError);
  EXPECT_THROW(ParseNumber("??"), EConvertError);
  EXPECT_EQ(ParseNumber("1E999"), 1E999L);
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
  EXPECT_EQ(StoreDouble(1E308L), 1E308);
  EXPECT_EQ(StoreDouble(1E-400L), 0.0);
  EXPECT_EQ(StoreDouble(5E-320L), 5E-320);
  EXPECT_TRUE(std::isnan(StoreDouble(UndefinedExtended())));
  // Just above the largest double, but nearer to it than to the next step.
  long double justAbove = static_cast<long double>(std::numeric_limits<double>::max()) * (1 + 0x1p-60L);
  EXPECT_EQ(StoreDouble(justAbove), std::numeric_limits<double>::max());
  try {
    StoreDouble(1E500L);
    FAIL() << "no failure raised";
  } catch (const EOverflow& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
  EXPECT_THROW(StoreDouble(-2E308L), EOverflow);
}

TEST(NumberFromText, IgnoresTheLocaleDecimalSeparator) {
  test::CommaLocale locale;
  if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
  long double value = 0;
  EXPECT_TRUE(NumberFromText("2.5", value));
  EXPECT_EQ(value, 2.5L);
  EXPECT_FALSE(NumberFromText("2,5", value));
}

}  // namespace
}  // namespace velmo
