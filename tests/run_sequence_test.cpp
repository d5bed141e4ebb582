// The whole run in memory: settings files, console, document and viewer
// all held by the test.
#include "run/run_sequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "platform/memory_platform.h"
#include "run/failure_report.h"
#include "test_support.h"

namespace velmo {
namespace {

using test::CrLf;

const std::string kBanner = CrLf({
    "VELMO: DOF TABULATION BY THE VELMO DEVELOPERS",
    "Version 1.01 of 2007/02/25",
    "Updates at https://velmo.example.org/",
});

/// The disk in memory, with a current directory of its own, failures that
/// the tests control and a record of what the run asked of it.
class TestDisk : public MemoryPlatform {
 public:
  static constexpr const char* kDirectory = "/work";

  TestDisk() : MemoryPlatform(kDirectory) {}

  std::unique_ptr<ByteSink> CreateDocument(const std::string& name) override {
    created.push_back(FullPath(name));
    if (console != nullptr) consoleAtCreate = *console;
    if (createFailure != 0) RaiseInOutError(createFailure);
    return std::make_unique<FaultyDocument>(MemoryPlatform::CreateDocument(name), *this);
  }
  bool ReadWholeFile(const std::string& name, std::string& content) override {
    ++reads;
    if (readFailure != 0) RaiseInOutError(readFailure);
    return MemoryPlatform::ReadWholeFile(name, content);
  }

  std::vector<std::string> created;
  const std::string* console = nullptr;  // seen when the document is created
  std::string consoleAtCreate;
  int reads = 0;
  int readFailure = 0;
  int createFailure = 0;
  int writeFailure = 0;
  int closeFailure = 0;

 private:
  struct FaultyDocument : ByteSink {
    FaultyDocument(std::unique_ptr<ByteSink> document, TestDisk& owner)
        : document(std::move(document)), owner(owner) {}
    void Write(const char* data, std::size_t size) override {
      if (owner.writeFailure != 0) RaiseInOutError(owner.writeFailure);
      document->Write(data, size);
    }
    void Close() override {
      if (owner.closeFailure != 0) RaiseInOutError(owner.closeFailure);
      document->Close();
    }
    std::unique_ptr<ByteSink> document;
    TestDisk& owner;
  };
};

class RunTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> arguments, const std::string& input = "\n") {
    test::MemorySource in(input);
    test::MemorySink out;
    platform_.console = &out.bytes;
    platform_.Written.clear();
    int status = RunVelmo(arguments, in, out, platform_);
    platform_.console = nullptr;
    document_ = platform_.Written.empty() ? "" : platform_.Files.at(platform_.Written.back());
    console_ = std::regex_replace(out.bytes, std::regex(" at [0-9A-F]{8}\\.\r\n"), " at ????????.\r\n");
    return status;
  }

  /// A settings file in the current directory; its full path.
  std::string Settings(const std::string& name, const std::string& content) {
    std::string path = Path(name);
    platform_.Files[path] = content;
    return path;
  }

  static std::string Path(const std::string& name) { return std::string(TestDisk::kDirectory) + "/" + name; }

  TestDisk platform_;
  std::string console_;
  std::string document_;  // written whole by the last run
};

const std::string kLists = "Distance=2 30 N\nAperture=4 8\nFocal=50\n";

std::string Success(const std::string& settings, const std::string& document) {
  return kBanner + CrLf({"Using " + settings, "", "Working...", "", "Created " + document,
                         "Done. Press Enter to exit."});
}

TEST_F(RunTest, WritesTheTextTableAndHandsItToTheViewer) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nHTML=0\nCoC=0.03\n" + kLists);
  EXPECT_EQ(Run({ini}), 0);
  std::string txt = Path("lenses.txt");
  EXPECT_EQ(console_, Success(ini, txt));
  EXPECT_EQ(document_, CrLf({
                           ": -------------------- F = 50.0 mm --------------------",
                           ":              F/4.0       F/8.0",
                           " 50.0 2.00 1.832.21 1.682.46",
                           " 50.0 30.0 12.3  INF 7.74  INF",
                           " 50.0   INF 20.8  INF 10.4  INF",
                       }));
  EXPECT_EQ(platform_.Viewed, std::vector<std::string>{txt});
}

TEST_F(RunTest, TakesTheNameFromThePromptWhenNoArgumentIsGiven) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nTableOnly=1\n" + kLists);
  EXPECT_EQ(Run({"", ""}, ini + "\r\n\r\n"), 0);
  std::string fragment = Path("lenses.i");
  EXPECT_EQ(console_, kBanner + "Enter the inifile name to use: " +
                          CrLf({"Using " + ini, "", "Working...", "", "Created " + fragment,
                                "Done. Press Enter to exit."}));
  EXPECT_EQ(platform_.created, std::vector<std::string>{fragment});
}

