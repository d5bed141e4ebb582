// Byte streams over POSIX file descriptors: the console and the document.
#pragma once

#include <unistd.h>

#include <cerrno>

#include "platform/byte_stream.h"
#include "platform/exceptions.h"

namespace velmo {

class FdSink : public ByteSink {
 public:
  FdSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
  FdSink(const FdSink&) = delete;
  FdSink& operator=(const FdSink&) = delete;
  ~FdSink() override {
    if (owned_ && fd_ >= 0) ::close(fd_);
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      ssize_t n = ::write(fd_, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        RaiseSystemError(errno);
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }

  void Close() override {
    if (!owned_ || fd_ < 0) return;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) RaiseSystemError(errno);
  }

 private:
  int fd_;
  bool owned_;
};

class FdSource : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}

  std::size_t Read(char* buffer, std::size_t capacity) override {
    for (;;) {
      ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) RaiseSystemError(errno);
    }
  }

 private:
  int fd_;
};

/// A descriptor closed when it goes out of scope, unless released.
class OwnedFd {
 public:
  explicit OwnedFd(int fd = -1) : fd_(fd) {}
  OwnedFd(OwnedFd&& other) noexcept : fd_(other.Release()) {}
  OwnedFd& operator=(OwnedFd&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = other.Release();
    }
    return *this;
  }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;
  ~OwnedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace velmo
