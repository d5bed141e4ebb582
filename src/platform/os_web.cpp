// The host platform in a web browser (WebAssembly). The disk holds one
// file, the settings file the page handed in, in the root directory "/";
// the document is kept in memory when it is complete, as the desktop puts
// it in place only then; "open" asks the page to show it; the console's
// input is empty and its output is text. Nothing reaches the user's disk or
// the network.
#include <cstdint>
#include <utility>

#include "platform/browser_files.h"
#include "platform/os.h"
#include "platform/path_text.h"

namespace velmo {

namespace {

constexpr char kRoot[] = "/";

struct BrowserDisk {
  std::string SettingsName;
  std::string SettingsBytes;
  BrowserDocument Document;
  std::string Console;
};

BrowserDisk& Disk() {
  static BrowserDisk disk;
  return disk;
}

std::string Full(const std::string& name) {
  return ExpandPath(kRoot, name);
}

/// The document as the run writes it; it reaches the disk only whole.
class DocumentSink : public ByteSink {
 public:
  explicit DocumentSink(std::string name) : name_(std::move(name)) {}
  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }
  void Close() override {
    BrowserDocument& document = Disk().Document;
    document.Name = std::move(name_);
    document.Bytes = std::move(bytes_);
    document.Written = true;
  }

 private:
  std::string name_;
  std::string bytes_;
};

class ConsoleSink : public ByteSink {
 public:
  void Write(const char* data, std::size_t size) override { Disk().Console.append(data, size); }
  void Close() override {}
};

class EmptySource : public ByteSource {
 public:
  std::size_t Read(char*, std::size_t) override { return 0; }
};

}  // namespace

void PutSettingsFile(const std::string& name, std::string bytes) {
  Disk() = BrowserDisk{Full(name), std::move(bytes), {}, {}};
}

const BrowserDocument& WrittenDocument() {
  return Disk().Document;
}

const std::string& ConsoleText() {
  return Disk().Console;
}

bool HostPlatform::FileExists(const std::string& name) {
  if (name.empty()) return false;
  const std::string full = Full(name);
  const BrowserDisk& disk = Disk();
  return full == disk.SettingsName || (disk.Document.Written && full == disk.Document.Name);
}

std::string HostPlatform::CurrentDirectory() {
  return kRoot;
}

std::string HostPlatform::FullPath(const std::string& name) {
  return Full(name);
}

bool HostPlatform::SameFile(const std::string& a, const std::string& b) {
  return FileExists(a) && Full(a) == Full(b);
}

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  return std::make_unique<DocumentSink>(Full(name));
}

bool HostPlatform::ReadWholeFile(const std::string& name, std::string& content) {
  const bool found = !name.empty() && Full(name) == Disk().SettingsName;
  content = found ? Disk().SettingsBytes : std::string();
  return found;
}

void HostPlatform::OpenInViewer(std::string_view verb, const std::string& name) {
  BrowserDocument& document = Disk().Document;
  if (verb == "open" && document.Written && Full(name) == document.Name) document.Shown = true;
}

std::string HostPlatform::ProgramFileName() {
  return "velmo.wasm";
}

std::uint32_t HostPlatform::CodePosition(const void* returnAddress) {
  // A WebAssembly module has no load address: a return address is already
  // the call's byte offset within the module's file.
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(returnAddress));
}

const void* HostPlatform::AllocationFailureAddress() {
  return nullptr;
}

void HostPlatform::PrepareProcess() {}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::unique_ptr<ByteSource> StandardInput() {
  return std::make_unique<EmptySource>();
}

std::unique_ptr<ByteSink> StandardOutput() {
  return std::make_unique<ConsoleSink>();
}

}  // namespace velmo
