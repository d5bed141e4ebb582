#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <array>

#include "extended_support.h"
#include "platform/exceptions.h"
#include "test_support.h"

namespace velmo {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  TC_Ini_File& Ini(const std::string& content) {
    ini_ = std::make_unique<TC_Ini_File>(content);
    return *ini_;
  }

  std::unique_ptr<TC_Ini_File> ini_;
};

TEST_F(IniFileTest, AUtf16FileIsReadAsTheTextItSpells) {
  // "Zürich 写 😀", then a lone surrogate, which has no character.
  const std::u16string comment = u"Z\u00FCrich \u5199 \U0001F600 ";
  const std::string utf8 = "Z\xC3\xBCrich \xE5\x86\x99 \xF0\x9F\x98\x80 \xEF\xBF\xBD";
  for (bool bigEndian : {false, true}) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : u"[VELMO]\r\nComment=" + comment + char16_t{0xD800} + u"\r\n") {
      const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
      bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    EXPECT_EQ(Ini(bytes).FetchText("VELMO", "Comment", ""), utf8) << bigEndian;
  }
}

TEST_F(IniFileTest, FlagsTakeAnyNonZeroIntegerAndIgnoreOtherTexts) {
  struct Case {
    const char* value;
    bool fromTrue;   // result with the default true
    bool fromFalse;  // result with the default false
  };
  const Case cases[] = {
      {"0", false, false},  {"00", false, false}, {"0x0", false, false},   {"$0", false, false},
      {"-0", false, false}, {"1", true, true},    {"2", true, true},       {"-1", true, true},
      {"0x10", true, true}, {"yes", true, false}, {"true", true, false},   {"1.0", true, false},
      {"", true, false},    {"0x", true, false},  {"\"0\"", false, false},
  };
  for (const Case& c : cases) {
    TC_Ini_File& ini = Ini(std::string("[VELMO]\nHTML=") + c.value + "\n");
    EXPECT_EQ(ini.FetchFlag("VELMO", "HTML", true), c.fromTrue) << c.value;
    EXPECT_EQ(ini.FetchFlag("VELMO", "HTML", false), c.fromFalse) << c.value;
  }
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndBlanksAreTrimmed) {
  TC_Ini_File& ini = Ini("[ velmo ]\r\n  html   =   0  \r\n");
  EXPECT_FALSE(ini.FetchFlag("VELMO", "HTML", true));
  EXPECT_TRUE(ini.HasSection("Velmo"));
  EXPECT_TRUE(ini.HasKey("VELMO", "Html"));
  EXPECT_FALSE(ini.HasKey("VELMO", "HTM"));
  EXPECT_EQ(ini.FetchText("VELMO", "HTML", "d"), "0");
}

TEST_F(IniFileTest, FloatsKeepTheirDefaultUnlessTheTextIsANumber) {
  struct Case {
    const char* value;
    double expected;
  };
  const Case cases[] = {
      {"0.03", 0.03}, {".03", 0.03},     {"3E-2", 0.03},   {"0,03", 0.015},      {"", 0.015},
      {"abc", 0.015}, {"1E5000", 0.015}, {"'0.02'", 0.02}, {"\"0.025\"", 0.025},
  };
  for (const Case& c : cases) {
    TC_Ini_File& ini = Ini(std::string("[VELMO]\nCoC=") + c.value + "\n");
    EXPECT_EQ(ini.FetchFloat("VELMO", "CoC", 0.015), c.expected) << c.value;
  }
}

TEST_F(IniFileTest, AFloatBeyondTheDoubleRangeOverflows) {
  TC_Ini_File& ini = Ini("[VELMO]\nCoC=1E400\n");
  EXPECT_THROW(ini.FetchFloat("VELMO", "CoC", 0.015), EOverflow);
}

TEST_F(IniFileTest, ASectionWithoutKeysCountsAsAbsent) {
  EXPECT_FALSE(Ini("[VELMO]\n[OTHER]\nHTML=1\n").HasSection("VELMO"));
  EXPECT_FALSE(Ini("[VELMO]\n").HasSection("VELMO"));
  EXPECT_FALSE(Ini("HTML=1\n[VELMO]\n; HTML=1\n# Focal=50\nnot a key\n").HasSection("VELMO"));
  EXPECT_TRUE(Ini("[OTHER]\nx=1\n[VELMO]\nx=1\n").HasSection("VELMO"));
}

TEST_F(IniFileTest, AnEmptyFileAnswersWithDefaults) {
  TC_Ini_File ini("");
  EXPECT_FALSE(ini.HasSection("VELMO"));
  EXPECT_FALSE(ini.HasKey("VELMO", "HTML"));
  EXPECT_TRUE(ini.FetchFlag("VELMO", "HTML", true));
  EXPECT_EQ(ini.FetchFloat("VELMO", "CoC", 0.015), 0.015);
  EXPECT_EQ(ini.FetchText("VELMO", "Comment", "none"), "none");
  const std::string sections[] = {"VELMO"};
  std::array<std::string, 64> items;
  EXPECT_EQ(ini.LookupList(sections, "Distance", items, 64), 0);
}

