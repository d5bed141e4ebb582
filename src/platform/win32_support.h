// What the Windows platform layer shares between its files: text in both
// encodings, the failure of a system call, and a sink over a handle.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "platform/byte_stream.h"
#include "platform/exceptions.h"
#include "platform/io_error.h"

namespace velmo {

inline std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

inline std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr,
                        nullptr);
  return text;
}

/// Throws EInOutError for a Windows error code: the codes are the I/O codes
/// themselves, save a full disk, which has a code of its own.
[[noreturn, gnu::noinline]] inline void RaiseWindowsError(DWORD err) {
  const int code =
      err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL ? kDiskFull : static_cast<int>(err);
  throw EInOutError(code, InOutErrorMessage(code), __builtin_return_address(0));
}

/// A handle of this program's, closed when its owner goes; or none
/// (INVALID_HANDLE_VALUE).
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  HANDLE& handle() { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_;
};

inline bool IsConsole(HANDLE handle) {
  DWORD mode;
  return ::GetConsoleMode(handle, &mode) != 0;
}

class HandleSink : public ByteSink {
 public:
  HandleSink(HANDLE handle, bool owned) : handle_(handle), owned_(owned), console_(IsConsole(handle)) {}
  ~HandleSink() override {
    if (owned_ && handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }

  void Write(const char* data, std::size_t size) override {
    if (console_) {
      // A real console shows Unicode: the UTF-8 text as wide characters.
      const std::wstring wide = Wide(std::string_view(data, size));
      DWORD written = 0;
      if (!::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
        RaiseWindowsError(::GetLastError());
      }
      return;
    }
    // Anything else gets the bytes as they are: CR LF stays CR LF.
    while (size > 0) {
      DWORD written = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      if (!::WriteFile(handle_, data, chunk, &written, nullptr)) RaiseWindowsError(::GetLastError());
      data += written;
      size -= written;
    }
  }

  void Close() override {
    if (!owned_ || handle_ == INVALID_HANDLE_VALUE) return;
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) RaiseWindowsError(::GetLastError());
  }

 private:
  HANDLE handle_;
  bool owned_;
  bool console_;
};

}  // namespace velmo
