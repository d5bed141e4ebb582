// The output document on Windows. A name that is a symbolic link is
// followed to the file it names, which is replaced while the link stays.
// The whole new document is made before the old file is touched, and then
// takes its place in the way ChooseReplacement picks:
// - written into a temporary file beside it, which ReplaceFileW puts in its
//   place, giving it the old file's security (owner and access list),
//   creation time and short name, and then its attributes (hidden, system,
//   read-only): readers see the old document or the new one, never a part;
// - or kept in memory and written over the old file (WriteOver), with
//   Ctrl+C waiting until the last byte is written.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/replacement.h"
#include "platform/win32_support.h"

namespace velmo {

namespace {

// Held while the old document is written over; the console's handler waits
// for it.
SRWLOCK inPlaceWrite = SRWLOCK_INIT;
// The temporary file being written, for the console's handler, which runs
// on a thread of its own; null when none.
std::atomic<const wchar_t*> pendingFile{nullptr};

/// Ctrl+C, Ctrl+Break, a closed window: a document being written over is
/// finished first, a temporary file goes, then the run ends as it would
/// have.
BOOL WINAPI EndWithoutLeftovers(DWORD) {
  ::AcquireSRWLockExclusive(&inPlaceWrite);
  if (const wchar_t* file = pendingFile.load()) ::DeleteFileW(file);
  ::ReleaseSRWLockExclusive(&inPlaceWrite);
  return FALSE;
}

/// The console's handler, installed while the document is made.
class ConsoleEndsWithoutLeftovers {
 public:
  ConsoleEndsWithoutLeftovers() { ::SetConsoleCtrlHandler(EndWithoutLeftovers, TRUE); }
  ConsoleEndsWithoutLeftovers(const ConsoleEndsWithoutLeftovers&) = delete;
  ConsoleEndsWithoutLeftovers& operator=(const ConsoleEndsWithoutLeftovers&) = delete;
  ~ConsoleEndsWithoutLeftovers() { ::SetConsoleCtrlHandler(EndWithoutLeftovers, FALSE); }
};

void CloseChecked(HANDLE& handle) {
  HANDLE closing = handle;
  handle = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(closing)) RaiseWindowsError(::GetLastError());
}

/// A new file of a random name beside the document; removed when destroyed
/// before it is renamed.
class TemporaryFile {
 public:
  /// handle() is INVALID_HANDLE_VALUE, with the reason in error(), when the
  /// directory takes no new file from this user (which may still let the
  /// old document be written); other failures throw.
  explicit TemporaryFile(const std::string& document) {
    for (int attempt = 0; attempt < 100 && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
      name_ = Wide(TemporaryNameBeside(document, ::GetCurrentProcessId()));
      handle_ = ::CreateFileW(name_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      error_ = handle_ == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
      if (error_ != 0 && error_ != ERROR_FILE_EXISTS) break;
    }
    if (error_ != 0 && error_ != ERROR_ACCESS_DENIED) RaiseWindowsError(error_);
    if (error_ == 0) pendingFile.store(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (error_ != 0) return;
    pendingFile.store(nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    if (!kept_) ::DeleteFileW(name_.c_str());
  }

  HANDLE handle() const { return handle_; }
  DWORD error() const { return error_; }

  /// Closes the file and puts it in the place of `document`, replacing
  /// `old` (released first) where there is one, whose `attributes` it
  /// takes.
  void Rename(const std::wstring& document, HANDLE& old, DWORD attributes) {
    CloseChecked(handle_);
    if (old == INVALID_HANDLE_VALUE) {
      if (!::MoveFileExW(name_.c_str(), document.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        RaiseWindowsError(::GetLastError());
      }
      kept_ = true;
      return;
    }
    // The old document is held until now, so that no other program (a
    // second Velmo) writes it meanwhile. One that opens it in the moment
    // between makes the replacement fail as opening it would have.
    CloseChecked(old);
    if (!::ReplaceFileW(document.c_str(), name_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr)) {
      const DWORD err = ::GetLastError();
      // The old file is gone and the new one still has its temporary name:
      // it only has to be moved.
      if (err != ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
          !::MoveFileExW(name_.c_str(), document.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        RaiseWindowsError(err);
      }
    }
    kept_ = true;
    // Not every ReplaceFileW keeps them (wine's is a move).
    if (!::SetFileAttributesW(document.c_str(), attributes)) RaiseWindowsError(::GetLastError());
  }

 private:
  std::wstring name_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
  bool kept_ = false;
};

/// The old document, held open for writing until the new one takes its
/// place; or none.
using OldDocument = OwnedHandle;

/// The new document written into a temporary file, which Close puts in the
/// document's place.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(const std::wstring& document, std::unique_ptr<TemporaryFile> temporary, OldDocument&& old,
                DWORD attributes)
      : document_(document),
        temporary_(std::move(temporary)),
        file_(temporary_->handle(), false),
        old_(std::move(old)),
        attributes_(attributes) {}

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (!temporary_) return;
    temporary_->Rename(document_, old_.handle(), attributes_);
    temporary_.reset();
  }

 private:
  ConsoleEndsWithoutLeftovers console_;
  std::wstring document_;
  std::unique_ptr<TemporaryFile> temporary_;
  HandleSink file_;
  OldDocument old_;
  DWORD attributes_;
};

void MoveTo(HANDLE file, std::uint64_t position) {
  LARGE_INTEGER where;
  where.QuadPart = static_cast<LONGLONG>(position);
  if (!::SetFilePointerEx(file, where, nullptr, FILE_BEGIN)) RaiseWindowsError(::GetLastError());
}

/// The old document as WriteOver needs it.
class FileOnDisk : public FileInPlace {
 public:
  FileOnDisk(HANDLE file, bool readable) : file_(file), readable_(readable) {}

  std::uint64_t Size() override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file_, &size)) RaiseWindowsError(::GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  bool ReadAll(std::string& content) override {
    content.resize(readable_ ? Size() : 0);
    MoveTo(file_, 0);
    for (std::size_t done = 0; done < content.size();) {
      DWORD read = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
      if (!::ReadFile(file_, content.data() + done, chunk, &read, nullptr) || read == 0) return false;
      done += read;
    }
    return readable_;
  }

  void Reserve(std::uint64_t size) override {
    // A file system allocates what lies before a file's end.
    if (size > Size()) Truncate(size);
  }

  void WriteAt(const std::string& bytes) override {
    MoveTo(file_, 0);
    HandleSink(file_, false).Write(bytes.data(), bytes.size());
  }

  void Truncate(std::uint64_t size) override {
    MoveTo(file_, size);
    if (!::SetEndOfFile(file_)) RaiseWindowsError(::GetLastError());
  }

 private:
  HANDLE file_;
  bool readable_;
};

/// The new document kept in memory, which Close writes over the old file;
/// that file keeps every name, attribute and permission it had.
class InPlaceSink : public ByteSink {
 public:
  InPlaceSink(OldDocument&& old, bool readable) : old_(std::move(old)), readable_(readable) {}

  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }

