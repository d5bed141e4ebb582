// A run that fails while it writes leaves the document of the last good
// run as it was, and nothing new beside it.
#include <sys/mount.h>

#include <fstream>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

const std::string kOlder = "an older table\r\n";

/// A text table of many blocks: `focals` focal lengths of 64 distances and
/// 64 apertures, every row written, about 42 KB a block.
std::string LargeTable(int focals) {
  std::string distances, apertures, lengths;
  for (int i = 0; i < 64; ++i) {
    distances += std::to_string(3 + i) + "e-1 ";
    apertures += std::to_string(1 + i) + " ";
  }
  for (int i = 0; i < focals; ++i) lengths += std::to_string(20 + i) + " ";
  return "[VELMO]\nHTML=0\nCoC=0.03\nDistance=" + distances + "\nAperture=" + apertures +
         "\nFocal=" + lengths + "\n";
}

TEST_F(EndToEnd, AFullDiskKeepsTheOldDocument) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX file system";
  // A file system of 1 MB, half of it taken by the old document: the new
  // table of 20 blocks does not fit beside it.
  const std::string small = dir_.File("small");
  std::filesystem::create_directory(small);
  if (::geteuid() != 0 || ::mount("velmo-test", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs root: " << std::strerror(errno);
  }
  const std::string ini = small + "/lenses.ini";
  const std::string older = kOlder + std::string(512 * 1024, 'x');
  WriteFile(ini, LargeTable(20));
  WriteFile(small + "/lenses.txt", older);
  Outcome outcome = Run({ini});
  const std::string kept = ReadFile(small + "/lenses.txt");
  const std::vector<std::string> entries = Entries(small);
  ::umount2(small.c_str(), MNT_DETACH);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.console.find("Disk full.\r\n"), std::string::npos) << outcome.console;
  EXPECT_TRUE(kept == older) << "the old document was changed";
  EXPECT_EQ(entries, (std::vector<std::string>{"lenses.ini", "lenses.txt"}));
}

/// The process whose parent is `parent`; 0 when there is none yet.
pid_t ChildOf(pid_t parent) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, name, state;
    pid_t ppid = 0;
    // The name is in parentheses and holds no blank for the programs here.
    if (stat >> pid >> name >> state >> ppid && ppid == parent) return std::stoi(pid);
  }
  return 0;
}

TEST_F(EndToEnd, AnInterruptedRunKeepsTheOldDocument) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  const char* const strace = "/usr/bin/strace";
  if (::access(strace, X_OK) != 0) GTEST_SKIP() << "no " << strace << " to slow the writes";
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    std::string ini = Settings("lenses.ini", LargeTable(20));
    WriteFile(work_ + "/lenses.txt", kOlder);
    // Every write waits 20 ms: the table takes over a second to write.
    RunOptions options;
    options.wrapper = {
        strace, "-f", "-qq", "-o", "/dev/null", "-e", "trace=write", "-e", "inject=write:delay_enter=20000"};
    std::string input = dir_.File("stdin");
    WriteFile(input, "\n");
    int in = ::open(input.c_str(), O_RDONLY);
    pid_t tracer = Start({ini}, in, options);
    ::close(in);
    // Once the new table is being written, the signal ends the run.
    bool writing = false;
    for (int i = 0; i < 2000 && !writing; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      writing = Entries(work_).size() > 2;
    }
    ASSERT_TRUE(writing) << "no new file appeared";
    const pid_t velmo = ChildOf(tracer);
    ASSERT_NE(velmo, 0);
    ::kill(velmo, signal);
    Outcome outcome = Finish(tracer);
    EXPECT_EQ(outcome.status, -1) << "the run should end by the signal " << signal;
    EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), kOlder) << signal;
    EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.ini", "lenses.txt"})) << signal;
  }
}

}  // namespace
}  // namespace velmo
