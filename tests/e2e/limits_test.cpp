// The run at the system's limits: file-size and memory limits, a named pipe
// where the document goes, a console that fails, paths beyond the path
// limit, ".." after a symbolic link, file systems without locks, failing
// reads, and failure positions that name real code.
#include <cstdio>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

std::string Report(const std::string& className, const std::string& message) {
  return CrLf({"Exception " + className + " in module velmo at ????????.", message + ".", ""});
}

TEST_F(EndToEnd, AFileSizeLimitIsADiskFullNotADeath) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX resource limit";
  std::string ini = Settings("lenses.ini", "[VELMO]\nCoC=0.03\n" + kNormalLensLists);
  WriteFile(work_ + "/lenses.html", "an older page");
  RunOptions options;
  options.fileSizeLimit = 1024;  // the page is larger; the console smaller
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + Report("EInOutError", "Disk full"));
  // The old page as it was, and nothing new beside it.
  EXPECT_EQ(ReadFile(work_ + "/lenses.html"), "an older page");
  EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.html", "lenses.ini"}));
}

TEST_F(EndToEnd, ANamedPipeWhereTheDocumentGoesIsNoWait) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX named pipe";
  std::string ini = Settings("lenses.ini", kNormalLensText);
  ASSERT_EQ(::mkfifo((work_ + "/lenses.txt").c_str(), 0644), 0);
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + Report("EInOutError", "I/O error 6"));  // no reader: ENXIO
}

TEST_F(EndToEnd, AFailingConsoleEndsTheRunBeforeTheDocumentIsTouched) {
  std::string ini = Settings("lenses.ini", kNormalLensText);
  WriteFile(work_ + "/lenses.txt", "an older table\n");
  RunOptions options;
  options.outputDevice = "/dev/full";
  EXPECT_EQ(Run({ini}, "\n", options).status, 1);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), "an older table\n");
}

TEST_F(EndToEnd, TheWaitAndThePromptKeepNoEndlessLine) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX resource limit";
  if (!MemoryCanBeLimited()) GTEST_SKIP() << "the program's memory cannot be limited in this build";
  // 400 MB without a line end (a sparse file: no disk), under 150 MB.
  RunOptions options;
  options.inputFile = dir_.File("endless");
  WriteFile(options.inputFile, "");
  ASSERT_EQ(::truncate(options.inputFile.c_str(), 400 << 20), 0);
  options.addressSpaceLimit = 150 << 20;
  std::string ini = Settings("lenses.ini", kNormalLensText);
  Outcome outcome = Run({ini}, "", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  // At the prompt: the name is kept to 32768 characters, and not found.
  outcome = Run({}, "", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, kBanner +
                                 "Enter the inifile name to use: *** ERROR: " + std::string(32768, '\0') +
                                 " not found\r\nCurrent path: " + work_ + "\r\n" + kDone);
}

/// Makes `depth` nested directories of 200-character names below `top`,
/// one step at a time (the whole path is beyond what one call takes);
/// returns the deepest as an open directory and its full path.
int DeepDirectory(const std::string& top, int depth, std::string& path) {
  int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
  path = top;
  for (int i = 0; i < depth && fd >= 0; ++i) {
    const std::string step(200, static_cast<char>('a' + i % 26));
    ::mkdirat(fd, step.c_str(), 0777);
    int next = ::openat(fd, step.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
    path += "/" + step;
  }
  return fd;
}

std::string ReadAt(int directory, const char* name) {
  std::string bytes;
  int fd = ::openat(directory, name, O_RDONLY);
  char buffer[4096];
  for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  if (fd >= 0) ::close(fd);
  return bytes;
}

TEST_F(EndToEnd, ASettingsFileBeyondThePathLimitIsReadWhereItWasFound) {
  if (UnderWine()) GTEST_SKIP() << "Windows paths end at 260 characters";
  // qemu-user's getcwd fails below the path limit (ENOENT), where the
  // kernel and the C library manage.
  if (!Launcher().empty()) GTEST_SKIP() << "the emulator cannot name a directory beyond the path limit";
  std::string deep;
  int fd = DeepDirectory(work_, 25, deep);
  ASSERT_GE(fd, 0);
  ASSERT_GT(deep.size(), 4096u);
  int settings = ::openat(fd, "lenses.ini", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_EQ(::write(settings, kNormalLensText.data(), kNormalLensText.size()),
            static_cast<ssize_t>(kNormalLensText.size()));
  ::close(settings);
  RunOptions options;
  options.directory = deep;
  Outcome outcome = Run({"lenses.ini"}, "\n", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(deep + "/lenses.ini") + "Created " + deep + "/lenses.txt\r\n" + kDone);
  EXPECT_EQ(ReadAt(fd, "lenses.txt"), Expected("normal-lens.txt"));
  EXPECT_EQ(ReadAt(fd, "lenses.ini"), kNormalLensText);
  ::close(fd);
}

TEST_F(EndToEnd, DotDotAfterASymbolicLinkReadsTheFileItFound) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX symbolic link";
  // link -> real/inner, so link/../velmo.ini is real/velmo.ini to the
  // system, while the text alone would say velmo.ini beside link.
  std::filesystem::create_directories(work_ + "/real/inner");
  std::filesystem::create_directory_symlink(work_ + "/real/inner", work_ + "/link");
  std::string found = Settings("real/velmo.ini", kNormalLensText);
  Settings("velmo.ini", "[OTHER]\n");
  Outcome outcome = Run({"link/../velmo.ini"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(found) + "Created " + work_ + "/real/velmo.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/real/velmo.txt"), Expected("normal-lens.txt"));
  EXPECT_EQ(Viewed(true), work_ + "/real/velmo.txt\n");
  EXPECT_FALSE(std::filesystem::exists(work_ + "/velmo.txt"));
}

const char kStrace[] = "/usr/bin/strace";

/// strace as a wrapper that makes one kind of system call fail.
std::vector<std::string> Failing(const std::string& call, const std::string& error,
                                 const std::string& onlyPath = "") {
  std::vector<std::string> words{kStrace, "-f", "-qq", "-o", "/dev/null"};
  if (!onlyPath.empty()) words.insert(words.end(), {"-P", onlyPath});
  words.insert(words.end(), {"-e", "trace=" + call, "-e", "inject=" + call + ":error=" + error});
  return words;
}

TEST_F(EndToEnd, AFileSystemWithoutLocksIsWrittenWithoutTheLock) {
  if (UnderWine()) GTEST_SKIP() << "POSIX locks";
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no " << kStrace << " to make the lock fail";
  for (const char* error : {"ENOLCK", "EOPNOTSUPP"}) {
    std::string ini = Settings("lenses.ini", kNormalLensText);
    RunOptions options;
    options.wrapper = Failing("flock", error);
    Outcome outcome = Run({ini}, "\n", options);
    EXPECT_EQ(outcome.status, 0) << error;
    EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone) << error;
    EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt")) << error;
  }
}

