// The hand-off to the desktop viewer: it never delays or blocks the run,
// leaves no child behind, and stays silent when there is no viewer.
#include <dirent.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

/// The processes whose parent is `parent`, from /proc.
std::vector<std::string> ChildrenOf(pid_t parent) {
  std::vector<std::string> children;
  DIR* proc = ::opendir("/proc");
  while (dirent* entry = ::readdir(proc)) {
    std::ifstream status(std::string("/proc/") + entry->d_name + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line == "PPid:\t" + std::to_string(parent)) children.push_back(entry->d_name);
    }
  }
  ::closedir(proc);
  return children;
}

TEST_F(EndToEnd, AViewerThatDoesNotEndNeverDelaysTheRun) {
  if (UnderWine()) GTEST_SKIP() << "the desktop viewer of wine is started by its own shell";
  // The viewer waits at a pipe that the test opens only after the run has
  // ended; a run that waited for it would never end, and the harness fails
  // a run that does not end.
  const std::string gate = dir_.File("gate");
  ASSERT_EQ(::mkfifo(gate.c_str(), 0600), 0);
  WriteFile(bin_ + "/xdg-open",
            "#!/bin/sh\nread line < '" + gate + "'\nprintf '%s\\n' \"$1\" >> '" + log_ + "'\n");
  std::string ini = Settings("lenses.ini", kNormalLensText);
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  // Let the viewer go; it was still waiting, and then sees the document.
  int fd = -1;
  for (int tries = 0; tries < 1000 && fd < 0; ++tries) {
    fd = ::open(gate.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_GE(fd, 0) << "the viewer never started";
  ASSERT_EQ(::write(fd, "go\n", 3), 3);
  ::close(fd);
  EXPECT_EQ(Viewed(true), work_ + "/lenses.txt\n");
}

TEST_F(EndToEnd, AMissingViewerPrintsNothing) {
  std::string ini = Settings("lenses.ini", kNormalLensText);
  std::filesystem::remove(bin_ + "/xdg-open");
  RunOptions options;
  options.path = bin_;  // nowhere to find a viewer
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt"));
}

TEST_F(EndToEnd, TheViewerStartsApartWithNoSignalIgnored) {
  if (UnderWine()) GTEST_SKIP() << "the desktop viewer of wine is started by its own shell";
  // Velmo ignores a closed pipe, a file-size limit and its children's ends
  // for itself; a viewer that inherited that would write on where it should
  // stop, or could not wait for its own children. Its session is its own,
  // so the console's Ctrl+C never reaches it, and its input is nothing.
  // The viewer is an awk program: a shell would set SIGCHLD for itself.
  WriteFile(bin_ + "/xdg-open", "#!/usr/bin/awk -f\nBEGIN {\n  out = \"" + log_ + "\"\n" + R"(
  while ((getline line < "/proc/self/status") > 0) if (line ~ /^SigIgn/) print line >> out
  getline stat < "/proc/self/stat"; split(stat, field, " "); print field[6] >> out
  close(out); system("readlink /proc/" field[1] "/fd/0 >> '" out "'")
}
)");
  std::string ini = Settings("lenses.ini", kNormalLensText);
  EXPECT_EQ(Run({ini}).status, 0);
  std::string viewed = Viewed(true);
  for (int tries = 0; tries < 100 && std::count(viewed.begin(), viewed.end(), '\n') < 3; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    viewed = ReadFile(log_);
  }
  std::istringstream lines(viewed);
  std::string ignored, session, input;
  std::getline(lines, ignored);
  std::getline(lines, session);
  std::getline(lines, input);
  // Bit n - 1 of the mask is signal n. (glibc's own two signals, 32 and
  // 33, come ignored from any spawn: they are no concern of the viewer's.)
  const unsigned long long mask = std::stoull(ignored.substr(ignored.find('\t') + 1), nullptr, 16);
  for (int number : {SIGPIPE, SIGXFSZ, SIGCHLD}) EXPECT_EQ(mask & (1ull << (number - 1)), 0u) << ignored;
  EXPECT_NE(session, std::to_string(::getsid(0)));
  EXPECT_EQ(input, "/dev/null");
}

TEST_F(EndToEnd, TheViewerIsNoChildOfTheWaitingProgram) {
  if (UnderWine()) GTEST_SKIP() << "wine keeps processes of its own";
  std::string ini = Settings("lenses.ini", kNormalLensText);
  int input[2];
  ASSERT_EQ(::pipe(input), 0);
  pid_t velmo = Start({ini}, input[0]);
  ::close(input[0]);
  // While the program waits for Enter the viewer has run; neither it nor
  // the process that started it is left as the program's child.
  EXPECT_EQ(Viewed(true), work_ + "/lenses.txt\n");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ReadFile(OutputFile()).find(kDone) == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ChildrenOf(velmo), std::vector<std::string>{});
  int ignored;
  EXPECT_EQ(::waitpid(velmo, &ignored, WNOHANG), 0) << "the program did not wait for Enter";
  ASSERT_EQ(::write(input[1], "\n", 1), 1);
  ::close(input[1]);
  Outcome outcome = Finish(velmo);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
}

}  // namespace
}  // namespace velmo
