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
  // fit as drawn; in a narrow one, where the table scrolls in its own box,
  // they are scaled down to the window.
  const std::pair<const char*, const char*> windows[] = {{"1000,1400", "in-window in-table "},
                                                         {"480,800", "in-window in-table scaled "}};
  for (const auto& [size, fit] : windows) {
    std::string dom = Chromium(std::string("--window-size=") + size + " --dump-dom");
    EXPECT_EQ(Count(dom, "class=\"FOCAL\""), 3u);
    std::string chart = std::string(fit) + "curves 1,1,1,1,1,1";
    EXPECT_EQ(Count(dom, "data-charts=\"" + chart + ";" + chart + ";" + chart + "\""), 1u)
        << size << ": " << dom.substr(dom.find("data-charts"), 300);
  }
}

TEST_F(InBrowser, LongStacksFitPhonesDesktopsAndPaper) {
  // 56 mm from 0.7 m at f/2.8: 56 frames under seven aperture columns.
  Settings("long.ini",
           "[VELMO]\nDistance=0.5 0.7 1 2 5 10 N\nAperture=2.8 4 5.6 8 11 16 22\nFocal=56\nCoC=0.015\n"
           "Stack=1\nChart=1\nDiffraction=1\n");
  ASSERT_EQ(Run({work_ + "/long.ini"}).status, 0);
  std::string page = ReadFile(work_ + "/long.html");
  page.insert(page.find("</BODY>"), R"js(<SCRIPT>
var table = document.querySelector("table.DOF"), width = document.documentElement.clientWidth;
function rgb(colour) { return colour.match(/[0-9.]+/g).slice(0, 3).map(Number); }
function luminance(c) {
  var l = c.map(function (v) { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); });
  return 0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2];
}
function background(element) {
  for (; element; element = element.parentElement) {
    var colour = getComputedStyle(element).backgroundColor;
    if (colour != "rgba(0, 0, 0, 0)" && colour != "transparent") return rgb(colour);
  }
  return [255, 255, 255];
}
var least = 100;
table.querySelectorAll("th.DIFF, td.DIFF").forEach(function (cell) {
  var a = luminance(rgb(getComputedStyle(cell).color)), b = luminance(background(cell));
  least = Math.min(least, (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05));
});
document.body.setAttribute("data-fit", (document.documentElement.scrollWidth <= width ? "page " : "") +
    (table.scrollWidth <= width ? "table " : "") + "contrast " + Math.floor(least * 10) / 10);
</SCRIPT>
)js");
  // The print rules as a screen of the paper's width (A4 and Letter less
  // the page's 12 mm margins, at 96 pixels an inch) lay the page out as
  // printed.
  std::string css = ReadFile(work_ + "/velmo.css");
  WriteFile(work_ + "/long-screen.html", page);
  WriteFile(work_ + "/long-print.html", std::regex_replace(page, std::regex("velmo\\.css"), "printed.css"));
  WriteFile(work_ + "/printed.css", std::regex_replace(css, std::regex("@media print"), "@media screen"));
  struct Case {
    const char* page;
    const char* size;
    const char* fit;  // the page, the whole table, within the width
  };
  const Case cases[] = {
      {"long-screen.html", "1280,900", "page table "},
      {"long-screen.html", "390,900", "page "},
      {"long-print.html", "703,900", "page table "},  // A4
      {"long-print.html", "725,900", "page table "},  // Letter
  };
  for (const Case& c : cases) {
    page_ = work_ + "/" + c.page;
    const std::string dom = Chromium(std::string("--window-size=") + c.size + " --dump-dom");
    const std::size_t at = dom.find("data-fit=\"");
    ASSERT_NE(at, std::string::npos) << c.size;
    const std::string fit = dom.substr(at + 10, dom.find('"', at + 10) - at - 10);
    EXPECT_EQ(fit.substr(0, fit.find("contrast")), c.fit) << c.page << " at " << c.size;
    // WCAG AA for text: muted cells still readable on their backgrounds.
    EXPECT_GE(std::stod(fit.substr(fit.find("contrast") + 9)), 4.5) << fit;
  }
}

TEST_F(InBrowser, AHostPageThatIncludesTheTableKeepsItsOwnLook) {
  Settings("fragment.ini", ReadFile(kExamples + "/fragment.ini"));
  ASSERT_EQ(Run({work_ + "/fragment.ini"}).status, 0);
  page_ = work_ + "/host.html";
  WriteFile(page_,
            "<!DOCTYPE html><html><head><style>body { font-family: serif; }</style>\n"
            "<link rel=\"stylesheet\" href=\"velmo.css\"></head><body><h1>Lenses</h1>\n" +
                ReadFile(work_ + "/fragment.i") + R"js(<script>
document.body.setAttribute("data-host", getComputedStyle(document.body).fontFamily + "; " +
    getComputedStyle(document.querySelector("table.DOF td")).whiteSpace);
</script></body></html>
)js");
  // The page keeps its font; the table still gets velmo.css's look.
  EXPECT_EQ(Count(Chromium("--dump-dom"), "data-host=\"serif; nowrap\""), 1u);
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
