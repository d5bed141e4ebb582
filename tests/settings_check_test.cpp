#include "run/settings_check.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

/// The findings as "Key: text" lines.
std::vector<std::string> Findings(const std::string& settings) {
  std::vector<std::string> lines;
  for (const SettingsFinding& finding : CheckSettings(settings))
    lines.push_back(finding.Key + ": " + finding.Text);
  return lines;
}

const std::string kLists = "Distance=1 2 N\nAperture=4 8\nFocal=50\n";

TEST(CheckSettings, AUsableFileHasNoFindings) {
  EXPECT_EQ(Findings("[VELMO]\nCoC=0.02\nUnits=ft\nFormat=APS-C\nChart=1\nHTML=$10\nDistance=2 "
                     "N\nAperture=4\nFocal=50\n"),
            std::vector<std::string>{});
  EXPECT_EQ(Findings("[VELMO]\nUnits=Metres\n" + kLists), std::vector<std::string>{});
}

TEST(CheckSettings, NamesWhatTheRunWouldIgnoreOrRefuse) {
  const struct {
    const char* keys;
    const char* finding;
  } cases[] = {
      {"CoC=0,02\n",
       "CoC: \"0,02\" is not a number (the decimal point is \".\"): the default, 0.015, is used."},
      {"CoC=1e400\n", "CoC: \"1e400\" is too large: the run ends with a failure report."},
      {"Units=foot\n", "Units: \"foot\" is neither \"ft\" nor \"feet\": distances are in metres."},
      {"Format=APS\n",
       "Format: \"APS\" is neither a format's name nor a width x height in mm: the circle of confusion stays "
       "as it would be without it."},
      {"Chart=yes\n", "Chart: \"yes\" is not a whole number (1 is on, 0 off): the default is kept."},
      {"CoCDivisor=-3\n", "CoCDivisor: \"-3\" is not above 0: the default, 1500, is used."},
      {"Focal=23mm\n",
       "Focal: \"23mm\" is not a number: the run ends with a failure report. A list is plain numbers "
       "separated "
       "by blanks, with \".\" as the decimal point."},
      {"Distance=1m inf\n",
       "Distance: \"1m\" is not a number: the run ends with a failure report. A list is plain numbers "
       "separated by blanks, with \".\" as the decimal point, and N for infinity."},
      {"Aperture=\n", "Aperture: Required: without it the run writes no document."},
  };
  for (const auto& c : cases) {
    // The first of a key wins, so the case's line goes before the lists.
    const std::vector<std::string> findings = Findings(std::string("[VELMO]\n") + c.keys + kLists);
    ASSERT_FALSE(findings.empty()) << c.keys;
    EXPECT_EQ(findings.front(), c.finding) << c.keys;
  }
  EXPECT_EQ(Findings("[VELMO]\nDistance=2,8 1\nAperture=f/2.8\nFocal=35\n").size(), 2u);
  EXPECT_EQ(Findings("CoC=0.03\n"), std::vector<std::string>{": There is no [VELMO] section: the run stops "
                                                             "before any table."});
}

TEST(CheckSettings, NamesTheDistancesAFocalLengthsTableLeavesOut) {
  EXPECT_EQ(
      Findings("[VELMO]\nDistance=0.1 1 10 20 30 N\nAperture=8\nFocal=16 23 56\n"),
      (std::vector<std::string>{
          "Distance: At 16 mm the table leaves out 0.1, 20, 30: it shows distances from 10 to 990 focal "
          "lengths, 0.16 to 15.84 m.",
          "Distance: At 23 mm the table leaves out 0.1, 30: it shows distances from 10 to 990 focal "
          "lengths, 0.23 to 22.77 m.",
          "Distance: At 56 mm the table leaves out 0.1: it shows distances from 10 to 990 focal lengths, "
          "0.56 to 55.44 m.",
      }));
  EXPECT_EQ(
      Findings("[VELMO]\nRelative=1\nUnits=ft\nDistance=2 N\nAperture=8\nFocal=50\n"),
      std::vector<std::string>{"Distance: At 50 mm the table leaves out N: it shows distances from 10 to "
                               "990 focal lengths, 1.64 to 162.4 ft, and in relative mode no infinity."});
}

}  // namespace
}  // namespace velmo
