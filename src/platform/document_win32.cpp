// The output document on Windows. The whole new document is made before
// the old file is touched, so a run that fails while the tables are
// computed leaves everything as it was; then it takes the old one's place
// in one of two ways.
// - Written into a temporary file beside it, which ReplaceFileW puts in its
//   place, giving it the old file's attributes, security (owner and access
//   list), creation time and short name: readers see the old document or
//   the new one, never a part.
// - Where a new file cannot be the old one (other hard links share it, or
//   the directory takes no new file), kept in memory and written over the
//   old file: its end is moved out first, so a full disk fails before a
//   byte changes, and Ctrl+C waits until the last byte is written.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/win32_support.h"

namespace velmo {

namespace {

// Held while the old document is written over; the console's handler waits
// for it.
SRWLOCK inPlaceWrite = SRWLOCK_INIT;
// The temporary file being written, for the console's handler; null when
// none.
const wchar_t* volatile pendingFile = nullptr;

/// Ctrl+C, Ctrl+Break, a closed window: a document being written over is
/// finished first, a temporary file goes, then the run ends as it would
/// have.
BOOL WINAPI EndWithoutLeftovers(DWORD) {
  ::AcquireSRWLockExclusive(&inPlaceWrite);
  if (const wchar_t* file = pendingFile) ::DeleteFileW(file);
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
  /// directory takes no new file.
  explicit TemporaryFile(const std::string& document) {
    for (int attempt = 0; attempt < 100 && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
      name_ = Wide(TemporaryNameBeside(document, ::GetCurrentProcessId()));
      handle_ = ::CreateFileW(name_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      error_ = handle_ == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
      if (error_ != 0 && error_ != ERROR_FILE_EXISTS) break;
    }
    if (error_ == 0) pendingFile = name_.c_str();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (error_ != 0) return;
    pendingFile = nullptr;
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    if (!kept_) ::DeleteFileW(name_.c_str());
  }

  HANDLE handle() const { return handle_; }
  DWORD error() const { return error_; }

  /// Closes the file and puts it in the place of `document`, replacing
  /// `old` (released first) where there is one.
  void Rename(const std::wstring& document, HANDLE& old) {
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
  }

 private:
  std::wstring name_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = 0;
  bool kept_ = false;
};

/// The old document, held open for writing until the new one takes its
/// place; or none.
class OldDocument {
 public:
  explicit OldDocument(HANDLE handle) : handle_(handle) {}
  OldDocument(const OldDocument&) = delete;
  OldDocument& operator=(const OldDocument&) = delete;
  ~OldDocument() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  HANDLE& handle() { return handle_; }

 private:
  HANDLE handle_;
};

/// The new document written into a temporary file, which Close puts in the
/// document's place.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(const std::string& document, std::unique_ptr<TemporaryFile> temporary, HANDLE old)
      : document_(Wide(document)),
        temporary_(std::move(temporary)),
        file_(temporary_->handle(), false),
        old_(old) {}

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (!temporary_) return;
    temporary_->Rename(document_, old_.handle());
    temporary_.reset();
  }

 private:
  ConsoleEndsWithoutLeftovers console_;
  std::wstring document_;
  std::unique_ptr<TemporaryFile> temporary_;
  HandleSink file_;
  OldDocument old_;
};

void MoveTo(HANDLE file, LONGLONG position) {
  LARGE_INTEGER where;
  where.QuadPart = position;
  if (!::SetFilePointerEx(file, where, nullptr, FILE_BEGIN)) RaiseWindowsError(::GetLastError());
}

/// The new document kept in memory, which Close writes over the old file;
/// that file keeps every name, attribute and permission it had.
class InPlaceSink : public ByteSink {
 public:
  explicit InPlaceSink(HANDLE old) : old_(old) {}

  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }

  void Close() override {
    HANDLE& old = old_.handle();
    if (old == INVALID_HANDLE_VALUE) return;
    WriteOver(old);
    CloseChecked(old);
  }

 private:
  void WriteOver(HANDLE old) {
    ::AcquireSRWLockExclusive(&inPlaceWrite);
    struct Release {
      ~Release() { ::ReleaseSRWLockExclusive(&inPlaceWrite); }
    } release;
    const auto size = static_cast<LONGLONG>(bytes_.size());
    LARGE_INTEGER current;
    if (!::GetFileSizeEx(old, &current)) RaiseWindowsError(::GetLastError());
    // The space first: a file system allocates what lies before its end.
    if (size > current.QuadPart) {
      MoveTo(old, size);
      if (!::SetEndOfFile(old)) RaiseWindowsError(::GetLastError());
    }
    MoveTo(old, 0);
    HandleSink(old, false).Write(bytes_.data(), bytes_.size());
    MoveTo(old, size);
    if (!::SetEndOfFile(old)) RaiseWindowsError(::GetLastError());
  }

  ConsoleEndsWithoutLeftovers console_;
  OldDocument old_;
  std::string bytes_;
};

bool SharedWithOtherNames(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1;
}

}  // namespace

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  // The old document is asked first for what replacing it takes: the right
  // to write it, and no other program writing it (the sharing violation).
  HANDLE old = ::CreateFileW(Wide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool hasOld = old != INVALID_HANDLE_VALUE;
  if (!hasOld && ::GetLastError() != ERROR_FILE_NOT_FOUND) RaiseWindowsError(::GetLastError());
  // A device has no old content to keep: it is written as the tables are.
  if (hasOld && ::GetFileType(old) != FILE_TYPE_DISK) return std::make_unique<HandleSink>(old, true);
  if (!(hasOld && SharedWithOtherNames(old))) {
    // By its full path: ReplaceFileW finds the directory for its own
    // temporary names in it.
    const std::string document = FullPath(name);
    auto temporary = std::make_unique<TemporaryFile>(document);
    if (temporary->handle() != INVALID_HANDLE_VALUE) {
      return std::make_unique<ReplacingSink>(document, std::move(temporary), old);
    }
    // A directory that takes no new file, around a document that may be
    // written: written over in place.
    if (!(hasOld && temporary->error() == ERROR_ACCESS_DENIED)) {
      if (hasOld) ::CloseHandle(old);
      RaiseWindowsError(temporary->error());
    }
  }
  return std::make_unique<InPlaceSink>(old);
}

}  // namespace velmo
