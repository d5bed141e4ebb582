// What every platform layer does alike on the real system.
#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/os.h"
#include "test_support.h"

namespace velmo {
namespace {

TEST(HostPlatform, ASecondWriterOfTheDocumentIsASharingViolation) {
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

}  // namespace
}  // namespace velmo
