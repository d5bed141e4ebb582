// The harness of the end-to-end tests: the built program, run as a user
// runs it, in a fresh directory, with a fake viewer first on PATH that
// records what it was asked to open. Every settings file a test writes
// must be left exactly as it was.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

#include "test_support.h"

namespace velmo::test {

inline const std::string kBanner = CrLf({
    "VELMO: DOF TABULATION BY THE VELMO DEVELOPERS",
    "Version 1.01 of 2007/02/25",
    "Updates at https://velmo.example.org/",
});
/// The unprivileged user (and group) the tests run some programs as.
inline constexpr uid_t kNobody = 65534;
inline const std::string kDone = "Done. Press Enter to exit.\r\n";
inline const std::string kNormalLensLists = "Distance=0.3 2 30 60 N\r\nAperture=4 8\r\nFocal=50\r\n";
/// A 50 mm lens at f/4 and f/8 as a text table: normal-lens.txt.
inline const std::string kNormalLensText = "[VELMO]\nHTML=0\nCoC=0.03\n" + kNormalLensLists;

/// The names in `directory`, sorted.
inline std::vector<std::string> Entries(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline std::string Expected(const std::string& name) {
  return ReadFile(std::string(VELMO_EXPECTED_DIR) + "/" + name);
}

struct Outcome {
  int status;
  std::string console;  // with the code position masked
  std::string raw;      // as the program wrote it
};

/// How a run's surroundings differ from a user's at a terminal.
struct RunOptions {
  std::string outputDevice;                  // standard output onto this file instead of a capture
  bool closeInput = false;                   // standard input closed
  bool asNobody = false;                     // run as an unprivileged user, where the tests run as root
  std::string directory;                     // working directory instead of the test's own
  std::string path;                          // PATH instead of the fake viewer's folder and the system's
  std::string inputFile;                     // standard input from this file instead of `input`
  rlim_t fileSizeLimit = RLIM_INFINITY;      // the largest file the program may write
  rlim_t addressSpaceLimit = RLIM_INFINITY;  // the most memory it may map
  std::vector<std::string> wrapper;          // a program that starts it (strace ...)
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // Open to all, so that a run as an unprivileged user reaches its files.
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::all);
    std::filesystem::create_directory(bin_);
    WriteFile(bin_ + "/xdg-open",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + log_ + "'\n");
    ::chmod((bin_ + "/xdg-open").c_str(), 0755);
    std::filesystem::create_directory(work_);
    std::filesystem::permissions(work_, std::filesystem::perms::all);
  }

  void TearDown() override {
    for (const auto& [name, before] : settings_) {
      EXPECT_EQ(ReadFile(name), before.bytes) << name << " was changed";
      EXPECT_EQ(ModificationTime(name), before.modified) << name << " was touched";
    }
  }

  /// Writes a settings file into the working directory (or a full path);
  /// returns its full path.
  std::string Settings(const std::string& name, const std::string& content) {
    std::string path = name.front() == '/' ? name : work_ + "/" + name;
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
              const RunOptions& options = {}) {
    std::string inputFile = options.inputFile;
    if (inputFile.empty()) {
      inputFile = dir_.File("stdin");
      WriteFile(inputFile, input);
    }
    int in = ::open(inputFile.c_str(), O_RDONLY);
    pid_t child = Start(arguments, in, options);
    ::close(in);
    return Finish(child, options);
  }

