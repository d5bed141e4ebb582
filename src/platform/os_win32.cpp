// The host platform on Windows: wide-character calls, UTF-8 inside the
// program.
#include <windows.h>

#include <float.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/code_position.h"
#include "platform/exceptions.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/win32_support.h"

namespace velmo {

namespace {

class HandleSource : public ByteSource {
 public:
  explicit HandleSource(HANDLE handle) : handle_(handle), console_(IsConsole(handle)) {}

  std::size_t Read(char* buffer, std::size_t capacity) override {
    if (console_) return ReadConsole(buffer, capacity);
    DWORD read = 0;
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30)), &read,
                    nullptr)) {
      const DWORD err = ::GetLastError();
      // The writer of a pipe went away: the end of input.
      if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF) return 0;
      RaiseWindowsError(err);
    }
    return read;
  }

 private:
  /// Wide characters from the console, handed on as UTF-8.
  std::size_t ReadConsole(char* buffer, std::size_t capacity) {
    if (pending_.empty()) {
      wchar_t wide[1024];
      DWORD read = 0;
      if (!::ReadConsoleW(handle_, wide, 1024, &read, nullptr)) RaiseWindowsError(::GetLastError());
      pending_ = Utf8(std::wstring_view(wide, read));
      // Ctrl+Z at the start of a line is the end of console input.
      if (pending_.empty() || pending_.front() == '\x1A') return 0;
    }
    const std::size_t n = std::min(capacity, pending_.size());
    pending_.copy(buffer, n);
    pending_.erase(0, n);
    return n;
  }

  HANDLE handle_;
  bool console_;
  std::string pending_;
};

/// Opens `name` for no access at all, just to ask about the file.
HANDLE OpenToAsk(const std::string& name) {
  return ::CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool HostPlatform::FileExists(const std::string& name) {
  if (name.empty()) return false;
  const DWORD attributes = ::GetFileAttributesW(Wide(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string HostPlatform::CurrentDirectory() {
  const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> buffer(size + 1);
  const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) RaiseWindowsError(::GetLastError());
  return Utf8(std::wstring_view(buffer.data(), length));
}

std::string HostPlatform::FullPath(const std::string& name) {
  // The system's own rules: drive letters, UNC paths, "." and "..".
  const std::wstring wide = Wide(name);
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return name;
  std::vector<wchar_t> buffer(size + 1);
  const DWORD length =
      ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length == 0 || length >= buffer.size()) return name;
  return Utf8(std::wstring_view(buffer.data(), length));
}

bool HostPlatform::SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  OwnedHandle first(OpenToAsk(a));
  if (!first.valid()) return false;
  OwnedHandle second(OpenToAsk(b));
  BY_HANDLE_FILE_INFORMATION infoA, infoB;
  return second.valid() && ::GetFileInformationByHandle(first.handle(), &infoA) &&
         ::GetFileInformationByHandle(second.handle(), &infoB) &&
         infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool HostPlatform::ReadWholeFile(const std::string& name, std::string& content) {
  content.clear();
  OwnedHandle file(::CreateFileW(Wide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    // A settings file that is there and cannot be opened (no permission,
    // held without sharing) is a failed file operation, not a file without
    // the section.
    const DWORD err = ::GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || !HostPlatform().FileExists(name)) {
      return false;
    }
    RaiseWindowsError(err);
  }
  // Only a file on a disk is read: a pipe or a device would block or answer
  // differently.
  if (::GetFileType(file.handle()) != FILE_TYPE_DISK) return false;
  HandleSource source(file.handle());
  char buffer[1 << 16];
  while (std::size_t n = source.Read(buffer, sizeof buffer)) content.append(buffer, n);
  return true;
}

void HostPlatform::OpenInViewer(const std::string& name) {
  // The shell starts the viewer for the document's type ("open") and
  // returns; no dialog when no program is associated.
  const std::wstring file = Wide(name);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExW(&info);
}

std::string HostPlatform::ProgramFileName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "velmo.exe";
    if (length < buffer.size()) return std::string(NamePart(Utf8(std::wstring_view(buffer.data(), length))));
    buffer.resize(buffer.size() * 2);
  }
}

void HostPlatform::PrepareProcess() {
  // No message boxes for a missing disk or a file that fails to open: the
  // run reports its own failures on the console.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The tables are computed in the extended format: the floating unit must
  // keep 64-bit significands, whatever a runtime left it at.
  if ((::_control87(0, 0) & _MCW_PC) != _PC_64) ::_control87(_PC_64, _MCW_PC);
  WatchAllocationFailures();
}

std::vector<std::string> CommandLineArguments(int, char**) {
  // The command line as the system holds it, in Unicode.
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(Utf8(words[i]));
  if (words != nullptr) ::LocalFree(words);
  return arguments;
}

std::unique_ptr<ByteSource> StandardInput() {
  return std::make_unique<HandleSource>(::GetStdHandle(STD_INPUT_HANDLE));
}

std::unique_ptr<ByteSink> StandardOutput() {
  return std::make_unique<HandleSink>(::GetStdHandle(STD_OUTPUT_HANDLE), false);
}

}  // namespace velmo
