// A disk in memory, beside the host system's: the browser edition runs on
// it (a browser gives a page no files), and so do the tests of the run.
// Files are kept by full path below one current directory; a document
// reaches the disk only when it is closed whole, as on the host system.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os.h"

namespace velmo {

class MemoryPlatform : public Platform {
 public:
  explicit MemoryPlatform(std::string currentDirectory = "/", std::string programFileName = "velmo");

  bool FileExists(const std::string& name) override;
  std::string CurrentDirectory() override;
  std::string FullPath(const std::string& name) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<ByteSink> CreateDocument(const std::string& name) override;
  bool ReadWholeFile(const std::string& name, std::string& content) override;
  void OpenInViewer(const std::string& name) override;
  std::string ProgramFileName() override;
  void PrepareProcess() override;

  /// Every file, by full path: the settings files put here, the documents
  /// once closed.
  std::map<std::string, std::string> Files;
  /// The full paths of the documents closed, in order.
  std::vector<std::string> Written;
  /// The full paths of the documents the run asked to show, in order.
  std::vector<std::string> Viewed;

 private:
  std::string currentDirectory_;
  std::string programFileName_;
};

}  // namespace velmo