TEST_F(RunTest, TheFirstNonEmptyArgumentNamesTheSettingsFile) {
  std::string ini = Settings("a.ini", "[VELMO]\n" + kLists);
  EXPECT_EQ(Run({"", ini, "ignored.ini"}), 0);
  EXPECT_EQ(console_, Success(ini, Path("a.html")));
}

TEST_F(RunTest, AMissingSettingsFileIsReportedWithTheCurrentPath) {
  const std::string cwd = TestDisk::kDirectory;
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
    std::string prompt;
    std::string name;
  };
  const Case cases[] = {
      {{}, "\n", "Enter the inifile name to use: ", ""},
      {{}, "", "Enter the inifile name to use: ", ""},
      {{}, "  lead.ini\n", "Enter the inifile name to use: ", "  lead.ini"},
      {{Path("none.ini")}, "", "", Path("none.ini")},
      {{cwd}, "", "", cwd},  // a directory
  };
  for (const Case& c : cases) {
    platform_.Viewed.clear();
    EXPECT_EQ(Run(c.arguments, c.input), 0);
    EXPECT_EQ(console_, kBanner + c.prompt +
                            CrLf({"*** ERROR: " + c.name + " not found", "Current path: " + cwd,
                                  "Done. Press Enter to exit."}));
    EXPECT_TRUE(platform_.Viewed.empty()) << "nothing was written, so nothing is opened";
  }
}

TEST_F(RunTest, MissingSectionsAndListsEndTheRunWithTheirLine) {
  struct Case {
    std::string content;
    std::string line;
  };
  const Case cases[] = {
      {"[OTHER]\n" + kLists, "ERROR: No section named \"VELMO\" found!"},
      {"[VELMO]\n[OTHER]\n" + kLists, "ERROR: No section named \"VELMO\" found!"},
      {"[VELMO]\nAperture=4\nFocal=50\n", "ERROR: Missing \"Distance\" line in the inifile"},
      {"[VELMO]\nDistance=\nAperture=4\nFocal=50\n", "ERROR: Missing \"Distance\" line in the inifile"},
      {"[VELMO]\nDistance=1\nAperture=   \nFocal=50\n", "ERROR: Missing \"Aperture\" line in the inifile"},
      {"[VELMO]\nDistance=1\nAperture=4\n", "Missing \"Focal\" line in the inifile"},
  };
  for (const Case& c : cases) {
    platform_.Viewed.clear();
    std::string ini = Settings("lenses.ini", c.content);
    EXPECT_EQ(Run({ini}), 0);
    EXPECT_EQ(console_,
              kBanner + CrLf({"Using " + ini, "", "Working...", "", c.line, "Done. Press Enter to exit."}));
    EXPECT_TRUE(platform_.created.empty());
    EXPECT_TRUE(platform_.Viewed.empty());
  }
}

TEST_F(RunTest, AnItemThatIsNoNumberEndsTheRunBeforeAnyDocument) {
  struct Case {
    std::string lists;
    std::string report;
  };
  const Case cases[] = {
      {"Distance=1 n\nAperture=4\nFocal=50\n",
       "Exception EConvertError in module velmo at ????????.\r\n'n' is not a valid floating point "
       "value.\r\n"},
      {"Distance=1 inf\n",
       "Exception EConvertError in module velmo at ????????.\r\n'inf' is not a valid floating point "
       "value.\r\n"},
      {"Distance=1\nAperture=N\nFocal=50\n",
       "Exception EConvertError in module velmo at ????????.\r\n'N' is not a valid floating point "
       "value.\r\n"},
      {"Distance=1\nAperture=2.8,4\nFocal=50\n",
       "Exception EConvertError in module velmo at ????????.\r\n'2.8,4' is not a valid floating point "
       "value.\r\n"},
      {"Distance=1E1000\n", "Exception Error in module velmo at ????????.\r\nValue too large.\r\n"},
      {"Distance=1\nAperture=4\nFocal=1E500\n",
       "Exception EOverflow in module velmo at ????????.\r\nFloating point overflow.\r\n"},
      {"CoC=1E400\n" + kLists,
       "Exception EOverflow in module velmo at ????????.\r\nFloating point overflow.\r\n"},
      {"Multiplier=-1E400\n" + kLists,
       "Exception EOverflow in module velmo at ????????.\r\nFloating point overflow.\r\n"},
  };
  for (const Case& c : cases) {
    std::string ini = Settings("lenses.ini", "[VELMO]\n" + c.lists);
    EXPECT_EQ(Run({ini}), 1) << c.lists;
    EXPECT_EQ(console_, kBanner + CrLf({"Using " + ini, "", "Working...", ""}) + c.report + "\r\n")
        << c.lists;
    EXPECT_TRUE(platform_.created.empty());
    EXPECT_TRUE(platform_.Viewed.empty());
  }
}

