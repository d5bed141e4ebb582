#include "output/dof_table.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "numtext/undefined.h"
#include "test_support.h"

namespace velmo {
namespace {

using test::CrLf;

const auto Settings = test::TableSettings;

void MakeRelative(RunSettings& s) {
  s.Relative = true;
}

std::string Table(const RunSettings& settings) {
  return test::Written([&](TextWriter& out) { WriteDofTable(out, settings); });
}

/// The aperture header line of the text form: a colon, seven blanks, then
/// "F/" in a field of 9 (11 when relative) before each aperture.
std::string ApertureHeader(bool relative, std::initializer_list<const char*> apertures) {
  std::string line = ":       ";
  for (const char* a : apertures) line += std::string(relative ? 9 : 7, ' ') + "F/" + a;
  return line;
}

TEST(DofTable, TextRowsKeepTenToNineHundredNinetyFocalLengths) {
  // For F = 50 the range is 0.5 to 49.5 m; for F = 200 it is 2 to 198 m.
  EXPECT_EQ(Table(Settings(false, {0.49, 0.5, 49.5, 49.6}, {8}, {50})),
            CrLf({
                ": -------------------- F = 50.0 mm --------------------",
                ApertureHeader(false, {"8.0"}),
                " 50.0 .500 .479.523",
                " 50.0 49.5 8.61  INF",
            }));
  EXPECT_EQ(Table(Settings(false, {1.99, 2, 198, 198.1}, {8}, {200})),
            CrLf({
                ": -------------------- F = 200.0 mm --------------------",
                ApertureHeader(false, {"8.0"}),
                "200.0 2.00 1.982.02",
                "200.0 198. 90.5  INF",
            }));
}

TEST(DofTable, OneApertureGivesColspanTwoAndASpacerBeforeTheSecondBlock) {
  RunSettings s = Settings(true, {2}, {8}, {50, 85});
  EXPECT_EQ(Table(s), CrLf({
                          "<TABLE CLASS=DOF>",
                          "<TR>",
                          "<TD CLASS=FOCAL COLSPAN=2>",
                          "F = 50.0 mm",
                          "<TR>",
                          "<TH CLASS=DIST>m",
                          "<TH CLASS=APERT> F/8.0",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "2.00",
                          "<TD>1.68-2.46",
                          "",
                          "<TR><TD CLASS=HYPER>HD",
                          "<TD CLASS=HYPER>10.5",
                          "<TR>",
                          "<TH CLASS=SPACER COLSPAN=2>",
                          "<TR>",
                          "<TD CLASS=FOCAL COLSPAN=2>",
                          "F = 85.0 mm",
                          "<TR>",
                          "<TH CLASS=DIST>m",
                          "<TH CLASS=APERT> F/8.0",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "2.00",
                          "<TD>1.88-2.14",
                          "",
                          "<TR><TD CLASS=HYPER>HD",
                          "<TD CLASS=HYPER>30.2",
                          "</TABLE>",
                      }));
}

TEST(DofTable, ABlockWithoutRowsKeepsItsHeaderAndHyperfocalRow) {
  RunSettings text = Settings(false, {0.1, 500}, {4}, {50});
  EXPECT_EQ(Table(text), CrLf({
                             ": -------------------- F = 50.0 mm --------------------",
                             ApertureHeader(false, {"4.0"}),
                         }));
  RunSettings html = Settings(true, {0.1, 500}, {4}, {50});
  MakeRelative(html);
  html.Distances[1] = Undefined;  // the infinite distance is never written in relative mode
  EXPECT_EQ(Table(html), CrLf({
                             "<TABLE CLASS=DOF>",
                             "<TR>",
                             "<TD CLASS=FOCAL COLSPAN=2>",
                             "F = 50.0 mm",
                             "<TR>",
                             "<TH CLASS=DIST>m",
                             "<TH CLASS=APERT> F/4.0",
                             "",
                             "<TR><TD CLASS=HYPER>HD",
                             "<TD CLASS=HYPER>20.9",
                             "</TABLE>",
                         }));
}

TEST(DofTable, AnUndefinedFocalLengthKeepsOnlyTheInfiniteDistance) {
  RunSettings s = Settings(false, {1, Undefined}, {4}, {Undefined});
  EXPECT_EQ(Table(s), CrLf({
                          ": -------------------- F = Nan mm --------------------",
                          ApertureHeader(false, {"4.0"}),
                          "  Nan   INF   INF  INF",
                      }));
}

TEST(DofTable, ALimitBeyond999MetresPushesTheLine) {
  // At 10.4 m with f = 50 mm, N = 8, c = 0.03 the far limit is 1625 m.
  RunSettings s = Settings(false, {10, 10.4}, {4, 8}, {50});
  EXPECT_EQ(Table(s), CrLf({
                          ": -------------------- F = 50.0 mm --------------------",
                          ApertureHeader(false, {"4.0", "8.0"}),
                          " 50.0 10.0 6.7719.1 5.11223.",
                          " 50.0 10.4 6.9520.7 5.221625.",
                      }));
}

TEST(DofTable, RelativeTextRowsWidenTheHeaderAndSignFiniteCells) {
  RunSettings s = Settings(false, {2, 30, Undefined}, {4, 8}, {50});
  MakeRelative(s);
  EXPECT_EQ(Table(s), CrLf({
                          ": -------------------- F = 50.0 mm --------------------",
                          ApertureHeader(true, {"4.0", "8.0"}),
                          " 50.0 2.00 -.171+.207 -.315+.461",
                          " 50.0 30.0 -17.7  INF -22.3  INF",
                      }));
}

TEST(DofTable, FeetGiveTheClosedFormCellsOverTheSameRangeOfFocalLengths) {
  // In feet: s f^2 / (f^2 -+ N c (s - f)) with s = 304.8 x the distance (mm);
  // f = 50 mm, N = 8, c = 0.03 mm. The rows run from 500 mm (1.6404 ft) to
  // 49.5 m (162.40 ft); 162 ft lies beyond the hyperfocal distance, 34.34 ft.
  RunSettings s = Settings(true, {1.64, 1.65, 10, 30, 162, 163, Undefined}, {8}, {50});
  s.Units = DistanceUnit::Foot;
  EXPECT_EQ(Table(s), CrLf({
                          "<TABLE CLASS=DOF>",
                          "<TR>",
                          "<TD CLASS=FOCAL COLSPAN=2>",
                          "F = 50.0 mm",
                          "<TR>",
                          "<TH CLASS=DIST>ft",
                          "<TH CLASS=APERT> F/8.0",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "1.65",
                          "<TD>1.58-1.73",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "10.0",
                          "<TD>7.77-14.0",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "30.0",
                          "<TD>16.0-236.",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "162.",
                          "<TD>28.2-&infin;",
                          "",
                          "<TR> <TH CLASS=DIST>",
                          "&infin;",
                          "<TD>34.2-&infin;",
                          "",
                          "<TR><TD CLASS=HYPER>HD",
                          "<TD CLASS=HYPER>34.3",
                          "</TABLE>",
                      }));
  s.HTML = false;
  MakeRelative(s);
  EXPECT_EQ(Table(s), CrLf({
                          ": -------------------- F = 50.0 mm --------------------",
                          ":     ft         F/8.0",
                          " 50.0 1.65 -.069+.075",
                          " 50.0 10.0 -2.23+4.04",
                          " 50.0 30.0 -14.0+206.",
                          " 50.0 162. -134.  INF",
                      }));
}

TEST(DofTable, TheEquivalentFocalLengthLineNeedsAPositiveMultiplier) {
  for (double multiplier : {0.0, -1.5, Undefined, 1.5, 1.62}) {
    RunSettings s = Settings(true, {2}, {8}, {50});
    s.Multiplier = multiplier;
    std::string table = Table(s);
    std::string line = multiplier == 1.5    ? "(EFL = 75 mm)\r\n"
                       : multiplier == 1.62 ? "(EFL = 81 mm)\r\n"
                                            : "";
    std::size_t after = table.find("F = 50.0 mm\r\n") + 13;
    EXPECT_EQ(table.substr(after, line.size() + 6), line + "<TR>\r\n") << multiplier;
  }
}

TEST(DofTable, DiffractionMarksTheApertureItLimitsInBothForms) {
  // CoC 0.03 mm in 550 nm light: from f/22.4 on, so f/32 only.
  RunSettings s = Settings(true, {2, Undefined}, {22, 32}, {50});
  s.Diffraction = true;
  const std::vector<std::string> marked = {
      "<TH CLASS=\"APERT DIFF\"> F/32.0",
      "<TD CLASS=DIFF>1.14-7.96",
      "<TD CLASS=DIFF>2.60-&infin;",
      "<TD CLASS=\"HYPER DIFF\">2.65",
  };
  EXPECT_EQ(test::LinesWith(Table(s), "DIFF"), marked);
  // The chart mutes the same aperture's curves and legend.
  s.Chart = true;
  std::vector<std::string> charted = marked;
  charted.push_back(
      "<g class=\"APERTURE A2 DIFF\"><path d=\"M580 311.7h0M580 75.7h0M604 211.6h12M202 376h24\"/></g>");
  charted.push_back("<text class=\"DIFF\" x=\"232\" y=\"380\">F/32.0, HD 2.65</text>");
  EXPECT_EQ(test::LinesWith(Table(s), "DIFF"), charted);
  // In text the star takes a blank's place: the header keeps the width of
  // the rows.
  s.Chart = false;
  s.HTML = false;
  EXPECT_EQ(test::LinesWith(Table(s), "*"),
            (std::vector<std::string>{
                ": * From f/22.4 on, diffraction blurs more than the circle of confusion (550 nm light).",
                ":              F/22.0      F/32.0*",
            }));
  s.Diffraction = false;
  EXPECT_EQ(test::LinesWith(Table(s), "*"), std::vector<std::string>{});
}

TEST(DofTable, TheDiffractionNoteOnlyWhereAnApertureIsMarked) {
  struct Case {
    double coc;
    std::vector<double> apertures;
    std::vector<std::string> marked;
  };
  const Case cases[] = {
      {0.03, {4, 8}, {}},
      // From f/1E300 / (2.44 x 550 nm) = f/7.45E+302, without a blank.
      {1e300,
       {1e303},
       {": * From f/7.5E+0302 on, diffraction blurs more than the circle of confusion (550 nm light).",
        ":             F/ 1.0E+0303*"}},
  };
  for (const Case& c : cases) {
    RunSettings s = Settings(false, {2}, c.apertures, {50});
    s.Diffraction = true;
    s.CoC = c.coc;
    EXPECT_EQ(test::LinesWith(Table(s), "*"), c.marked);
  }
}

TEST(DofTable, AFocusStackFollowsEachBlockInBothForms) {
  // 50 mm at f/8 from 2 m: three frames, focused at 2.46 and 4.61 m and at
  // the hyperfocal distance, 10.5 m, as the focus stack's own test works
  // them out.
  RunSettings s = Settings(true, {2, 5, Undefined}, {8}, {50, 85});
  s.Stack = true;
  const std::string html = Table(s);
  const std::string first = html.substr(html.find("<TR><TH CLASS=STACKS"));
  EXPECT_EQ(
      first.substr(0, first.find("<TH CLASS=SPACER")),
      CrLf({"<TR><TH CLASS=STACKS COLSPAN=2>Focus stack: focus, and near-far limits (m)",
            "<TR><TH CLASS=FRAME>Frames", "<TD CLASS=FRAMES>3", "<TR><TH CLASS=FRAME>1",
            "<TD CLASS=STACK>2.46<BR>2.00-3.21", "<TR><TH CLASS=FRAME>2", "<TD CLASS=STACK>4.61<BR>3.21-8.20",
            "<TR><TH CLASS=FRAME>3", "<TD CLASS=STACK>10.5<BR>5.23-&infin;", "<TR>"}));
  // In text the frames wrap within the table's width.
  s.HTML = false;
  const std::string text = Table(s);
  const std::size_t stack = text.find(": Focus stack");
  EXPECT_EQ(text.substr(stack, text.find(": ----", stack) - stack),
            CrLf({": Focus stack F/8.0, 3 frames, focus (near-far):",
                  ":  1 2.46 (2.00-3.21)  2 4.61 (3.21-8.20)", ":  3 10.5 (5.23-INF)"}));
  // A stack of more than 64 frames says so: with so small a circle, both
  // blocks.
  s.CoC = 0.001;
  EXPECT_EQ(test::Count(Table(s), ", 64+ frames, "), 2u);
}

TEST(DofTable, AZoneTableFollowsEachBlockInBothForms) {
  // 50 mm with 0.03 mm: 1 m to 2 m focused at 1.33 m, N = 2500 x 1000 /
  // (0.03 x (4E6 - 50 x 3000)) = 21.645, printed 21.7; 1 m to infinity at
  // 2 m, N = 2500 / (0.03 x 1950) = 42.74, beyond f/22.4, where diffraction
  // blurs more than 0.03 mm; 2 m to infinity at 4 m, N = 21.097.
  RunSettings s = Settings(true, {1, 2, Undefined}, {8}, {50});
  s.Zone = true;
  s.Diffraction = true;
  const std::string html = Table(s);
  // One aperture column: a group of rows for each far distance.
  EXPECT_EQ(
      html.substr(html.find("<TR><TH CLASS=ZONES")),
      CrLf({"<TR><TH CLASS=ZONES COLSPAN=2>Zone focusing: focus, and the f-number that keeps sharp from the "
            "row's distance to the column's (m)",
            "<TR><TH CLASS=ZONEFROM>from \\ to", "<TH CLASS=ZONETO>2.00", "<TR><TH CLASS=FRAME>1.00",
            "<TD CLASS=ZONE>1.33<BR>f/21.7", "<TR><TH CLASS=ZONEFROM>from \\ to", "<TH CLASS=ZONETO>&infin;",
            "<TR><TH CLASS=FRAME>1.00", "<TD CLASS=\"ZONE DIFF\">2.00<BR>f/42.8", "<TR><TH CLASS=FRAME>2.00",
            "<TD CLASS=ZONE>4.00<BR>f/21.1", "</TABLE>"}));
  s.HTML = false;
  const std::string text = Table(s);
  EXPECT_EQ(text.substr(text.find(": Zone")),
            CrLf({": Zone focusing, near-far (m): focus, and the f-number that keeps it sharp:",
                  ":  1.00-2.00 1.33 f/21.7  1.00-INF 2.00 f/42.8*", ":  2.00-INF 4.00 f/21.1"}));
}

TEST(DofTable, AStackStartsAtTheTablesFirstRow) {
  // 300 mm shows no row below ten focal lengths, 3 m: its stack starts at
  // 5 m. At f/8, N c = 0.24 mm: focus 5000 x 300 x 299.76 / (90000 - 1200)
  // = 5063.5 mm; h = 0.24 x 4763.5 / 90000 = 0.012703, far 5063.5 /
  // 0.987297 = 5128.6 mm.
  RunSettings s = Settings(false, {0.3, 0.5, 1, 2, 5, 10, Undefined}, {8}, {300});
  s.Stack = true;
  const std::string text = Table(s);
  EXPECT_EQ(test::LinesWith(text, ":  1 ").front().substr(0, 21), ":  1 5.06 (5.00-5.13)");
  // No row to start from, no depth of field: a few words instead.
  s.DistanceCount = 1;
  EXPECT_EQ(test::LinesWith(Table(s), "Focus stack"),
            std::vector<std::string>{": Focus stack F/8.0: no distance of the table to start from"});
  s.DistanceCount = 7;
  s.CoC = 0;
  EXPECT_EQ(test::LinesWith(Table(s), "Focus stack"),
            std::vector<std::string>{": Focus stack F/8.0: no depth of field to advance by"});
}

}  // namespace
}  // namespace velmo
