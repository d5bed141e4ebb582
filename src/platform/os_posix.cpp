// The host platform on POSIX systems (Linux; macOS by the same calls).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/code_position.h"
#include "platform/exceptions.h"
#include "platform/fd_stream_posix.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"

// The environment the viewer starts with: Velmo's own.
extern char** environ;

namespace velmo {

namespace {

#ifdef __APPLE__
constexpr const char* kViewerProgram = "open";
#else
constexpr const char* kViewerProgram = "xdg-open";
#endif

/// True when both names reach directories and they differ.
bool OtherDirectory(const std::string& a, const std::string& b) {
  struct stat infoA, infoB;
  if (::stat(a.c_str(), &infoA) != 0 || ::stat(b.c_str(), &infoB) != 0) return false;
  return infoA.st_dev != infoB.st_dev || infoA.st_ino != infoB.st_ino;
}

/// Velmo never waits for the viewer: a child that ends is then not kept as
/// a zombie until Velmo ends, which first waits for the user's Enter.
/// (Ignoring the signal says so; the flag SA_NOCLDWAIT would too, but qemu's
/// user mode, which runs the arm64 build here, does not pass it on.)
void NeverKeepEndedChildren() {
  ::signal(SIGCHLD, SIG_IGN);
}

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
  std::string full =
      !name.empty() && name.front() == '/' ? ExpandPath("/", name) : ExpandPath(CurrentDirectory(), name);
  // ".." after a symbolic link leads the kernel elsewhere than the text:
  // then the path must name the directory the file is really in. A full
  // path too long for the system to look up is left as the text has it.
  const std::string directory = DirectoryOf(name);
  if (!OtherDirectory(directory, DirectoryOf(full))) return full;
  char* real = ::realpath(directory.c_str(), nullptr);
  if (real == nullptr) return full;
  std::string resolved(real);
  std::free(real);
  return ExpandPath(resolved, NamePart(name));
}

bool HostPlatform::SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat infoA, infoB;
  if (::stat(a.c_str(), &infoA) != 0 || ::stat(b.c_str(), &infoB) != 0) return false;
  return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

void HostPlatform::OpenInViewer(const std::string& name) {
  // The viewer is spawned, not forked: a fork copies the whole process only
  // for the copy to start another program, and on some systems that costs
  // more than the largest table. It starts in a session of its own, away
  // from the console's signals, reading and writing nowhere, with the
  // signals that Velmo ignores for itself at their defaults.
  posix_spawnattr_t attributes;
  if (::posix_spawnattr_init(&attributes) != 0) return;
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGXFSZ);
  sigaddset(&defaults, SIGCHLD);
  ::posix_spawnattr_setsigdefault(&attributes, &defaults);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) == 0) {
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDWR, 0);
    ::posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDERR_FILENO);
    NeverKeepEndedChildren();
    char* arguments[] = {const_cast<char*>(kViewerProgram), const_cast<char*>(name.c_str()), nullptr};
    pid_t viewer;
    // A viewer that is missing or fails is no failure of the run.
    ::posix_spawnp(&viewer, kViewerProgram, &actions, &attributes, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
  }
  ::posix_spawnattr_destroy(&attributes);
}

std::string HostPlatform::ProgramFileName() {
#ifdef __APPLE__
  char path[PATH_MAX + 1];
  std::uint32_t size = sizeof path;
  if (::_NSGetExecutablePath(path, &size) != 0) return "velmo";
  return std::string(NamePart(path));
#else
  std::vector<char> buffer(PATH_MAX + 1);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "velmo";
  return std::string(NamePart(std::string_view(buffer.data(), static_cast<std::size_t>(n))));
#endif
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::unique_ptr<ByteSource> StandardInput() {
  return std::make_unique<FdSource>(STDIN_FILENO);
}

std::unique_ptr<ByteSink> StandardOutput() {
  return std::make_unique<FdSink>(STDOUT_FILENO, false);
}

void HostPlatform::PrepareProcess() {
  // A closed pipe on standard output, and a file-size limit reached by the
  // document, are failed writes with a failure report, not silent deaths.
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
  WatchAllocationFailures();
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

bool HostPlatform::ReadWholeFile(const std::string& name, std::string& content) {
  content.clear();
  // A named pipe is read as a script writes it, to its end: opened without
  // waiting for the writer it would end at once. Anything else is opened
  // without waiting, for a device is not read at all.
  struct stat info;
  const bool pipe = ::stat(name.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | (pipe ? 0 : O_NONBLOCK));
  if (fd < 0) {
    // A settings file that is there and cannot be opened is a failed file
    // operation, not a file without the section.
    const int err = errno;
    if (err == ENOENT || ::stat(name.c_str(), &info) != 0 ||
        !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode))) {
      return false;
    }
    RaiseSystemError(err);
  }
  const OwnedFd closer(fd);
  // A device (/dev/zero, a terminal) would be read forever or wait for a
  // typist: it is no settings file.
  if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode))) return false;
  // A file that was opened and then fails to read is no empty file: the
  // tables would silently come from the defaults.
  FdSource source(fd);
  char buffer[1 << 16];
  while (std::size_t n = source.Read(buffer, sizeof buffer)) content.append(buffer, n);
  return true;
}

}  // namespace velmo
