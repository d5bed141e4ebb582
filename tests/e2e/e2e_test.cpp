// The built program, run as a user runs it: in a fresh directory, with a
// fake viewer first on PATH that records what it was asked to open. Console
// bytes, exit status and documents are compared whole, CR LF included, and
// every settings file must be left exactly as it was.
#include "e2e/e2e_support.h"
#include "xml_check.h"

namespace velmo {
namespace {

using namespace test;

/// A shipped example, with lines added to its section.
std::string Example(const std::string& name, const std::string& added) {
  return ReadFile(std::string(VELMO_EXAMPLES_DIR) + "/" + name) + added;
}

/// The example with the camera's format and diffraction marks, with a line
/// added to its section.
std::string ApsCLandscape(const std::string& added) {
  return Example("aps-c-landscape.ini", added);
}

TEST_F(EndToEnd, EveryFormAndModeGivesItsDocument) {
  const struct {
    const char* what;
    std::string settings;  // the file's name and content
    std::string content;
    const char* document;  // written beside it
    const char* expected;  // in tests/e2e/expected/
  } cases[] = {
      {"text", "lenses.ini", "[VELMO]\r\nHTML=0\r\nCoC=0.03\r\n" + kNormalLensLists, "lenses.txt",
       "normal-lens.txt"},
      {"relative text", "lenses.ini", "[VELMO]\nHTML=0\nRelative=1\nCoC=0.03\n" + kNormalLensLists,
       "lenses.txt", "normal-lens-relative.txt"},
      {"TableOnly without HTML still writes text", "lenses.ini",
       "[VELMO]\nHTML=0\nTableOnly=1\nCoC=0.03\n" + kNormalLensLists, "lenses.txt", "normal-lens.txt"},
      {"fragment", "lenses.ini", "[VELMO]\nTableOnly=1\nCoC=0.03\n" + kNormalLensLists, "lenses.i",
       "normal-lens.i"},
      {"relative fragment, keys in small letters", "lenses.ini",
       "[velmo]\ntableonly = 1\nrelative = 1\ncoc = 0.03\n" + kNormalLensLists, "lenses.i",
       "normal-lens-relative.i"},
      {"fragment with the equivalent focal length", "lenses.ini",
       "[VELMO]\nTableOnly=1\nMultiplier=1.5\nCoC=0.03\n" + kNormalLensLists, "lenses.i",
       "normal-lens-efl.i"},
      {"fragment with two focal lengths", "lenses.ini",
       "[VELMO]\nTableOnly=1\nCoC=0.03\nDistance=0.3 2 30 60 N\nAperture=4 8\nFocal=50 85\n", "lenses.i",
       "two-focals.i"},
      {"whole page", "lenses.ini", "[VELMO]\nComment=Lenses for the new body\n" + kNormalLensLists,
       "lenses.html", "lenses.html"},
      {"whole page in feet with charts", "feet-chart.ini",
       ReadFile(std::string(VELMO_EXAMPLES_DIR) + "/feet-chart.ini"), "feet-chart.html", "feet-chart.html"},
      {"the camera's format and diffraction on the page", "aps-c-landscape.ini", ApsCLandscape(""),
       "aps-c-landscape.html", "aps-c-landscape.html"},
      {"the camera's format and diffraction as text", "aps-c-landscape.ini", ApsCLandscape("HTML=0\n"),
       "aps-c-landscape.txt", "aps-c-landscape.txt"},
      {"the camera's format and diffraction as a fragment", "aps-c-landscape.ini",
       ApsCLandscape("TableOnly=1\n"), "aps-c-landscape.i", "aps-c-landscape.i"},
      {"zone tables on the page", "zones.ini", Example("zones.ini", ""), "zones.html", "zones.html"},
      {"zone tables as text, in feet", "zones.ini", Example("zones.ini", "HTML=0\nUnits=ft\n"), "zones.txt",
       "zones-feet.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectDocument(Settings(c.settings, c.content), c.document, c.expected);
  }
}

TEST_F(EndToEnd, NameTypedAtThePromptCountsFromTheCurrentDirectory) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nHTML=0\nCoC=0.03\n" + kNormalLensLists);
  Outcome outcome = Run({}, "lenses.ini\r\n\r\n");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console,
            kBanner + "Enter the inifile name to use: " +
                CrLf({"Using " + ini, "", "Working...", "", "Created " + work_ + "/lenses.txt"}) + kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt"));
  if (!UnderWine()) {
    EXPECT_EQ(Viewed(true), work_ + "/lenses.txt\n");
  }
}

TEST_F(EndToEnd, ANameInDoubleQuotesAtThePrompt) {
  // What Windows' "Copy as path" gives: on Windows the name inside the
  // quotes; elsewhere quotes may be part of a name.
  Settings("lenses.ini", kNormalLensText);
  Outcome outcome = Run({}, "\"lenses.ini\"\r\n\r\n");
  EXPECT_EQ(outcome.status, 0);
  const std::string found =
      CrLf({"Using " + work_ + "/lenses.ini", "", "Working...", "", "Created " + work_ + "/lenses.txt"});
  const std::string notFound = CrLf({"*** ERROR: \"lenses.ini\" not found", "Current path: " + work_});
  EXPECT_EQ(outcome.console,
            kBanner + "Enter the inifile name to use: " + (UnderWine() ? found : notFound) + kDone);
}

TEST_F(EndToEnd, ASettingsFileInUtf16GivesTheSameDocument) {
  // As Windows Notepad saves "Unicode": a byte-order mark, then two bytes
  // a character.
  for (bool bigEndian : {false, true}) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : kNormalLensText) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    const std::string name = bigEndian ? "big-endian" : "little-endian";
    ExpectDocument(Settings(name + ".ini", bytes), name + ".txt", "normal-lens.txt");
  }
}