TEST_F(IniFileTest, OnlyTheFirstOccurrenceOfASectionAndOfAKeyCounts) {
  for (const char* between : {"", "[OTHER]\nFocal=85\n"}) {
    TC_Ini_File& ini = Ini(std::string("[VELMO]\nCoC=0.02\nCoC=0.03\n") + between + "[VELMO]\nFocal=50\n");
    EXPECT_EQ(ini.FetchFloat("VELMO", "CoC", 0), 0.02) << between;
    EXPECT_FALSE(ini.HasKey("VELMO", "Focal")) << between;
  }
  TC_Ini_File& ini = Ini("[VELMO]\nCoC=0.02\nCoC=0.03\n[VELMO]\nFocal=50\n");
  std::vector<std::string> names;
  ini.KeyNames("VELMO", names);
  EXPECT_EQ(names, (std::vector<std::string>{"CoC", "CoC"}));
}

TEST_F(IniFileTest, ValuesAreTheRestOfTheLineAfterTheFirstEquals) {
  using namespace std::string_literals;
  TC_Ini_File& ini =
      Ini("\xEF\xBB\xBF[VELMO]\rComment= a=b \"c\" \r\nQuoted=\"  50 85  \"\nMixed='x\"\nNul=1 2\0 3\n"s);
  EXPECT_EQ(ini.FetchText("VELMO", "Comment", ""), "a=b \"c\"");
  EXPECT_EQ(ini.FetchText("VELMO", "Quoted", ""), "  50 85  ");
  EXPECT_EQ(ini.FetchText("VELMO", "Mixed", ""), "'x\"");
  EXPECT_EQ(ini.FetchText("VELMO", "Nul", ""), "1 2");
}

TEST_F(IniFileTest, ValuesAreCutTo2047Characters) {
  std::string comment(3000, 'c');
  comment[2046] = 'L';
  TC_Ini_File& ini = Ini("[VELMO]\nComment=" + comment + "\n");
  EXPECT_EQ(ini.FetchText("VELMO", "Comment", ""), comment.substr(0, 2047));
}

TEST_F(IniFileTest, KeyNamesBeyondTheNameAreaAreNotSeen) {
  // 2000 names of 9 characters and a NUL fill 20000 bytes; 16384 hold 1638
  // of them, a cut name, and the closing NULs.
  std::string content = "[VELMO]\n";
  for (int i = 0; i < 2000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Key%06d", i);
    content += std::string(name) + "=1\n";
  }
  TC_Ini_File& ini = Ini(content + "Focal=50\n");
  std::vector<std::string> names;
  ini.KeyNames("VELMO", names);
  ASSERT_EQ(names.size(), 1639u);
  EXPECT_EQ(names[1637], "Key001637");
  EXPECT_EQ(names[1638], "Ke");
  EXPECT_FALSE(ini.HasKey("VELMO", "Focal"));
  EXPECT_TRUE(ini.HasKey("VELMO", "Key000000"));
}

TEST_F(IniFileTest, LookupsReadFromTheLastSectionThatHasTheKey) {
  TC_Ini_File& ini = Ini("[A]\nMultiplier=1.5\nFocal=50 85\n[B]\nMultiplier=wide\nFocal=\n");
  const std::string both[] = {"A", "B"};
  const std::string onlyA[] = {"A"};
  const std::string none[] = {"C"};
  EXPECT_EQ(ini.LookupFloat(both, "Multiplier", 2), 2);
  EXPECT_EQ(ini.LookupFloat(onlyA, "Multiplier", 2), Extended(1.5));
  EXPECT_EQ(ini.LookupFloat(none, "Multiplier", 2), 2);

  std::array<std::string, 64> items;
  items[0] = "kept";
  EXPECT_EQ(ini.LookupList(both, "Focal", items, 64), 0);
  EXPECT_EQ(ini.LookupList(none, "Focal", items, 64), 0);
  EXPECT_EQ(items[0], "kept");
  EXPECT_EQ(ini.LookupList(onlyA, "Focal", items, 64), 2);
  EXPECT_EQ(items[0], "50");
  EXPECT_EQ(items[1], "85");
}

TEST_F(IniFileTest, IntegersReadTheHexadecimalForms) {
  TC_Ini_File& ini = Ini("[S]\na=0x1F\nb=$ff\nc=x10\nd=0x\ne= -12 \n");
  EXPECT_EQ(ini.FetchInteger("S", "a", 0), 31);
  EXPECT_EQ(ini.FetchInteger("S", "b", 0), 255);
  EXPECT_EQ(ini.FetchInteger("S", "c", 0), 16);
  EXPECT_EQ(ini.FetchInteger("S", "d", 7), 7);
  EXPECT_EQ(ini.FetchInteger("S", "e", 0), -12);
  EXPECT_EQ(ini.FetchInteger("S", "missing", 9), 9);
}

}  // namespace
}  // namespace velmo
