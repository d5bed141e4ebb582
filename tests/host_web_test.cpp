// The browser's platform layer: one settings file in, the document out
// only when it is whole, as the page relies on.
#include <gtest/gtest.h>

#include "numtext/number_settings.h"
#include "platform/browser_files.h"
#include "platform/os.h"
#include "run/run_sequence.h"
#include "test_support.h"

namespace velmo {
namespace {

const char kSettings[] = "[VELMO]\nHTML=0\nDistance=1 N\nAperture=8\nFocal=50\n";

int RunOn(const std::string& name, const std::string& bytes) {
  PutSettingsFile(name, bytes);
  HostPlatform platform;
  InitNumberSettings();
  auto in = StandardInput();
  auto out = StandardOutput();
  return RunVelmo({{name}}, *in, *out, platform);
}

TEST(BrowserPlatform, HandsTheWholeDocumentToThePageToShow) {
  ASSERT_EQ(RunOn("dof.ini", kSettings), 0);
  const BrowserDocument& document = WrittenDocument();
  EXPECT_EQ(document.Name, "/dof.txt");
  EXPECT_NE(document.Bytes.find("F = 50.0 mm"), std::string::npos) << document.Bytes;
  EXPECT_TRUE(document.Shown);
  EXPECT_NE(ConsoleText().find("\r\nCreated /dof.txt\r\n"), std::string::npos) << ConsoleText();
}

TEST(BrowserPlatform, ADocumentLeftUnfinishedIsNeverWritten) {
  PutSettingsFile("dof.ini", kSettings);
  HostPlatform platform;
  platform.CreateDocument("dof.txt")->Write("half", 4);
  EXPECT_FALSE(WrittenDocument().Written);
  EXPECT_FALSE(platform.FileExists("dof.txt"));
  EXPECT_TRUE(platform.FileExists("/dof.ini"));
}

TEST(BrowserPlatform, ADocumentThatWouldReplaceTheSettingsFileIsRefused) {
  ASSERT_EQ(RunOn("dof.txt", kSettings), 0);
  EXPECT_FALSE(WrittenDocument().Written);
  EXPECT_NE(ConsoleText().find("*** ERROR: /dof.txt would replace the settings file"), std::string::npos);
}

}  // namespace
}  // namespace velmo
