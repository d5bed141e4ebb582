// The host platform on POSIX systems (Linux; macOS by the same calls).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "settings/exceptions.h"

namespace velmo {

namespace {

#ifdef __APPLE__
constexpr const char* kViewerProgram = "open";
#else
constexpr const char* kViewerProgram = "xdg-open";
#endif

class FdSink : public ByteSink {
 public:
  FdSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
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

}  // namespace

bool HostPlatform::FileExists(const std::string& name) {
  struct stat info;
  return !name.empty() && ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string HostPlatform::CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) RaiseSystemError(errno);
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string HostPlatform::FullPath(const std::string& name) {
  if (!name.empty() && name.front() == '/') return ExpandPath("/", name);
  return ExpandPath(CurrentDirectory(), name);
}

bool HostPlatform::SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat infoA, infoB;
  if (::stat(a.c_str(), &infoA) != 0 || ::stat(b.c_str(), &infoB) != 0) return false;
  return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) RaiseSystemError(errno);
  auto sink = std::make_unique<FdSink>(fd, true);
  // The lock comes before the file is emptied, so a document that another
  // program holds is left as it is.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) RaiseInOutError(kSharingViolation);
    RaiseSystemError(errno);
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseSystemError(errno);
  // Only a regular file has a length to cut; a device (a full disk stood in
  // by /dev/full, a terminal) is simply written.
  if (S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) RaiseSystemError(errno);
  return sink;
}

void HostPlatform::OpenInViewer(const std::string& name) {
  // Two forks: the viewer becomes the child of init, so it is never waited
  // for and never left behind as a zombie; the middle process ends at once.
  pid_t middle = ::fork();
  if (middle < 0) return;
  if (middle == 0) {
    ::setsid();
    if (::fork() != 0) ::_exit(0);
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::signal(SIGPIPE, SIG_DFL);
    ::execlp(kViewerProgram, kViewerProgram, name.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
}

std::string HostPlatform::ProgramFileName() {
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "velmo";
  return std::string(NamePart(std::string_view(buffer.data(), static_cast<std::size_t>(n))));
}

std::unique_ptr<ByteSource> StandardInput() {
  return std::make_unique<FdSource>(STDIN_FILENO);
}

std::unique_ptr<ByteSink> StandardOutput() {
  return std::make_unique<FdSink>(STDOUT_FILENO, false);
}

void PrepareProcess() {
  ::signal(SIGPIPE, SIG_IGN);
  // A console stream that was closed must not leave its number free: the
  // document would be opened under it, and console text would land in the
  // document. A closed input reads as empty; a closed output fails every
  // write, so the run still ends with status 1.
  struct Guard {
    int fd;
    int flags;
  };
  for (Guard guard :
       {Guard{STDIN_FILENO, O_RDONLY}, Guard{STDOUT_FILENO, O_RDONLY}, Guard{STDERR_FILENO, O_WRONLY}}) {
    if (::fcntl(guard.fd, F_GETFD) == -1 && errno == EBADF) {
      int fd = ::open("/dev/null", guard.flags);
      if (fd >= 0 && fd != guard.fd) {
        ::dup2(fd, guard.fd);
        ::close(fd);
      }
    }
  }
}

bool ReadWholeFile(const std::string& name, std::string& content) {
  content.clear();
  // Only a regular file can be read again for every question; a named pipe
  // or a device would block or answer differently, so it reads as empty.
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return n == 0;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace velmo
