// The built program, run as a user runs it: in a fresh directory, with a
// fake viewer first on PATH that records what it was asked to open. Console
// bytes, exit status and documents are compared whole, CR LF included, and
// every settings file must be left exactly as it was.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <regex>
#include <thread>

#include "test_support.h"

namespace velmo {
namespace {

using test::CrLf;
using test::ReadFile;
using test::WriteFile;

const std::string kBanner = CrLf({
    "VELMO: DOF TABULATION BY THE VELMO DEVELOPERS",
    "Version 1.01 of 2007/02/25",
    "Updates at https://velmo.example.org/",
});
const std::string kDone = "Done. Press Enter to exit.\r\n";
const std::string kWorkedLists = "Distance=0.3 2 30 60 N\r\nAperture=4 8\r\nFocal=50\r\n";

std::string Expected(const std::string& name) { return ReadFile(std::string(VELMO_EXPECTED_DIR) + "/" + name); }

struct Outcome {
  int status;
  std::string console;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(bin_);
    WriteFile(bin_ + "/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + log_ + "'\n");
    ::chmod((bin_ + "/xdg-open").c_str(), 0755);
    std::filesystem::create_directory(work_);
  }

  void TearDown() override {
    for (const auto& [name, before] : settings_) {
      EXPECT_EQ(ReadFile(name), before.bytes) << name << " was changed";
      EXPECT_EQ(ModificationTime(name), before.modified) << name << " was touched";
    }
  }

  /// Writes a settings file into the working directory; returns its full path.
  std::string Settings(const std::string& name, const std::string& content) {
    std::string path = work_ + "/" + name;
    WriteFile(path, content);
    settings_[path] = {content, ModificationTime(path)};
    return path;
  }

  static long long ModificationTime(const std::string& name) {
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) return -1;
    return static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  }

  /// Runs the program with `arguments`, `input` on standard input, and
  /// standard output into a file (or onto `outputDevice`).
  Outcome Run(const std::vector<std::string>& arguments, const std::string& input = "\n",
              const std::string& outputDevice = "") {
    const std::string inputFile = dir_.File("stdin"), outputFile = dir_.File("stdout");
    WriteFile(inputFile, input);
    pid_t child = ::fork();
    if (child == 0) {
      if (::chdir(work_.c_str()) != 0) ::_exit(126);
      ::setenv("PATH", (bin_ + ":/usr/bin:/bin").c_str(), 1);
      int in = ::open(inputFile.c_str(), O_RDONLY);
      const std::string& out = outputDevice.empty() ? outputFile : outputDevice;
      int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(in, 0);
      ::dup2(fd, 1);
      std::vector<char*> argv{const_cast<char*>(VELMO_PROGRAM)};
      for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(VELMO_PROGRAM, argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string console = outputDevice.empty() ? ReadFile(outputFile) : "";
    // The code position differs from build to build; its form does not.
    console = std::regex_replace(console, std::regex(" at [0-9A-F]{8}\\.\r\n"), " at ????????.\r\n");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, console};
  }

  /// What the viewer was asked to open, waiting a moment for it to start.
  std::string Viewed(bool expectCall) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(expectCall ? 10 : 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(expectCall ? 0 : 200));
    std::string log = ReadFile(log_);
    while (expectCall && log.empty() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      log = ReadFile(log_);
    }
    return log;
  }

  std::string Using(const std::string& settings) {
    return kBanner + CrLf({"Using " + settings, "", "Working...", ""});
  }

  /// Runs a settings file that must give `document`, and compares it with
  /// the expected file of that name.
  void ExpectDocument(const std::string& settings, const std::string& document, const std::string& expected) {
    std::string path = work_ + "/" + document;
    Outcome outcome = Run({settings});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, Using(settings) + "Created " + path + "\r\n" + kDone);
    EXPECT_EQ(ReadFile(path), Expected(expected)) << document;
    EXPECT_EQ(Viewed(true), path + "\n");
  }

  struct Kept {
    std::string bytes;
    long long modified;
  };

  test::TempDir dir_;
  std::string bin_ = dir_.File("bin");
  std::string work_ = dir_.File("work");
  std::string log_ = dir_.File("viewer.log");
  std::map<std::string, Kept> settings_;
};

TEST_F(EndToEnd, WorkedExampleAsText) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\r\nHTML=0\r\nCoC=0.03\r\n" + kWorkedLists), "lenses.txt",
                 "worked.txt");
}

TEST_F(EndToEnd, WorkedExampleAsRelativeText) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\nHTML=0\nRelative=1\nCoC=0.03\n" + kWorkedLists), "lenses.txt",
                 "worked-relative.txt");
}

TEST_F(EndToEnd, TableOnlyWithoutHtmlStillWritesText) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\nHTML=0\nTableOnly=1\nCoC=0.03\n" + kWorkedLists), "lenses.txt",
                 "worked.txt");
}

TEST_F(EndToEnd, WorkedExampleAsFragment) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\nTableOnly=1\nCoC=0.03\n" + kWorkedLists), "lenses.i", "worked.i");
}

TEST_F(EndToEnd, WorkedExampleAsRelativeFragment) {
  ExpectDocument(Settings("lenses.ini", "[velmo]\ntableonly = 1\nrelative = 1\ncoc = 0.03\n" + kWorkedLists),
                 "lenses.i", "worked-relative.i");
}

