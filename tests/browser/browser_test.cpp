// The page of a shipped example, as a real browser sees it: headless
// Chromium parses it (the DOM it builds is compared with the table's shape)
// and renders it with velmo.css beside it.
#include <cstdio>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

const std::string kChromium = "/usr/bin/chromium";
const std::string kExamples = VELMO_EXAMPLES_DIR;

class InBrowser : public EndToEnd {
 protected:
  void SetUp() override {
    if (::access(kChromium.c_str(), X_OK) != 0) {
      GTEST_SKIP() << "Chromium is not installed at " << kChromium
                   << ", so the page is not checked in a browser (apt-get install chromium)";
    }
    EndToEnd::SetUp();
    WriteFile(work_ + "/velmo.css", ReadFile(kExamples + "/velmo.css"));
    Open("primes-35mm");
  }

  /// Runs a shipped example; its page is the one the browser opens.
  void Open(const std::string& example) {
    std::string ini = Settings(example + ".ini", ReadFile(kExamples + "/" + example + ".ini"));
    ASSERT_EQ(Run({ini}).status, 0);
    page_ = work_ + "/" + example + ".html";
  }

  /// Runs headless Chromium with a fresh profile; returns what it printed.
  std::string Chromium(const std::string& arguments) {
    std::string command =
        kChromium +
        " --headless --no-sandbox --disable-gpu --disable-background-networking --no-first-run"
        " --disable-component-update --disable-sync --user-data-dir=" +
        dir_.File("profile") + " " + arguments + " 'file://" + page_ + "' 2>/dev/null";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return output;
  }

  std::string page_;
};

TEST_F(InBrowser, ParsesOneTableOfTheExpectedShape) {
  std::string dom = Chromium("--dump-dom");
  ASSERT_EQ(Count(dom, "<table class=\"DOF\">"), 1u) << dom;
  std::size_t start = dom.find("<table class=\"DOF\">");
  std::string table = dom.substr(start, dom.find("</table>", start) - start);
  // Four focal lengths (24, 35, 50, 85 mm) in blocks of a focal-length row,
  // a header row, the distances in range (12, 13, 13 and 11 of them) and a
  // hyperfocal row; a spacer row before each block but the first.
  EXPECT_EQ(Count(table, "<tr>"), 4u * 3 + 3 + (12 + 13 + 13 + 11));
  EXPECT_EQ(Count(table, "class=\"APERT\""), 4u * 8);
  EXPECT_EQ(Count(table, "class=\"HYPER\""), 4u * (1 + 8));
  EXPECT_EQ(Count(table, "class=\"SPACER\""), 3u);
  EXPECT_EQ(Count(dom, "@import url(velmo.css)"), 1u);
}

TEST_F(InBrowser, RendersTheStyledPage) {
  std::string shot = dir_.File("page.png");
  Chromium("--hide-scrollbars --window-size=1000,1400 --screenshot=" + shot);
  std::string png = ReadFile(shot);
  ASSERT_GT(png.size(), 10000u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(InBrowser, DrawsOneChartPerBlockWithinThePage) {
  Open("feet-chart");
  // A copy of the page measures itself: the browser's layout is what tells
  // whether a chart fits the page, and the page itself has no script.
  std::string page = ReadFile(page_);
  page.insert(page.find("</BODY>"), R"(<SCRIPT>
var found = [], width = document.documentElement.clientWidth;
document.querySelectorAll("svg").forEach(function (svg) {
  var box = svg.getBoundingClientRect(), table = svg.closest("table").getBoundingClientRect(), curves = [];
  svg.querySelectorAll("g.APERTURE").forEach(function (g) { curves.push(g.querySelectorAll("path").length); });
  found.push((box.left >= 0 && box.right <= width ? "in-window " : "") +
             (box.left >= table.left && box.right <= table.right ? "in-table " : "") +
             (box.width < 639 ? "scaled " : "") + "curves " + curves.join(","));
});
document.body.setAttribute("data-charts", found.join(";"));
</SCRIPT>
)");
  page_ = work_ + "/measured.html";
  WriteFile(page_, page);
  // Three focal lengths of six apertures each. In a wide window the charts
  // fit as drawn; in a narrow one, which the table itself overflows, they
  // are scaled down to the table and widen the page no further.
  const std::pair<const char*, const char*> windows[] = {{"1000,1400", "in-window in-table "},
                                                         {"480,800", "in-table scaled "}};
  for (const auto& [size, fit] : windows) {
    std::string dom = Chromium(std::string("--window-size=") + size + " --dump-dom");
    EXPECT_EQ(Count(dom, "class=\"FOCAL\""), 3u);
    std::string chart = std::string(fit) + "curves 1,1,1,1,1,1";
    EXPECT_EQ(Count(dom, "data-charts=\"" + chart + ";" + chart + ";" + chart + "\""), 1u)
        << size << ": " << dom.substr(dom.find("data-charts"), 300);
  }
}

TEST_F(InBrowser, MutesTheAperturesDiffractionLimitsAndStylesTheStacks) {
  Open("aps-c-landscape");
  std::string page = ReadFile(page_);
  page.insert(page.find("</BODY>"), R"js(<SCRIPT>
var cells = document.querySelectorAll("table.DOF .DIFF"), plain = document.querySelector("table.DOF td:not(.DIFF)");
var muted = 0;
cells.forEach(function (cell) {
  if (getComputedStyle(cell).color != getComputedStyle(plain).color) ++muted;
});
document.body.setAttribute("data-diff", cells.length + " muted " + muted);
var frames = document.querySelectorAll("table.DOF td.FRAMES"), styled = 0;
frames.forEach(function (cell) {
  if (getComputedStyle(cell).fontWeight >= 600) ++styled;
});
document.body.setAttribute("data-stacks", frames.length + " styled " + styled);
</SCRIPT>
)js");
  page_ = work_ + "/measured.html";
  WriteFile(page_, page);
  // f/16 and f/22 of three focal lengths: a header, a cell in each of the
  // 20 rows in range, the hyperfocal cell, the frame count and a cell in
  // each of the 2, 3 and 6 rows of frames.
  const std::string dom = Chromium("--dump-dom");
  EXPECT_EQ(Count(dom, "data-diff=\"80 muted 80\""), 1u) << dom.substr(dom.find("data-diff"), 100);
  // The frame counts of the five apertures of the three blocks, styled by
  // velmo.css.
  EXPECT_EQ(Count(dom, "data-stacks=\"15 styled 15\""), 1u) << dom.substr(dom.find("data-stacks"), 100);
}

}  // namespace
}  // namespace velmo