TEST_F(EndToEnd, ADocumentThatWouldReplaceItsSettingsThroughALinkIsRefused) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX symbolic link names the settings file";
  std::string viaLink = Settings("other.html", "[VELMO]\n" + kNormalLensLists);
  std::filesystem::create_symlink(viaLink, work_ + "/other.ini");
  // "other.ini" is a link to "other.html", the page that it would write.
  Outcome outcome = Run({"other.ini"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(work_ + "/other.ini") + "*** ERROR: " + viaLink +
                                 " would replace the settings file\r\n" + kDone);
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, ADocumentHeldByAnotherProgramIsReported) {
  if (UnderWine())
    GTEST_SKIP() << "a POSIX lock is no Windows sharing; the Windows host tests hold the document open";
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kNormalLensLists);
  std::string page = work_ + "/lenses.html";
  WriteFile(page, "held");
  int fd = ::open(page.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  Outcome outcome = Run({ini});
  ::close(fd);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "I/O error 32.", ""}));
  EXPECT_EQ(ReadFile(page), "held");
}

TEST_F(EndToEnd, ADocumentHeldOpenByAnotherWindowsProgramIsASharingViolation) {
#ifdef VELMO_WINDOWS_HOLDER
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kNormalLensLists);
  WriteFile(work_ + "/lenses.html", "held");
  // The holder keeps the page open until its input ends.
  int toHolder[2], fromHolder[2];
  ASSERT_EQ(::pipe(toHolder), 0);
  ASSERT_EQ(::pipe(fromHolder), 0);
  pid_t holder = ::fork();
  if (holder == 0) {
    ::dup2(toHolder[0], 0);
    ::dup2(fromHolder[1], 1);
    ::close(toHolder[1]);
    ::close(fromHolder[0]);
    if (::chdir(work_.c_str()) != 0) ::_exit(126);
    std::vector<std::string> words = Launcher();
    words.insert(words.end(), {VELMO_WINDOWS_HOLDER, "lenses.html"});
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(toHolder[0]);
  ::close(fromHolder[1]);
  char said[5] = {};
  ASSERT_EQ(::read(fromHolder[0], said, 4), 4);
  ASSERT_STREQ(said, "held");
  Outcome outcome = Run({ini});
  ::close(toHolder[1]);
  ::close(fromHolder[0]);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "I/O error 32.", ""}));
  EXPECT_EQ(ReadFile(work_ + "/lenses.html"), "held");
#else
  GTEST_SKIP() << "the holder is a Windows program";
#endif
}

TEST_F(EndToEnd, AReadOnlyDocumentCannotBeReplaced) {
  if (UnderWine()) GTEST_SKIP() << "the program runs as another POSIX user";
  // Root is not stopped by permissions, so as root the program runs as an
  // unprivileged user.
  if (!CanRunAsNobody()) GTEST_SKIP() << "an unprivileged user cannot run " << VELMO_PROGRAM;
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kNormalLensLists);
  WriteFile(work_ + "/lenses.html", "kept");
  ::chmod((work_ + "/lenses.html").c_str(), 0444);
  RunOptions options;
  options.asNobody = true;
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.",
                                                "File access denied.", ""}));
  EXPECT_EQ(ReadFile(work_ + "/lenses.html"), "kept");
}

TEST_F(EndToEnd, AFullDiskEndsTheRunWithItsReport) {
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kNormalLensLists);
  std::filesystem::create_symlink("/dev/full", work_ + "/lenses.html");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "Disk full.", ""}));
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, ADocumentIsNamedAfterTheFileWindowsOpens) {
  if (!UnderWine()) GTEST_SKIP() << "Windows drops the dots and blanks that end a name";
  std::string ini = Settings("lenses.ini", kNormalLensText);
  Outcome outcome = Run({ini + ". ."});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt"));
  EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.ini", "lenses.txt"}));
}

TEST_F(EndToEnd, EveryChartOfAPageIsWellFormedXml) {
  // Infinite and missing values everywhere: no blur, no aperture, "?" items.
  std::string ini = Settings(
      "lenses.ini", "[VELMO]\nHTML=1\nChart=1\nCoC=0\nDistance=0.3 2 ? N\nAperture=0 4 ?\nFocal=50 ? -5\n");
  Outcome outcome = Run({ini});
  ASSERT_EQ(outcome.status, 0) << outcome.console;
  const std::string page = ReadFile(work_ + "/lenses.html");
  const auto charts = ChartsIn(page);
  for (std::string_view svg : charts) {
    EXPECT_EQ(XmlProblem(svg), "") << svg;
    EXPECT_EQ(svg.find(" d=\"\""), std::string_view::npos) << svg;
  }
  EXPECT_EQ(charts.size(), 3u);
}

}  // namespace
}  // namespace velmo