TEST_F(EndToEnd, AReadErrorInTheSettingsFileIsAFailureNotAnEmptyFile) {
  if (UnderWine()) GTEST_SKIP() << "strace makes a POSIX read fail";
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no " << kStrace << " to make the read fail";
  std::string ini = Settings("lenses.ini", kNormalLensText);
  RunOptions options;
  options.wrapper = Failing("read", "EIO", ini);
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + Report("EInOutError", "I/O error 5"));
  EXPECT_FALSE(std::filesystem::exists(work_ + "/lenses.txt"));
  EXPECT_FALSE(std::filesystem::exists(work_ + "/lenses.html"));
}

/// The function that addr2line finds at the position of a failure report.
std::string FunctionAtPosition(const std::string& console) {
  std::smatch match;
  if (!std::regex_search(console, match, std::regex(" at ([0-9A-F]{8})\\.\r\n"))) return "no position";
  std::string command = std::string(VELMO_ADDR2LINE) + " -f -e " + VELMO_PROGRAM + " 0x" + match[1].str();
  std::string function;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char line[4096];
    if (std::fgets(line, sizeof line, pipe) != nullptr) function = line;
    ::pclose(pipe);
  }
  return function;
}

TEST_F(EndToEnd, WindowsNamesItselfWithExe) {
  if (!UnderWine()) GTEST_SKIP() << "only a Windows build is velmo.exe";
  std::string ini = Settings("lenses.ini", "[VELMO]\nDistance=n\nAperture=8\nFocal=50\n");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(std::regex_replace(ReadFile(OutputFile()), std::regex(" at [0-9A-F]{8}\\."), " at ????????."),
            "VELMO: DOF TABULATION BY THE VELMO DEVELOPERS\r\nVersion 1.01 of 2007/02/25\r\n"
            "Updates at https://velmo.example.org/\r\nUsing Z:" +
                std::regex_replace(ini, std::regex("/"), "\\") +
                "\r\n\r\nWorking...\r\n\r\nException EConvertError in module velmo.exe at ????????.\r\n"
                "'n' is not a valid floating point value.\r\n\r\n");
}

TEST_F(EndToEnd, TheFailurePositionNamesTheFunctionThatRaised) {
  if (UnderWine()) GTEST_SKIP() << "the position of a Windows program is looked up with the image base added";
  std::string ini = Settings("lenses.ini", "[VELMO]\nDistance=n\nAperture=8\nFocal=50\n");
  Outcome outcome = Run({ini});
  ASSERT_EQ(outcome.status, 1);
  EXPECT_NE(FunctionAtPosition(outcome.raw).find("NumberFromText"), std::string::npos) << outcome.raw;
}

TEST_F(EndToEnd, OutOfMemoryHasARealPositionToo) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX resource limit";
  if (!MemoryCanBeLimited()) GTEST_SKIP() << "the program's memory cannot be limited in this build";
  // A settings file of 256 MB (sparse) cannot be read within 96 MB.
  std::string ini = work_ + "/huge.ini";
  WriteFile(ini, "");
  ASSERT_EQ(::truncate(ini.c_str(), 256 << 20), 0);
  RunOptions options;
  options.addressSpaceLimit = 96 << 20;
  Outcome outcome = Run({ini}, "\n", options);
  ASSERT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + Report("EOutOfMemory", "Out of memory"));
  // The position lies in the program's own code (here the string growth
  // that reading the file asked for), not at 00000000.
  const std::string function = FunctionAtPosition(outcome.raw);
  EXPECT_EQ(outcome.raw.find(" at 00000000."), std::string::npos);
  EXPECT_FALSE(function.empty() || function.rfind("??", 0) == 0) << outcome.raw << function;
}

}  // namespace
}  // namespace velmo