TEST_F(EndToEnd, FragmentWithTheEquivalentFocalLength) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\nTableOnly=1\nMultiplier=1.5\nCoC=0.03\n" + kWorkedLists),
                 "lenses.i", "worked-efl.i");
}

TEST_F(EndToEnd, FragmentWithTwoFocalLengths) {
  ExpectDocument(
      Settings("lenses.ini", "[VELMO]\nTableOnly=1\nCoC=0.03\nDistance=0.3 2 30 60 N\nAperture=4 8\nFocal=50 85\n"),
      "lenses.i", "two-focals.i");
}

TEST_F(EndToEnd, WholePage) {
  ExpectDocument(Settings("lenses.ini", "[VELMO]\nComment=Lenses for the new body\n" + kWorkedLists), "lenses.html",
                 "lenses.html");
}

TEST_F(EndToEnd, NameTypedAtThePromptCountsFromTheCurrentDirectory) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nHTML=0\nCoC=0.03\n" + kWorkedLists);
  Outcome outcome = Run({}, "lenses.ini\r\n\r\n");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, kBanner + "Enter the inifile name to use: " +
                                 CrLf({"Using " + ini, "", "Working...", "", "Created " + work_ + "/lenses.txt"}) +
                                 kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("worked.txt"));
  EXPECT_EQ(Viewed(true), work_ + "/lenses.txt\n");
}

TEST_F(EndToEnd, SettingsFileNotFound) {
  std::filesystem::create_directory(work_ + "/sets.ini");
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
    std::string shown;
  };
  const Case cases[] = {
      {{}, "\n", "Enter the inifile name to use: *** ERROR:  not found"},
      {{}, "", "Enter the inifile name to use: *** ERROR:  not found"},
      {{"sets.ini"}, "", "*** ERROR: sets.ini not found"},
      {{"none.ini"}, "\n", "*** ERROR: none.ini not found"},
  };
  for (const Case& c : cases) {
    Outcome outcome = Run(c.arguments, c.input);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, kBanner + c.shown + "\r\nCurrent path: " + work_ + "\r\n" + kDone);
  }
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, MissingSectionOrList) {
  struct Case {
    std::string content;
    std::string line;
  };
  const Case cases[] = {
      {"[OTHER]\n" + kWorkedLists, "ERROR: No section named \"VELMO\" found!"},
      {"[VELMO]\nAperture=4\nFocal=50\n", "ERROR: Missing \"Distance\" line in the inifile"},
      {"[VELMO]\nDistance=1\nFocal=50\n", "ERROR: Missing \"Aperture\" line in the inifile"},
      {"[VELMO]\nDistance=1\nAperture=4\nFocal=\n", "Missing \"Focal\" line in the inifile"},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string ini = Settings("set" + std::to_string(++n) + ".ini", c.content);
    Outcome outcome = Run({ini});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, Using(ini) + c.line + "\r\n" + kDone);
  }
  EXPECT_EQ(Viewed(false), "");
  EXPECT_FALSE(std::filesystem::exists(work_ + "/set1.txt"));
}

TEST_F(EndToEnd, BadItemEndsTheRunAndLeavesAnOlderDocumentAlone) {
  std::string ini = Settings("lenses.ini", "[VELMO]\nDistance=1 n\n");
  WriteFile(work_ + "/lenses.html", "an earlier page");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + CrLf({"Exception EConvertError in module velmo at ????????.",
                                                "'n' is not a valid floating point value.", ""}));
  EXPECT_EQ(ReadFile(work_ + "/lenses.html"), "an earlier page");
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, ADocumentThatWouldReplaceItsSettingsIsRefused) {
  std::string ini = Settings("velmo.txt", "[VELMO]\nHTML=0\n" + kWorkedLists);
  std::filesystem::create_symlink(ini, work_ + "/link.ini");
  std::string viaLink = Settings("other.html", "[VELMO]\n" + kWorkedLists);
  std::filesystem::create_symlink(viaLink, work_ + "/other.ini");
  // "other.ini" is a link to "other.html", the page that it would write.
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "*** ERROR: " + ini + " would replace the settings file\r\n" + kDone);
  outcome = Run({"other.ini"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console,
            Using(work_ + "/other.ini") + "*** ERROR: " + viaLink + " would replace the settings file\r\n" + kDone);
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, ADocumentHeldByAnotherProgramIsReported) {
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kWorkedLists);
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

TEST_F(EndToEnd, AReadOnlyDocumentCannotBeReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root; the run test covers this through its platform";
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kWorkedLists);
  WriteFile(work_ + "/lenses.html", "kept");
  ::chmod((work_ + "/lenses.html").c_str(), 0444);
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "File access denied.", ""}));
}

TEST_F(EndToEnd, AFullDiskEndsTheRunWithItsReport) {
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kWorkedLists);
  std::filesystem::create_symlink("/dev/full", work_ + "/lenses.html");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "Disk full.", ""}));
  EXPECT_EQ(Viewed(false), "");
}

TEST_F(EndToEnd, AConsoleThatCannotBeWrittenEndsWithStatusOne) {
  std::string ini = Settings("lenses.ini", "[VELMO]\n" + kWorkedLists);
  EXPECT_EQ(Run({ini}, "\n", "/dev/full").status, 1);
}

}  // namespace
}  // namespace velmo
