#include "platform/memory_platform.h"

#include <utility>

#include "platform/path_text.h"

namespace velmo {

namespace {

/// The document as the run writes it; it reaches the disk only whole.
class MemoryDocument : public ByteSink {
 public:
  MemoryDocument(MemoryPlatform& disk, std::string name) : disk_(disk), name_(std::move(name)) {}
  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }
  void Close() override {
    disk_.Files[name_] = std::move(bytes_);
    disk_.Written.push_back(name_);
  }

 private:
  MemoryPlatform& disk_;
  std::string name_;
  std::string bytes_;
};

}  // namespace

MemoryPlatform::MemoryPlatform(std::string currentDirectory, std::string programFileName)
    : currentDirectory_(std::move(currentDirectory)), programFileName_(std::move(programFileName)) {}

bool MemoryPlatform::FileExists(const std::string& name) {
  return !name.empty() && Files.count(FullPath(name)) != 0;
}

std::string MemoryPlatform::CurrentDirectory() {
  return currentDirectory_;
}

std::string MemoryPlatform::FullPath(const std::string& name) {
  return ExpandPath(currentDirectory_, name);
}

bool MemoryPlatform::SameFile(const std::string& a, const std::string& b) {
  return FileExists(a) && FullPath(a) == FullPath(b);
}

std::unique_ptr<ByteSink> MemoryPlatform::CreateDocument(const std::string& name) {
  return std::make_unique<MemoryDocument>(*this, FullPath(name));
}

bool MemoryPlatform::ReadWholeFile(const std::string& name, std::string& content) {
  const auto file = name.empty() ? Files.end() : Files.find(FullPath(name));
  content = file == Files.end() ? std::string() : file->second;
  return file != Files.end();
}

void MemoryPlatform::OpenInViewer(const std::string& name) {
  Viewed.push_back(FullPath(name));
}

std::string MemoryPlatform::ProgramFileName() {
  return programFileName_;
}

void MemoryPlatform::PrepareProcess() {}

}  // namespace velmo
