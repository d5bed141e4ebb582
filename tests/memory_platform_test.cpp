// The disk in memory that the browser edition runs on: one settings file
// in, the document out only when it is whole, as the page relies on.
#include <gtest/gtest.h>

#include "platform/memory_platform.h"
#include "run/run_sequence.h"
#include "test_support.h"

namespace velmo {
namespace {

const char kSettings[] = "[VELMO]\nHTML=0\nDistance=1 N\nAperture=8\nFocal=50\n";

struct Browser {
  int Run(const std::string& name) {
    disk.Files[disk.FullPath(name)] = kSettings;
    test::MemorySource in("");
    return RunProgram(disk, {{name}}, in, console);
  }
  MemoryPlatform disk;
  test::MemorySink console;
};

TEST(MemoryPlatform, KeepsTheWholeDocumentAndTheWishToShowIt) {
  Browser browser;
  ASSERT_EQ(browser.Run("dof.ini"), 0);
  EXPECT_EQ(browser.disk.Written, std::vector<std::string>{"/dof.txt"});
  EXPECT_NE(browser.disk.Files.at("/dof.txt").find("F = 50.0 mm"), std::string::npos);
  EXPECT_EQ(browser.disk.Viewed, std::vector<std::string>{"/dof.txt"});
  EXPECT_NE(browser.console.bytes.find("\r\nCreated /dof.txt\r\n"), std::string::npos)
      << browser.console.bytes;
}

TEST(MemoryPlatform, ADocumentLeftUnfinishedIsNeverWritten) {
  MemoryPlatform disk("/work");
  disk.Files["/work/dof.ini"] = kSettings;
  disk.CreateDocument("dof.txt")->Write("half", 4);
  EXPECT_TRUE(disk.Written.empty());
  EXPECT_FALSE(disk.FileExists("dof.txt"));
  EXPECT_TRUE(disk.FileExists("/work/dof.ini"));
  EXPECT_TRUE(disk.SameFile("dof.ini", "../work/./dof.ini"));
}

TEST(MemoryPlatform, ADocumentThatWouldReplaceTheSettingsFileIsRefused) {
  Browser browser;
  ASSERT_EQ(browser.Run("dof.txt"), 0);
  EXPECT_TRUE(browser.disk.Written.empty());
  EXPECT_NE(browser.console.bytes.find("*** ERROR: /dof.txt would replace the settings file"),
            std::string::npos);
}

}  // namespace
}  // namespace velmo
