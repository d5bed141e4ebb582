// The POSIX platform layer on the real system.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iterator>

#include "platform/exceptions.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "test_support.h"

namespace velmo {
namespace {

TEST(HostPlatform, SeesFilesLinksAndDirectories) {
  test::TempDir dir;
  HostPlatform platform;
  std::string file = dir.File("a.ini");
  test::WriteFile(file, "x");
  std::string link = dir.File("b.ini");
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
  EXPECT_TRUE(platform.FileExists(file));
  EXPECT_TRUE(platform.FileExists(link));
  EXPECT_FALSE(platform.FileExists(dir.Path().string()));
  EXPECT_FALSE(platform.FileExists(dir.File("none.ini")));
  EXPECT_FALSE(platform.FileExists(""));
  EXPECT_TRUE(platform.SameFile(file, link));
  EXPECT_TRUE(platform.SameFile(file, dir.Path().string() + "/./a.ini"));
  EXPECT_FALSE(platform.SameFile(file, dir.File("none.ini")));
  EXPECT_EQ(platform.FullPath("/x/../y"), "/y");
  EXPECT_EQ(platform.ProgramFileName(), "platform_test");
}

TEST(HostPlatform, CreatingADocumentReportsWhyItFailed) {
  test::TempDir dir;
  HostPlatform platform;
  try {
    // Nothing is created before the whole document is there.
    platform.CreateDocument(dir.File("missing/doc.txt"))->Close();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File not found");
  }
  try {
    platform.CreateDocument(dir.Path().string());
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File access denied");
  }
  try {
    platform.CreateDocument(dir.File(std::string(300, 'n')));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Invalid filename");
  }
}

TEST(HostPlatform, ADocumentIsReplacedOnlyWhenClosed) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string document = dir.File("lenses.txt");
  const std::string link = dir.File("link.txt");
  test::WriteFile(document, "old");
  ASSERT_EQ(::symlink(document.c_str(), link.c_str()), 0);
  // A run that fails never closes its document.
  platform.CreateDocument(link)->Write("new", 3);
  EXPECT_EQ(test::ReadFile(document), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
  auto sink = platform.CreateDocument(link);
  sink->Write("new", 3);
  EXPECT_EQ(test::ReadFile(document), "old");
  sink->Close();
  // Through the link its file is replaced, and the link stays.
  EXPECT_EQ(test::ReadFile(document), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(HostPlatform, AFullDiskFailsTheWrite) {
  HostPlatform platform;
  auto sink = platform.CreateDocument("/dev/full");
  try {
    sink->Write("x", 1);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Disk full");
  }
}

TEST(InOutError, MapsSystemErrorsToTheMessagesUsersKnow) {
  struct Case {
    int err;
    const char* message;
  };
  const Case cases[] = {
      {ENOENT, "File not found"},
      {ENAMETOOLONG, "Invalid filename"},
      {EMFILE, "Too many open files"},
      {ENFILE, "Too many open files"},
      {EACCES, "File access denied"},
      {EPERM, "File access denied"},
      {EROFS, "File access denied"},
      {EISDIR, "File access denied"},
      {ENOSPC, "Disk full"},
      {EDQUOT, "Disk full"},
      {EFBIG, "Disk full"},
      // Unnamed failures show their own number, also where it equals a named
      // code: EIO is 5, ENETUNREACH 101.
      {EIO, "I/O error 5"},
      {ENETUNREACH, "I/O error 101"},
      {EBADF, "I/O error 9"},
  };
  for (const Case& c : cases) EXPECT_EQ(InOutFailureFromErrno(c.err).Message, c.message) << c.err;
  EXPECT_EQ(InOutErrorMessage(32), "I/O error 32");
}

}  // namespace
}  // namespace velmo
