// Writing a document over the old file in place, on a disk that runs out.
#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/io_error.h"
#include "platform/replacement.h"

namespace velmo {
namespace {

/// A file in memory whose disk fills up: while space is reserved (after
/// lengthening the file, as ext4 may) or part way through the first write
/// (as btrfs, which needs new room for every block it overwrites).
class FileOnFullDisk : public FileInPlace {
 public:
  FileOnFullDisk(std::string content, bool reserveFails, std::size_t writtenBeforeFull)
      : content(std::move(content)), reserveFails_(reserveFails), room_(writtenBeforeFull) {}

  std::uint64_t Size() override { return content.size(); }
  bool ReadAll(std::string& copy) override {
    copy = content;
    return true;
  }
  void Reserve(std::uint64_t size) override {
    if (!reserveFails_) return;
    content.resize(std::max<std::size_t>(content.size(), size / 2));
    RaiseInOutError(kDiskFull);
  }
  void WriteAt(const std::string& bytes) override {
    const std::size_t written = std::min(bytes.size(), room_);
    if (content.size() < written) content.resize(written);
    content.replace(0, written, bytes, 0, written);
    room_ = std::string::npos;  // what was written is given back
    if (written < bytes.size()) RaiseInOutError(kDiskFull);
  }
  void Truncate(std::uint64_t size) override { content.resize(size); }

  std::string content;

 private:
  bool reserveFails_;
  std::size_t room_;
};

TEST(WriteOver, ADiskThatFillsUpLeavesTheOldContentAsItWas) {
  struct Case {
    const char* what;
    bool reserveFails;
    std::size_t writtenBeforeFull;
  };
  const Case cases[] = {
      {"full while its space is reserved", true, std::string::npos},
      {"full part way through the write", false, 6},
  };
  const std::string older = "the old table, longer than the new";
  for (const Case& c : cases) {
    FileOnFullDisk file(older, c.reserveFails, c.writtenBeforeFull);
    EXPECT_THROW(WriteOver(file, "the new table, and longer still than the old one"), EInOutError) << c.what;
    EXPECT_EQ(file.content, older) << c.what;
  }
  FileOnFullDisk file(older, false, std::string::npos);
  WriteOver(file, "a short one");
  EXPECT_EQ(file.content, "a short one");
}

}  // namespace
}  // namespace velmo
