// What the run needs of the operating system, behind one interface: the
// host system's files, or a disk in memory (memory_platform.h) for the
// browser and the tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/byte_stream.h"

namespace velmo {

class Platform {
 public:
  virtual ~Platform() = default;

  /// True when an entry of that name exists and is not a directory. A
  /// relative name counts from the current directory.
  virtual bool FileExists(const std::string& name) = 0;
  /// The current directory as a full path. Throws EInOutError.
  virtual std::string CurrentDirectory() = 0;
  /// `name` as a full path: joined to the current directory, "." and ".."
  /// resolved as text, unless that names another directory than `name`
  /// reaches (".." after a symbolic link): then the real path of the
  /// directory `name` reaches, and its name part.
  virtual std::string FullPath(const std::string& name) = 0;
  /// True when the two names reach the same existing file, through links
  /// or different spellings.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
  /// Starts the output document. Nothing is written until Close, which puts
  /// the whole document in place of an older one, keeping that file's
  /// owner, group, permissions, attributes and other names; a sink
  /// destroyed without Close (a failed run) leaves everything as it was. A
  /// device or a pipe is written as the bytes come. Null when the name
  /// leads through a symbolic link that the run must not follow: another
  /// user's, in a directory where anyone may make entries (a world-writable
  /// sticky one, as /tmp), so possibly planted there. Throws EInOutError: a
  /// document that cannot be written gives code 5, one another program
  /// holds code 32.
  virtual std::unique_ptr<ByteSink> CreateDocument(const std::string& name) = 0;
  /// Reads the whole file `name` into `content`: a regular file, or a named
  /// pipe to the end of what is written into it. False, with `content`
  /// empty, when it is not there or is a device, which would be read
  /// forever; a file that cannot be opened or read throws EInOutError.
  virtual bool ReadWholeFile(const std::string& name, std::string& content) = 0;
  /// Shows the document `name` with the desktop's viewer for its type.
  /// Never waits for the viewer and never reports: whatever happens, the
  /// run goes on.
  virtual void OpenInViewer(const std::string& name) = 0;
  /// The program's own file name, without its directory.
  virtual std::string ProgramFileName() = 0;
  /// Process-wide set-up before the run: a closed pipe on standard output
  /// and a file-size limit become failed writes, not silent deaths, a
  /// closed console stream cannot lend its number to the document, and a
  /// failed allocation notes its position.
  virtual void PrepareProcess() = 0;
};

/// The operating system this program was built for.
class HostPlatform : public Platform {
 public:
  bool FileExists(const std::string& name) override;
  std::string CurrentDirectory() override;
  std::string FullPath(const std::string& name) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::unique_ptr<ByteSink> CreateDocument(const std::string& name) override;
  bool ReadWholeFile(const std::string& name, std::string& content) override;
  void OpenInViewer(const std::string& name) override;
  std::string ProgramFileName() override;
  void PrepareProcess() override;
};

/// The arguments of the command line, without the program's name, in UTF-8.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// Standard input and output of the process. Failures throw EInOutError.
std::unique_ptr<ByteSource> StandardInput();
std::unique_ptr<ByteSink> StandardOutput();

}  // namespace velmo