  /// Starts the program with `in` as its standard input; see Run.
  pid_t Start(const std::vector<std::string>& arguments, int in, const RunOptions& options = {}) {
    const std::string& out = options.outputDevice.empty() ? OutputFile() : options.outputDevice;
    pid_t child = ::fork();
    if (child != 0) return child;
    // The console's file is the tests', whoever runs the program.
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (options.asNobody && ::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
      ::_exit(125);
    if (!ChangeDirectory(options.directory.empty() ? work_ : options.directory)) ::_exit(126);
    ::setenv("PATH", (options.path.empty() ? bin_ + ":/usr/bin:/bin" : options.path).c_str(), 1);
    ::dup2(in, 0);
    ::dup2(fd, 1);
    if (options.closeInput) ::close(0);
    const rlimit fileSize{options.fileSizeLimit, options.fileSizeLimit};
    const rlimit addressSpace{options.addressSpaceLimit, options.addressSpaceLimit};
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0 || ::setrlimit(RLIMIT_AS, &addressSpace) != 0) ::_exit(125);
    // The leak checker of a sanitized build cannot work under ptrace, and
    // the faults that strace sends are the program's to handle.
    if (!options.wrapper.empty()) {
      ::setenv("ASAN_OPTIONS", "detect_leaks=0:handle_segv=0:handle_sigbus=0", 1);
    }
    std::vector<std::string> words = options.wrapper;
    for (std::string& word : Launcher()) words.push_back(word);
    words.emplace_back(VELMO_PROGRAM);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }

  /// chdir, one step at a time where the path is too long for one call.
  static bool ChangeDirectory(const std::string& directory) {
    if (::chdir(directory.c_str()) == 0) return true;
    if (errno != ENAMETOOLONG || directory.front() != '/' || ::chdir("/") != 0) return false;
    std::istringstream steps(directory);
    for (std::string step; std::getline(steps, step, '/');) {
      if (!step.empty() && ::chdir(step.c_str()) != 0) return false;
    }
    return true;
  }

  /// True where the program's memory can be limited: not under an emulator
  /// nor with the sanitizers, which map far more than they use.
  static bool MemoryCanBeLimited() {
#ifdef VELMO_SANITIZED
    return false;
#else
    return Launcher().empty();
#endif
  }

  /// The console of a Windows build in the terms of this system: it names
  /// files as Z:\tmp\..., and itself as velmo.exe (WindowsNamesItselfWithExe
  /// checks that name).
  static std::string FromWindows(const std::string& console) {
    std::string text = std::regex_replace(console, std::regex("Z:\\\\"), "/");
    text = std::regex_replace(text, std::regex("\\\\"), "/");
    return std::regex_replace(text, std::regex(" in module velmo\\.exe at "), " in module velmo at ");
  }

  /// True when the program is a Windows build, started through wine.
  static bool UnderWine() {
    const std::vector<std::string> words = Launcher();
    return !words.empty() && std::filesystem::path(words.front()).filename() == "wine";
  }

  /// What starts the program where it does not run natively: an emulator
  /// and its options; nothing otherwise.
  static std::vector<std::string> Launcher() {
    std::vector<std::string> words;
    std::istringstream launcher(VELMO_LAUNCHER);
    for (std::string word; launcher >> word;) words.push_back(word);
    return words;
  }

  /// Waits for a started program; its status and console.
  Outcome Finish(pid_t child, const RunOptions& options = {}) {
    // A run that hangs is a failure, not a test that never ends.
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(child, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "the program did not end within 60 seconds";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::string raw = options.outputDevice.empty() ? ReadFile(OutputFile()) : "";
    if (UnderWine()) raw = FromWindows(raw);
    // The code position differs from build to build; its form does not.
    std::string console = std::regex_replace(raw, std::regex(" at [0-9A-F]{8}\\.\r\n"), " at ????????.\r\n");
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, console, raw};
  }

  std::string OutputFile() const {
    return dir_.File("stdout");
  }

  /// Whether an unprivileged user can run the program where it was built;
  /// false also when the tests do not run as root (then they need not).
  static bool CanRunAsNobody() {
    if (::geteuid() != 0) return true;
    pid_t child = ::fork();
    if (child == 0) {
      bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && ::access(VELMO_PROGRAM, X_OK) == 0;
      ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
    std::filesystem::remove(log_);  // what the viewer was asked before
    Outcome outcome = Run({settings});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, Using(settings) + "Created " + path + "\r\n" + kDone);
    EXPECT_EQ(ReadFile(path), Expected(expected)) << document;
    // Under wine the viewer is started by wine's own shell, outside the
    // fake viewer's reach.
    if (!UnderWine()) {
      EXPECT_EQ(Viewed(true), path + "\n");
    }
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

}  // namespace velmo::test
