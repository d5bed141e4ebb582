// Hostile surroundings: closed console streams, files that cannot be read
// or written, settings files of garbage and of enormous size, long paths.
// The program must end in order, report what failed, and never touch a
// file it was not asked to write.
#include <random>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;

TEST_F(EndToEnd, ClosedInputAtThePromptGivesAnEmptyName) {
  if (UnderWine()) GTEST_SKIP() << "a closed POSIX descriptor is no Windows handle";
  RunOptions options;
  options.closeInput = true;
  Outcome outcome = Run({}, "", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console,
            kBanner + "Enter the inifile name to use: *** ERROR:  not found\r\nCurrent path: " + work_ +
                "\r\n" + kDone);
}

TEST_F(EndToEnd, ClosedInputAtTheFinalWaitEndsTheWait) {
  if (UnderWine()) GTEST_SKIP() << "a closed POSIX descriptor is no Windows handle";
  std::string ini = Settings("lenses.ini", kNormalLensText);
  RunOptions options;
  options.closeInput = true;
  Outcome outcome = Run({ini}, "", options);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt"));
}

TEST_F(EndToEnd, AnUnreadableSettingsFileIsAFailedFileOperation) {
  if (UnderWine()) GTEST_SKIP() << "the program runs as another POSIX user";
  if (!CanRunAsNobody()) GTEST_SKIP() << "an unprivileged user cannot run " << VELMO_PROGRAM;
  std::string ini = Settings("lenses.ini", kNormalLensText);
  ::chmod(ini.c_str(), 0);
  RunOptions options;
  options.asNobody = true;  // as root, permissions would not stop the read
  Outcome outcome = Run({ini}, "\n", options);
  ::chmod(ini.c_str(), 0644);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.",
                                                "File access denied.", ""}));
}

TEST_F(EndToEnd, ANamedPipeIsReadAsAScriptWritesIt) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX named pipe";
  std::string fifo = work_ + "/pipe.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // The script: it waits for its reader, writes the settings in two parts
  // and ends; it gives up after a while if the reader never comes.
  pid_t script = ::fork();
  if (script == 0) {
    ::alarm(60);
    int fd = ::open(fifo.c_str(), O_WRONLY);
    const std::string first = kNormalLensText.substr(0, 20), rest = kNormalLensText.substr(20);
    const bool written = ::write(fd, first.data(), first.size()) == static_cast<ssize_t>(first.size()) &&
                         (std::this_thread::sleep_for(std::chrono::milliseconds(50)), true) &&
                         ::write(fd, rest.data(), rest.size()) == static_cast<ssize_t>(rest.size());
    ::_exit(written ? 0 : 1);
  }
  Outcome outcome = Run({fifo});
  ::kill(script, SIGKILL);
  ::waitpid(script, nullptr, 0);
  EXPECT_EQ(outcome.console, Using(fifo) + "Created " + work_ + "/pipe.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/pipe.txt"), Expected("normal-lens.txt"));
}

TEST_F(EndToEnd, ADeviceIsNoSettingsFile) {
  if (UnderWine()) GTEST_SKIP() << "a POSIX device";
  // Read, it would never end.
  Outcome outcome = Run({"/dev/zero"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using("/dev/zero") + "ERROR: No section named \"VELMO\" found!\r\n" + kDone);
}

TEST_F(EndToEnd, ADirectoryWhereTheDocumentWouldGo) {
  std::string ini = Settings("lenses.ini", kNormalLensText);
  std::filesystem::create_directory(work_ + "/lenses.txt");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console, Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.",
                                                "File access denied.", ""}));
  EXPECT_TRUE(std::filesystem::is_directory(work_ + "/lenses.txt"));
}

std::string Garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST_F(EndToEnd, BinaryGarbageIsNoSettingsFile) {
  std::string ini = Settings("garbage.ini", Garbage(65536, 1));
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, Using(ini) + "ERROR: No section named \"VELMO\" found!\r\n" + kDone);
}