  void Close() override {
    HANDLE& old = old_.handle();
    if (old == INVALID_HANDLE_VALUE) return;
    {
      ::AcquireSRWLockExclusive(&inPlaceWrite);
      struct Release {
        ~Release() { ::ReleaseSRWLockExclusive(&inPlaceWrite); }
      } release;
      FileOnDisk file(old, readable_);
      WriteOver(file, bytes_);
    }
    CloseChecked(old);
  }

 private:
  ConsoleEndsWithoutLeftovers console_;
  OldDocument old_;
  bool readable_;
  std::string bytes_;
};

/// The full name of the file `handle` is open on, at the end of every link;
/// `name` where the file system cannot tell.
std::wstring FinalName(HANDLE handle, std::wstring name) {
  std::wstring path(32768, L'\0');  // the longest name Windows has
  const DWORD size = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (size == 0 || size >= path.size()) return name;
  path.resize(size);
  return path;
}

}  // namespace

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  // The old document is asked first for what replacing it takes: the right
  // to write it (and to read it, for putting it back), and no other
  // program writing it (the sharing violation).
  const std::wstring wide = Wide(name);
  const auto open = [&](DWORD access) {
    return ::CreateFileW(wide.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  };
  HANDLE handle = open(GENERIC_READ | GENERIC_WRITE);
  const bool readable = handle != INVALID_HANDLE_VALUE;
  if (!readable && ::GetLastError() == ERROR_ACCESS_DENIED) handle = open(GENERIC_WRITE);
  OldDocument old(handle);
  OldDocumentFacts facts;
  facts.exists = handle != INVALID_HANDLE_VALUE;
  if (!facts.exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) RaiseWindowsError(::GetLastError());
  BY_HANDLE_FILE_INFORMATION info{};
  info.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  facts.regular = !facts.exists || ::GetFileType(handle) == FILE_TYPE_DISK;
  if (facts.exists && facts.regular) {
    if (!::GetFileInformationByHandle(handle, &info)) RaiseWindowsError(::GetLastError());
    facts.otherNames = info.nNumberOfLinks > 1;
  }
  std::unique_ptr<TemporaryFile> temporary;
  // By its full path, at the end of every link: ReplaceFileW finds the
  // directory for its own temporary names in it.
  std::wstring document = Wide(FullPath(name));
  if (facts.exists && facts.regular) document = FinalName(handle, document);
  if (ChooseReplacement(facts) == Replacement::kRename) {
    temporary = std::make_unique<TemporaryFile>(Utf8(document));
    facts.newFileAllowed = temporary->handle() != INVALID_HANDLE_VALUE;
  }
  switch (ChooseReplacement(facts)) {
    case Replacement::kRefuse: return nullptr;
    case Replacement::kStream: {
      // The handle changes owner only once the sink is there to take it.
      auto sink = std::make_unique<HandleSink>(old.handle(), true);
      old.Release();
      return sink;
    }
    case Replacement::kRename:
      if (!facts.newFileAllowed) RaiseWindowsError(temporary->error());
      return std::make_unique<ReplacingSink>(document, std::move(temporary), std::move(old),
                                             info.dwFileAttributes);
    case Replacement::kInPlace: break;
  }
  temporary.reset();
  return std::make_unique<InPlaceSink>(std::move(old), readable);
}

}  // namespace velmo
