#include "settings/format_text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace velmo {
namespace {

TEST(ParseCameraFormat, TakesEveryNameOfTheListAndNoNameIsASize) {
  std::set<std::string> seen;
  for (const NamedFormat& named : NamedFormats()) {
    for (std::string_view name : named.Names) {
      if (name.empty()) continue;
      CameraFormat format;
      // A name that reads as a size ("6x6") would give that size instead.
      ASSERT_TRUE(ParseCameraFormat(name, format)) << name;
      EXPECT_EQ(format.Width, named.Format.Width) << name;
      EXPECT_EQ(format.Height, named.Format.Height) << name;
      EXPECT_TRUE(seen.insert(std::string(name)).second) << name << " names two formats";
    }
  }
}

TEST(ParseCameraFormat, MatchesNamesWithoutCaseBlanksOrHyphens) {
  const struct {
    const char* text;
    double width;  // 0: not a format
  } cases[] = {
      {"aps-c", 23.5},   {"APS C", 23.5},  {"apsc", 23.5}, {" Full Frame ", 36}, {"full-frame", 36},
      {"micro 4/3", 0},  {"APS", 0},       {"6x6", 6},     {"6 x 6 cm", 56},     {"4x5", 4},
      {"4x5 Inch", 121}, {"1-inch", 13.2}, {"", 0},        {"APS-C-1.6", 22.3},
  };
  for (const auto& c : cases) {
    CameraFormat format;
    EXPECT_EQ(ParseCameraFormat(c.text, format), c.width != 0) << c.text;
    EXPECT_EQ(format.Width, c.width) << c.text;
  }
}

}  // namespace
}  // namespace velmo
