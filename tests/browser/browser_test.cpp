// The page of a shipped example, as a real browser sees it: headless
// Chromium parses it (the DOM it builds is compared with the table's shape)
// and renders it with velmo.css beside it.
#include <cstdio>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

const std::string kChromium = "/usr/bin/chromium";

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class InBrowser : public EndToEnd {
 protected:
  void SetUp() override {
    if (::access(kChromium.c_str(), X_OK) != 0) {
      GTEST_SKIP() << "Chromium is not installed at " << kChromium
                   << ", so the page is not checked in a browser (apt-get install chromium)";
    }
    EndToEnd::SetUp();
    const std::string examples = VELMO_EXAMPLES_DIR;
    WriteFile(work_ + "/velmo.css", ReadFile(examples + "/velmo.css"));
    std::string ini = Settings("primes-35mm.ini", ReadFile(examples + "/primes-35mm.ini"));
    ASSERT_EQ(Run({ini}).status, 0);
    page_ = work_ + "/primes-35mm.html";
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

}  // namespace
}  // namespace velmo