TEST_F(EndToEnd, ASectionAmidGarbageIsStillRead) {
  std::string ini =
      Settings("garbage.ini", Garbage(65536, 2) + "\n" + kNormalLensText + "[END]\n" + Garbage(65536, 3));
  ExpectDocument(ini, "garbage.txt", "normal-lens.txt");
}

TEST_F(EndToEnd, ATenMegabyteSettingsFile) {
  std::string padding;
  for (int i = 0; i < 210000; ++i) padding += "; a comment line of some fifty characters........\n";
  ASSERT_GT(padding.size(), 10000000u);
  ExpectDocument(Settings("big.ini", padding + kNormalLensText), "big.txt", "normal-lens.txt");
}

TEST_F(EndToEnd, LinesOfAHundredThousandCharacters) {
  // Values are cut to 2047 characters: of the comment, and of the distance
  // list, whose first 64 items are used.
  std::string comment(100000, 'c');
  std::string distances;
  while (distances.size() < 100000) distances += "2 ";
  std::string ini = Settings("long.ini", "[VELMO]\nComment=" + comment + "\nDistance=" + distances +
                                             "\nAperture=8\nFocal=50\nCoC=0.03\n");
  Outcome outcome = Run({ini});
  EXPECT_EQ(outcome.status, 0);
  std::string page = ReadFile(work_ + "/long.html");
  EXPECT_NE(page.find("\r\n<P CLASS=CTR> " + comment.substr(0, 2047) + "\r\n"), std::string::npos);
  std::size_t rows = 0;
  for (std::size_t at = page.find("<TD>1.68-2.46"); at != std::string::npos;
       at = page.find("<TD>1.68-2.46", at + 1)) {
    ++rows;
  }
  EXPECT_EQ(rows, 64u);
}

TEST_F(EndToEnd, ANulByteEndsTheValue) {
  using namespace std::string_literals;
  std::string ini = Settings(
      "nulbyte.ini", "[VELMO]\nHTML=0\nCoC=0.03\nDistance=0.3 2 30 60 N\0 1 5\nAperture=4 8\nFocal=50\n"s);
  ExpectDocument(ini, "nulbyte.txt", "normal-lens.txt");
}

TEST_F(EndToEnd, KeysAndValuesInAnyLetterCase) {
  std::string ini =
      Settings("cases.ini", "[vElMo]\nhTmL=0X0\ncOc=3E-2\ndIsTaNcE=0.3 2 30 60 N\nAPERTURE=4 8\nfocal=50\n");
  ExpectDocument(ini, "cases.txt", "normal-lens.txt");
}

TEST_F(EndToEnd, PathsOfHundredsOfCharacters) {
  if (UnderWine()) GTEST_SKIP() << "Windows paths end at 260 characters";
  // The last: a temporary name beside the document passes the 4,096 bytes
  // a path may have in one call, the document's own name does not.
  for (std::size_t length : {300u, 1200u, 4070u}) {
    std::string dir = work_;
    while (dir.size() < length) {
      dir += "/" + std::string(std::clamp<std::size_t>(length - dir.size() - 1, 1, 100), 'd');
      std::filesystem::create_directory(dir);
    }
    std::string ini = Settings(dir + "/lenses.ini", kNormalLensText);
    Outcome outcome = Run({ini});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, Using(ini) + "Created " + dir + "/lenses.txt\r\n" + kDone);
    EXPECT_EQ(ReadFile(dir + "/lenses.txt"), Expected("normal-lens.txt"));
    RunOptions options;
    options.directory = dir;
    outcome = Run({"../" + std::filesystem::path(dir).filename().string() + "/lenses.ini"}, "\n", options);
    EXPECT_EQ(outcome.console, Using(ini) + "Created " + dir + "/lenses.txt\r\n" + kDone);
  }
}

}  // namespace
}  // namespace velmo
