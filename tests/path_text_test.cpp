#include "platform/path_text.h"

#include <gtest/gtest.h>

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

TEST(FileSystemName, IsTheNameTheSystemOpens) {
#ifdef _WIN32
  EXPECT_EQ(FileSystemName("sp.txt."), "sp.txt");
  EXPECT_EQ(FileSystemName("C:\\photo\\lenses.ini . "), "C:\\photo\\lenses.ini");
  EXPECT_EQ(FileSystemName("photo.d\\.."), "photo.d\\..");
#else
  EXPECT_EQ(FileSystemName("sp.txt."), "sp.txt.");
#endif
  EXPECT_EQ(FileSystemName("lenses.ini"), "lenses.ini");
}

TEST(NamePart, DropsTheDirectory) {
  EXPECT_EQ(NamePart("/photo/my.lenses.html"), "my.lenses.html");
  EXPECT_EQ(NamePart("lenses.html"), "lenses.html");
  EXPECT_EQ(NamePart("/"), "");
}

TEST(TemporaryName, IsHiddenBesideTheDocumentAndKnownAsOurs) {
  const std::string first = TemporaryNameBeside("/photo/lenses.html", 4242);
  EXPECT_NE(first, TemporaryNameBeside("/photo/lenses.html", 4242)) << "a name another user could guess";
  ASSERT_TRUE(first.starts_with("/photo/.velmo-4242-")) << first;
  unsigned long process = 0;
  EXPECT_TRUE(IsTemporaryName(NamePart(first), process));
  EXPECT_EQ(process, 4242u);
  EXPECT_TRUE(IsTemporaryName(".velmo-17-3.tmp", process));  // as an earlier version named them
  EXPECT_EQ(process, 17u);
  for (const char* other :
       {".velmo-17.tmp", ".velmo--3.tmp", ".velmo-17-.tmp", ".velmo-x7-3.tmp", ".velmo-17-3G.tmp",
        "velmo-17-3.tmp", ".velmo-17-3.tmp~", ".velmo-1234567890-3.tmp"}) {
    EXPECT_FALSE(IsTemporaryName(other, process)) << other;
  }
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

}  // namespace
}  // namespace velmo
