// The Windows platform layer on the real system (under wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/exceptions.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/win32_support.h"
#include "test_support.h"

namespace velmo {
namespace {

TEST(WindowsPaths, SplitAtBackslashesAndDriveLetters) {
  EXPECT_EQ(ChangeExtension("C:\\photo\\lenses.ini", ".txt"), "C:\\photo\\lenses.txt");
  EXPECT_EQ(ChangeExtension("C:\\photo.d\\lenses", ".txt"), "C:\\photo.d\\lenses.txt");
  EXPECT_EQ(ChangeExtension("C:x.ini", ".html"), "C:x.html");
  EXPECT_EQ(NamePart("\\\\server\\share\\lenses.i"), "lenses.i");
  EXPECT_EQ(NamePart("C:lenses.i"), "lenses.i");
  EXPECT_EQ(NamePart("D:/mixed\\lenses.i"), "lenses.i");
}

TEST(HostPlatform, SeesFilesAndDirectoriesByTheirWindowsNames) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string file = dir.File("a.ini");
  test::WriteFile(file, "x");
  EXPECT_TRUE(platform.FileExists(file));
  EXPECT_FALSE(platform.FileExists(dir.Path().string()));
  EXPECT_FALSE(platform.FileExists(dir.File("none.ini")));
  EXPECT_TRUE(platform.SameFile(file, dir.Path().string() + "\\.\\a.ini"));
  EXPECT_FALSE(platform.SameFile(file, dir.File("none.ini")));
  EXPECT_EQ(platform.FullPath("C:\\x\\..\\y.ini"), "C:\\y.ini");
  EXPECT_EQ(platform.ProgramFileName(), "platform_test.exe");
}

TEST(HostPlatform, ANonAsciiNameIsTheSameFileInEveryCall) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string name = dir.File("objektiv-\xC3\xA4\xC3\xB6\xC3\xBC-\xE5\x86\x99.ini");  // UTF-8
  auto document = platform.CreateDocument(name);
  document->Write("[VELMO]\r\n", 9);
  document->Close();
  EXPECT_TRUE(platform.FileExists(name));
  // The name on the disk is the Unicode one, not its bytes in a code page.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(reinterpret_cast<const char8_t*>(name.c_str()))));
  std::string content;
  ASSERT_TRUE(platform.ReadWholeFile(name, content));
  EXPECT_EQ(content, "[VELMO]\r\n");
}

TEST(HostPlatform, CreatingADocumentReportsTheSystemsCode) {
  test::TempDir dir;
  HostPlatform platform;
  try {
    platform.CreateDocument(dir.File("missing\\doc.txt"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 3);  // the path was not found
    EXPECT_EQ(e.Message(), "Invalid filename");
  }
  try {
    platform.CreateDocument(dir.Path().string());
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "File access denied");
  }
}

/// Replaces `name` with a document that says `text`.
void Replace(HostPlatform& platform, const std::string& name, const std::string& text) {
  auto document = platform.CreateDocument(name);
  document->Write(text.data(), text.size());
  document->Close();
}

TEST(HostPlatform, AReplacedDocumentKeepsItsAttributes) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string name = dir.File("doc.txt");
  test::WriteFile(name, "earlier");
  const DWORD attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(::SetFileAttributesW(Wide(name).c_str(), attributes));
  Replace(platform, name, "new");
  EXPECT_EQ(test::ReadFile(name), "new");
  EXPECT_EQ(::GetFileAttributesW(Wide(name).c_str()) & attributes, attributes);
}

TEST(HostPlatform, ALinkedDocumentsFileIsReplacedAndTheLinkKept) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string target = dir.File("archive.txt"), name = dir.File("doc.txt");
  test::WriteFile(target, "earlier");
  std::error_code error;
  std::filesystem::create_symlink(target, name, error);
  if (error || !std::filesystem::is_symlink(name))
    GTEST_SKIP() << "no symbolic links here: " << error.message();
  Replace(platform, name, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(name));
  EXPECT_EQ(test::ReadFile(target), "new");
}

TEST(HostPlatform, ASettingsFileHeldWithoutSharingIsAFailedRead) {
  test::TempDir dir;
  HostPlatform platform;
  const std::string name = dir.File("held.ini");
  test::WriteFile(name, "[VELMO]\r\n");
  HANDLE holder = ::CreateFileW(std::filesystem::path(name).wstring().c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  std::string content;
  try {
    platform.ReadWholeFile(name, content);
    ADD_FAILURE() << "a file that cannot be opened was read as empty";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 32);
  }
  ::CloseHandle(holder);
  EXPECT_FALSE(platform.ReadWholeFile(dir.File("none.ini"), content));
}

}  // namespace
}  // namespace velmo