TEST_F(RunTest, DistancesBeginningWithCapitalNAreInfinite) {
  std::string ini =
      Settings("lenses.ini", "[VELMO]\nHTML=0\nDistance=Nah N/A NaN None\nAperture=8\nFocal=50\n");
  EXPECT_EQ(Run({ini}), 0);
  EXPECT_EQ(document_, CrLf({
                           ": -------------------- F = 50.0 mm --------------------",
                           ":              F/8.0",
                           " 50.0   INF 20.8  INF",
                           " 50.0   INF 20.8  INF",
                           " 50.0   INF 20.8  INF",
                           " 50.0   INF 20.8  INF",
                       }));
}

TEST_F(RunTest, TheUnitsKeyChoosesFeetByEitherNameInAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"ft", true}, {"FEET", true},  {"Ft", true},   {"feet ", true}, {"", false},
      {"m", false}, {"foot", false}, {"fts", false}, {"f", false},    {"metres", false},
  };
  for (const auto& [units, feet] : cases) {
    std::string ini = Settings("lenses.ini", "[VELMO]\nHTML=0\nUnits=" + std::string(units) + "\n" + kLists);
    EXPECT_EQ(Run({ini}), 0);
    EXPECT_EQ(document_.substr(document_.find("\r\n") + 2, 8), feet ? ":     ft" : ":       ") << units;
  }
}

TEST_F(RunTest, TheCameraFormatGivesTheCircleOfConfusionUnlessCoCDoes) {
  const struct {
    const char* keys;
    const char* firstLine;  // of the text table
    const char* consoleLine;
  } cases[] = {
      // sqrt(36^2 + 24^2) / 1500 = 0.0288444...
      {"Format=36x24\n",
       ": Circle of confusion .028844 mm. It is the diagonal of the 36 x 24 mm format, 43.3 mm, divided by "
       "1500.",
       nullptr},
      {"Format=23.5 X 15.6\nCoCDivisor=1000\n",
       ": Circle of confusion .028207 mm. It is the diagonal of the 23.5 x 15.6 mm format, 28.2 mm, divided "
       "by "
       "1000.",
       nullptr},
      {"Format=36x24\nCoCDivisor=0\n",
       ": Circle of confusion .028844 mm. It is the diagonal of the 36 x 24 mm format, 43.3 mm, divided by "
       "1500.",
       nullptr},
      {"CoC=0.03\nFormat=36x24\n",
       ": Circle of confusion .03 mm. It is the CoC the settings file gives, which takes precedence over the "
       "36 x "
       "24 mm format.",
       nullptr},
      // By name, the same table as by its size.
      {"Format=APS-C\nCoCDivisor=1000\n",
       ": Circle of confusion .028207 mm. It is the diagonal of the 23.5 x 15.6 mm format, 28.2 mm, divided "
       "by "
       "1000.",
       nullptr},
      {"Format=APS\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"APS\" is not a width x height in mm"},
      {"Format=36y24\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"36y24\" is not a width x height in mm"},
      {"Format=36x0\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"36x0\" is not a width x height in mm"},
      {"Format=x24\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"x24\" is not a width x height in mm"},
      // Circles of confusion beyond the numbers: infinite, zero.
      {"Format=1e308x1e308\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"1e308x1e308\" is not a width x height in mm"},
      {"Format=1e-200x1e-200\n", ": -------------------- F = 50.0 mm --------------------",
       "ERROR: \"Format\" value \"1e-200x1e-200\" is not a width x height in mm"},
      {"Format=36x24\nCoCDivisor=4.9e-324\n",
       ": Circle of confusion .028844 mm. It is the diagonal of the 36 x 24 mm format, 43.3 mm, divided by "
       "1500.",
       nullptr},
  };
  Run({Settings("lenses.ini", "[VELMO]\nHTML=0\n" + kLists)});
  const std::string withoutFormat = document_;
  for (const auto& c : cases) {
    std::string ini = Settings("lenses.ini", std::string("[VELMO]\nHTML=0\n") + c.keys + kLists);
    EXPECT_EQ(Run({ini}), 0) << c.keys;
    EXPECT_EQ(document_.substr(0, document_.find("\r\n")), c.firstLine) << c.keys;
    const std::string line = c.consoleLine == nullptr ? "" : std::string(c.consoleLine) + "\r\n";
    EXPECT_EQ(console_, kBanner + CrLf({"Using " + ini, "", "Working...", ""}) + line + "Created " +
                            Path("lenses.txt") + "\r\nDone. Press Enter to exit.\r\n")
        << c.keys;
    // A format that cannot be used leaves the table as it would be without.
    if (c.consoleLine != nullptr) {
      EXPECT_EQ(document_, withoutFormat) << c.keys;
    }
  }
}

