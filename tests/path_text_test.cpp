#include "platform/path_text.h"

#include <gtest/gtest.h>

#include "platform/os.h"
#include "test_support.h"

namespace velmo {
namespace {

TEST(ChangeExtension, ReplacesFromTheLastDotOfTheNamePart) {
  struct Case {
    const char* name;
    const char* extension;
    const char* result;
  };
  const Case cases[] = {
      {"velmo.ini", ".txt", "velmo.txt"},
      {"my.settings.ini", ".txt", "my.settings.txt"},
      {"settings", ".txt", "settings.txt"},
      {"conf.d/settings", ".txt", "conf.d/settings.txt"},
      {"velmo.", ".txt", "velmo.txt"},
      {"velmo.txt", ".html", "velmo.html"},
      {"/photo/lenses.txt", ".i", "/photo/lenses.i"},
      {"", ".txt", ".txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeExtension(c.name, c.extension), c.result) << c.name;
}

TEST(NamePart, DropsTheDirectory) {
  EXPECT_EQ(NamePart("/photo/my.lenses.html"), "my.lenses.html");
  EXPECT_EQ(NamePart("lenses.html"), "lenses.html");
  EXPECT_EQ(NamePart("/"), "");
}

TEST(ExpandPath, ResolvesDotsAsTextWithoutLimit) {
  struct Case {
    const char* directory;
    const char* name;
    const char* result;
  };
  const Case cases[] = {
      {"/home/ann", "lenses.ini", "/home/ann/lenses.ini"},
      {"/home/ann", "./sets/../lenses.ini", "/home/ann/lenses.ini"},
      {"/home/ann", "../bob//x.ini", "/home/bob/x.ini"},
      {"/home/ann", "/etc/./velmo.ini", "/etc/velmo.ini"},
      {"/", "../../x", "/x"},
      {"/home/ann", " lead.ini", "/home/ann/ lead.ini"},
      {"/home/ann", "sets/", "/home/ann/sets/"},
      {"/", "", "/"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandPath(c.directory, c.name), c.result) << c.name;
  std::string deep = "/" + std::string(300, 'd') + "/" + std::string(300, 'e');
  EXPECT_EQ(ExpandPath(deep, "../f.ini"), "/" + std::string(300, 'd') + "/f.ini");
}

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

TEST(HostPlatform, ADocumentHeldByAnotherProgramIsASharingViolation) {
  test::TempDir dir;
  HostPlatform platform;
  std::string name = dir.File("doc.txt");
  test::WriteFile(name, "earlier");
  auto first = platform.CreateDocument(name);
  first->Write("new", 3);
  try {
    platform.CreateDocument(name);
    FAIL() << "a second writer was let in";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 32);
    EXPECT_EQ(e.Message(), "I/O error 32");
  }
  first->Close();
  EXPECT_EQ(test::ReadFile(name), "new");
}

TEST(HostPlatform, CreatingADocumentReportsWhyItFailed) {
  test::TempDir dir;
  HostPlatform platform;
  try {
    platform.CreateDocument(dir.File("missing/doc.txt"));
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

}  // namespace
}  // namespace velmo
