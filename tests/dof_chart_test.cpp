#include "output/dof_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>

#include "numtext/undefined.h"
#include "output/chart_scale.h"
#include "output/dof_table.h"
#include "test_support.h"
#include "xml_check.h"

namespace velmo {
namespace {

using test::Count;

TEST(ChartScale, MapsByLogarithmAndKeepsEveryValueOnTheAxis) {
  const LogAxis across{1, 100, 0, 200};
  const LogAxis upwards{2, 200, 300, 100};  // larger values higher up
  const struct {
    const LogAxis& axis;
    double value;
    double coordinate;
  } cases[] = {
      {across, 1, 0},         {across, 10, 100},     {across, 100, 200}, {across, std::sqrt(10.0), 50},
      {across, 0.5, 0},       {across, 0, 0},        {across, -3, 0},    {across, 1000, 200},
      {across, Undefined, 0}, {upwards, 2, 300},     {upwards, 20, 200}, {upwards, 200, 100},
      {upwards, 1, 300},      {upwards, 1e300, 100},
  };
  for (const auto& c : cases) EXPECT_NEAR(c.axis.Map(c.value), c.coordinate, 1e-9) << c.value;
}

TEST(ChartScale, OwnLogarithmsAgreeWithTheLibrary) {
  std::mt19937_64 draw(7);
  std::uniform_real_distribution<double> exponent(-300, 300);
  for (int i = 0; i < 100000; ++i) {
    const double x = std::pow(10.0, exponent(draw));
    EXPECT_NEAR(Log10(x), std::log10(x), 1e-15 * std::max(1.0, std::abs(std::log10(x)))) << x;
  }
  EXPECT_NEAR(Log10(1000), 3, 1e-15);
  EXPECT_NEAR(Log10(4.9e-324), std::log10(4.9e-324), 1e-12);
}

TEST(ChartScale, TicksRunOneTwoFiveAndReadAsNumbers) {
  const struct {
    double x;
    Tick below, above;
  } cases[] = {
      {7, {5, 0}, {1, 1}},      {0.3, {2, -1}, {5, -1}}, {10, {1, 1}, {1, 1}},
      {0.01, {1, -2}, {1, -2}}, {20, {2, 1}, {2, 1}},    {1.9999, {1, 0}, {2, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TickAtOrBelow(c.x), c.below) << c.x;
    EXPECT_EQ(TickAtOrAbove(c.x), c.above) << c.x;
  }
  const std::pair<Tick, const char*> texts[] = {
      {{5, -2}, "0.05"}, {{2, 2}, "200"},   {{1, 0}, "1"},
      {{1, 7}, "1E7"},   {{5, -5}, "5E-5"}, {{1, -4}, "0.0001"},
  };
  for (const auto& [tick, text] : texts) EXPECT_EQ(tick.Text(), text);
}

RunSettings Charted(bool html, const std::vector<double>& distances) {
  RunSettings s = test::TableSettings(html, distances, {4, 8}, {50, 85});
  s.Chart = true;
  return s;
}

std::string Table(const RunSettings& settings) {
  return test::Written([&](TextWriter& out) { WriteDofTable(out, settings); });
}

TEST(DofChart, FollowsEachHtmlBlockAndNeverTheTextForm) {
  RunSettings s = Charted(true, {2, 30, Undefined});
  const std::string table = Table(s);
  EXPECT_EQ(Count(table, "<TR><TD CLASS=CHART COLSPAN=3>\r\n<svg "), 2u);
  EXPECT_EQ(Count(table, "</svg>\r\n"), 2u);
  // After the hyperfocal row of the first block, before the second's spacer.
  EXPECT_LT(table.find("<TD CLASS=HYPER>10.5"), table.find("CLASS=CHART"));
  EXPECT_LT(table.find("</svg>"), table.find("CLASS=SPACER"));
  EXPECT_EQ(Count(table, "<g class=\"APERTURE "), 4u);
  // The legend gives each aperture as its column does, and its hyperfocal
  // distance as the last row does.
  EXPECT_EQ(test::LinesWith(table, ", HD "), (std::vector<std::string>{
                                                 "<text x=\"86\" y=\"380\">F/4.0, HD 20.9</text>",
                                                 "<text x=\"232\" y=\"380\">F/8.0, HD 10.5</text>",
                                                 "<text x=\"86\" y=\"380\">F/4.0, HD 60.3</text>",
                                                 "<text x=\"232\" y=\"380\">F/8.0, HD 30.2</text>",
                                             }));
  s.Chart = false;
  EXPECT_EQ(Table(s).find("<svg"), std::string::npos);
  RunSettings text = Charted(false, {2, 30, Undefined});
  text.Chart = false;
  EXPECT_EQ(Table(Charted(false, {2, 30, Undefined})), Table(text));
}

/// The charts of a table, without the tables.
std::string Charts(const std::string& table) {
  std::string charts;
  for (std::string_view chart : test::ChartsIn(table)) charts += chart;
  return charts;
}

TEST(DofChart, DrawsTheRowsInOrderOfDistanceWhateverTheirOrderInTheList) {
  EXPECT_EQ(Charts(Table(Charted(true, {30, Undefined, 2, 10}))),
            Charts(Table(Charted(true, {2, 10, 30, Undefined}))));
}

TEST(DofChart, StrangeSettingsStillDrawWithinTheChart) {
  struct Case {
    double coc, aperture, focal;
    std::vector<double> distances;
  };
  const Case cases[] = {
      {0, 8, 50, {1, 2, 3}},                 // no blur: the limits are the distance
      {0.03, 0, 50, {Undefined}},            // no aperture: infinite near limit
      {0.03, 8, Undefined, {1, Undefined}},  // only the infinite row
      {0.03, 8, -50, {-1, 1}},               // no row at all
      {0.03, 8, 50, {2}},                    // a single row
      {1e300, 8, 1e-300, {1e-303, 1e-302}},  // beyond every useful range
      {0.03, 8, 1e303, {1e301, 1e302, 9e302}},
  };
  const std::regex number("-?[0-9]+(\\.[0-9]+)?");
  for (const Case& c : cases) {
    RunSettings s = Charted(true, c.distances);
    s.CoC = c.coc;
    s.ApertureCount = 1;
    s.Apertures[0] = c.aperture;
    s.FocalCount = 1;
    s.Focals[0] = c.focal;
    const std::string written =
        test::Written([&](TextWriter& out) { WriteDofChart(out, s, ComputeBlock(s, c.focal)); });
    const std::string svg = written.substr(written.find("<svg"));
    EXPECT_EQ(svg.substr(svg.size() - 8), "</svg>\r\n");
    // Cut out of the page, the chart is an SVG file that XML tools read.
    EXPECT_EQ(test::XmlProblem(svg), "") << svg;
    // Every coordinate of every path lies within the 640 units of width.
    for (std::size_t at = svg.find(" d=\""); at != std::string::npos; at = svg.find(" d=\"", at + 1)) {
      const std::string path = svg.substr(at + 4, svg.find('"', at + 4) - at - 4);
      EXPECT_TRUE(std::regex_match(path, std::regex("([MLHVh] ?[-0-9. ]+)+"))) << "d=\"" << path << '"';
      for (std::sregex_iterator n(path.begin(), path.end(), number), end; n != end; ++n) {
        const double value = std::strtod(n->str().c_str(), nullptr);
        EXPECT_TRUE(value >= 0 && value <= 640) << n->str() << " in " << path;
      }
    }
  }
}

}  // namespace
}  // namespace velmo
