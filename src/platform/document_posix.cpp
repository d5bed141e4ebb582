// The output document on POSIX systems. It is written under a temporary
// name beside the document and renamed over it only when complete, so a run
// that fails (a full disk, a file-size limit, an interrupt) leaves the
// document of the last good run as it was, and nothing new.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "platform/exceptions.h"
#include "platform/fd_stream_posix.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"

namespace velmo {

namespace {

// The signals that end a run from outside (Ctrl+C, kill, a closed
// terminal): while the document is written, each first removes the
// temporary file, then ends the process as it would have.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file being written, for the signal handler; null when none.
const char* volatile pendingFile = nullptr;

extern "C" void RemovePendingFileAndEnd(int signal) {
  if (const char* file = pendingFile) ::unlink(file);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

/// Makes the ending signals remove `file` while it is written; a signal that
/// was ignored when the run began (nohup) stays ignored.
class PendingFileGuard {
 public:
  explicit PendingFileGuard(const std::string& file) {
    pendingFile = file.c_str();
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      struct sigaction action {};
      action.sa_handler = RemovePendingFileAndEnd;
      sigemptyset(&action.sa_mask);
      ::sigaction(kEndingSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler == SIG_DFL) ::sigaction(kEndingSignals[i], &action, nullptr);
    }
  }
  PendingFileGuard(const PendingFileGuard&) = delete;
  PendingFileGuard& operator=(const PendingFileGuard&) = delete;
  ~PendingFileGuard() {
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
    }
    pendingFile = nullptr;
  }

 private:
  struct sigaction previous_[std::size(kEndingSignals)]{};
};

/// Holds the ending signals back while it lives: a signal that comes while
/// the temporary file exists but no handler yet knows it waits, and then
/// finds the handler.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kEndingSignals) sigaddset(&held, signal);
    ::sigprocmask(SIG_BLOCK, &held, &previous_);
  }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;
  ~EndingSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

/// The new document under its temporary name: Close renames it over the
/// document; destroyed without that, it removes itself.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(std::string document, std::string temporary, int fd, int held)
      : document_(std::move(document)),
        temporary_(std::move(temporary)),
        guard_(temporary_),
        file_(fd, true),
        held_(held) {}
  ReplacingSink(const ReplacingSink&) = delete;
  ReplacingSink& operator=(const ReplacingSink&) = delete;
  ~ReplacingSink() override {
    if (!replaced_) ::unlink(temporary_.c_str());
  }

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (replaced_) return;
    file_.Close();
    if (::rename(temporary_.c_str(), document_.c_str()) != 0) RaiseSystemError(errno);
    replaced_ = true;
  }

 private:
  std::string document_;
  std::string temporary_;
  PendingFileGuard guard_;
  FdSink file_;
  OwnedFd held_;  // the old document, locked until it is replaced
  bool replaced_ = false;
};

/// The file a document name reaches: through a symbolic link, the file it
/// points to, so that the link stays and its file is replaced.
std::string ReachedFile(const std::string& name) {
  struct stat info;
  if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
  char* real = ::realpath(name.c_str(), nullptr);
  if (real == nullptr) return name;
  std::string reached(real);
  std::free(real);
  return reached;
}

/// Opens the old document, if there is one, to ask for what the new one
/// needs: the right to write it, and its lock. -1 when there is none.
int OpenOldDocument(const std::string& name) {
  // Never wait in open: a named pipe without a reader fails at once (ENXIO)
  // instead of holding the run forever. Writes block again as usual.
  OwnedFd fd(::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) {
    if (errno == ENOENT) return -1;
    RaiseSystemError(errno);
  }
  int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags == -1 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) == -1) RaiseSystemError(errno);
  // A document that another program holds is left as it is. A file system
  // that cannot lock (NFS without its lock manager) goes without the lock.
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) RaiseInOutError(kSharingViolation);
    if (errno != ENOLCK && errno != EOPNOTSUPP) RaiseSystemError(errno);
  }
  return fd.Release();
}

/// Creates a file of a new name beside `document`, with the permissions a new
/// document gets. The name holds the process number and a count, and the
/// file is created exclusively: it can never be a user's file.
int CreateTemporary(const std::string& document, std::string& name) {
  for (unsigned attempt = 0;; ++attempt) {
    name = TemporaryNameBeside(document, static_cast<unsigned long>(::getpid()), attempt);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST || attempt == 99) return fd;
  }
}

/// The old way, for what cannot be replaced: the document itself, emptied
/// when it is a regular file and written.
std::unique_ptr<ByteSink> WriteInPlace(int fd) {
  auto sink = std::make_unique<FdSink>(fd, true);
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseSystemError(errno);
  if (S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) RaiseSystemError(errno);
  return sink;
}

}  // namespace

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  const std::string document = ReachedFile(name);
  OwnedFd old(OpenOldDocument(document));
  if (old.Get() >= 0) {
    // A device (a full disk stood in by /dev/full, a terminal) or a pipe has
    // no old content to keep: it is simply written.
    struct stat info;
    if (::fstat(old.Get(), &info) != 0) RaiseSystemError(errno);
    if (!S_ISREG(info.st_mode)) return WriteInPlace(old.Release());
  }
  std::string temporary;
  const EndingSignalsHeld held;
  int fd = CreateTemporary(document, temporary);
  if (fd < 0) {
    // A directory that takes no new file, around a document that may be
    // written: replaced in place, as a document always was.
    if (errno == EACCES && old.Get() >= 0) return WriteInPlace(old.Release());
    RaiseSystemError(errno);
  }
  return std::make_unique<ReplacingSink>(document, temporary, fd, old.Release());
}

}  // namespace velmo