TEST_F(RunTest, AWavelengthBeyondTheNumbersKeepsTheDefault) {
  // So short that every f-number would be diffraction-limited: f/+Inf.
  Run({Settings("lenses.ini",
                "[VELMO]\nHTML=0\nCoC=0.03\nDiffraction=1\nWavelength=4.9e-324\n"
                "Distance=2\nAperture=32\nFocal=50\n")});
  EXPECT_EQ(test::LinesWith(document_, "From f/"),
            std::vector<std::string>{
                ": * From f/22.4 on, diffraction blurs more than the circle of confusion (550 nm light)."});
}

TEST_F(RunTest, FailuresOfTheFilesEndTheRunWithTheirReport) {
  struct Case {
    int readFailure;
    int createFailure;
    int writeFailure;
    int closeFailure;
    std::string message;
  };
  const Case cases[] = {
      {5, 0, 0, 0, "File access denied."},  // the settings file, once open, cannot be read
      {0, 5, 0, 0, "File access denied."}, {0, 32, 0, 0, "I/O error 32."}, {0, 0, 101, 0, "Disk full."},
      {0, 0, 0, 101, "Disk full."},  // only the close finds the disk full
  };
  for (const Case& c : cases) {
    platform_.readFailure = c.readFailure;
    platform_.createFailure = c.createFailure;
    platform_.writeFailure = c.writeFailure;
    platform_.closeFailure = c.closeFailure;
    platform_.created.clear();
    platform_.Viewed.clear();
    std::string ini = Settings("lenses.ini", "[VELMO]\n" + kLists);
    EXPECT_EQ(Run({ini}), 1);
    EXPECT_EQ(console_,
              kBanner + CrLf({"Using " + ini, "", "Working...", "",
                              "Exception EInOutError in module velmo at ????????.", c.message, ""}));
    EXPECT_TRUE(platform_.Viewed.empty());
    EXPECT_EQ(platform_.created.size(), c.readFailure != 0 ? 0u : 1u);
  }
}

TEST_F(RunTest, TheConsoleShowsEachLineBeforeTheDocumentIsWritten) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nHTML=0\n" + kLists);
  EXPECT_EQ(Run({ini}), 0);
  EXPECT_EQ(platform_.consoleAtCreate, kBanner + CrLf({"Using " + ini, "", "Working...", ""}));
}

TEST_F(RunTest, TheSettingsFileIsReadOnceForEveryQuestion) {
  std::string ini =
      Settings("lenses.ini", "[VELMO]\nHTML=0\nRelative=1\nMultiplier=1.5\nCoC=0.02\n" + kLists);
  EXPECT_EQ(Run({ini}), 0);
  EXPECT_EQ(platform_.reads, 1);
}

TEST_F(RunTest, ADocumentThatWouldReplaceTheSettingsFileIsRefused) {
  const std::string content = "[VELMO]\nHTML=0\n" + kLists;
  std::string ini = Settings("velmo.txt", content);
  EXPECT_EQ(Run({ini}), 0);
  EXPECT_EQ(console_, kBanner + CrLf({"Using " + ini, "", "Working...", "",
                                      "*** ERROR: " + ini + " would replace the settings file",
                                      "Done. Press Enter to exit."}));
  EXPECT_TRUE(platform_.created.empty());
  EXPECT_TRUE(platform_.Viewed.empty());
  EXPECT_EQ(platform_.Files[ini], content);
}

TEST(FailureReport, AMessageGetsOneFinalPoint) {
  for (const char* message : {"Value too large", "Value too large."}) {
    EXPECT_EQ(
        test::Written([&](TextWriter& out) { WriteFailureReport(out, "Error", message, "velmo", 0x1C2F4); }),
        CrLf({"Exception Error in module velmo at 0001C2F4.", "Value too large.", ""}));
  }
}

TEST_F(RunTest, AConsoleThatCannotBeWrittenEndsTheRunWithStatusOne) {
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kLists);
  test::MemorySource in("\n");
  test::MemorySink out;
  out.failCode = 101;
  EXPECT_EQ(RunVelmo(std::vector<std::string>{ini}, in, out, platform_), 1);
  EXPECT_EQ(out.bytes, "");
}

}  // namespace
}  // namespace velmo
