// The output document on Windows. It is written under a temporary name
// beside the document and moved over it only when complete, so a run that
// fails (a full disk, Ctrl+C, a closed console window) leaves the document
// of the last good run as it was, and nothing new.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/win32_support.h"

namespace velmo {

namespace {

// The temporary file being written, for the console's handler; null when
// none.
const wchar_t* volatile pendingFile = nullptr;

/// Ctrl+C, Ctrl+Break, a closed window: the temporary file goes (it is
/// removed once the process ends and its handle closes), then the run ends
/// as it would have.
BOOL WINAPI RemovePendingFile(DWORD) {
  if (const wchar_t* file = pendingFile) ::DeleteFileW(file);
  return FALSE;
}

/// The new document under its temporary name: Close moves it over the
/// document; destroyed without that, it removes itself.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(std::wstring document, std::wstring temporary, HANDLE handle, HANDLE old)
      : document_(std::move(document)), temporary_(std::move(temporary)), file_(handle, true), old_(old) {
    pendingFile = temporary_.c_str();
    ::SetConsoleCtrlHandler(RemovePendingFile, TRUE);
  }
  ReplacingSink(const ReplacingSink&) = delete;
  ReplacingSink& operator=(const ReplacingSink&) = delete;
  ~ReplacingSink() override {
    ::SetConsoleCtrlHandler(RemovePendingFile, FALSE);
    pendingFile = nullptr;
    ReleaseOld();
    // Opened for sharing deletion: removed once its handle is closed.
    if (!replaced_) ::DeleteFileW(temporary_.c_str());
  }

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (replaced_) return;
    file_.Close();
    // The old document is held until it is replaced, so that no other
    // program (a second Velmo) writes it meanwhile. One that opens it in the
    // moment between makes the move fail as opening it would have.
    ReleaseOld();
    if (!::MoveFileExW(temporary_.c_str(), document_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      RaiseWindowsError(::GetLastError());
    }
    replaced_ = true;
  }

 private:
  void ReleaseOld() {
    if (old_ != INVALID_HANDLE_VALUE) ::CloseHandle(old_);
    old_ = INVALID_HANDLE_VALUE;
  }

  std::wstring document_;
  std::wstring temporary_;
  HandleSink file_;
  HANDLE old_;  // the old document, held open for writing; or none
  bool replaced_ = false;
};

}  // namespace

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  const std::wstring document = Wide(name);
  // The old document is asked first for what replacing it takes: the right
  // to write it, and no other program writing it (the sharing violation).
  HANDLE old = ::CreateFileW(document.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (old == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    if (err != ERROR_FILE_NOT_FOUND) RaiseWindowsError(err);
  } else if (::GetFileType(old) != FILE_TYPE_DISK) {
    // A device has no old content to keep: it is simply written.
    return std::make_unique<HandleSink>(old, true);
  }
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring temporary = Wide(TemporaryNameBeside(name, ::GetCurrentProcessId(), attempt));
    HANDLE handle =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
      return std::make_unique<ReplacingSink>(document, temporary, handle, old);
    const DWORD err = ::GetLastError();
    if (err != ERROR_FILE_EXISTS || attempt == 99) {
      if (old != INVALID_HANDLE_VALUE) ::CloseHandle(old);
      RaiseWindowsError(err);
    }
  }
}

}  // namespace velmo
