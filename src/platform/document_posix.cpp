// The output document on POSIX systems. The whole new document is made
// before the old file is touched, so a run that fails while the tables are
// computed leaves everything as it was; then it takes the old one's place
// in one of two ways.
// - Written into a temporary file beside it, which is given the old file's
//   owner, group and permission bits and renamed over it: readers see the
//   old document or the new one, never a part, and a signal that ends the
//   run first removes the temporary file.
// - Where a new file cannot be the old one (a document reached through a
//   link, with other hard links or extended attributes such as an access
//   list, with an owner or group this user cannot give, or in a directory
//   that takes no new file), kept in memory and written over the old file,
//   as an editor saves in place: its space is reserved first, so a full
//   disk or a file-size limit fails before a byte changes, and the signals
//   that would end the run wait until the last byte is written.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/xattr.h>
#endif

#include <cerrno>
#include <csignal>
#include <ctime>
#include <memory>
#include <string>

#include "platform/ending_signals_posix.h"
#include "platform/exceptions.h"
#include "platform/fd_stream_posix.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"

namespace velmo {

namespace {

// A temporary file of ours this old, whose process is gone, was left by a
// run killed outright (SIGKILL, a power cut): a run holds its temporary file
// for the moment it takes to make the document.
constexpr std::time_t kStaleAfterSeconds = 600;

/// The old document, opened for writing and locked; no descriptor when
/// there is none.
struct OldDocument {
  OwnedFd fd;
  struct stat info {};
  bool throughLink = false;
};

/// True when `name` is a symbolic link in a directory where anyone may make
/// entries but only their owners remove them (/tmp: world-writable and
/// sticky), and neither this user nor the directory's owner made it. The
/// kernel's guard against other users' links (fs.protected_symlinks) has
/// the same rule, but is not on everywhere.
bool IsForeignLinkName(const std::string& name) {
  struct stat link, directory;
  if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return false;
  if (::stat(DirectoryOf(name).c_str(), &directory) != 0) return true;
  const bool shared = (directory.st_mode & S_ISVTX) && (directory.st_mode & S_IWOTH);
  return shared && link.st_uid != ::geteuid() && link.st_uid != directory.st_uid;
}

/// Opens the old document, if there is one, to ask for what the new one
/// needs: the right to write it, and its lock.
OldDocument OpenOldDocument(const std::string& name) {
  OldDocument old;
  // Never wait in open: a named pipe without a reader fails at once (ENXIO)
  // instead of holding the run forever. Writes block again as usual.
  const int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK;
  old.fd = OwnedFd(::open(name.c_str(), flags | O_NOFOLLOW));
  if (old.fd.Get() < 0 && errno == ELOOP) {
    // A link, checked again here: the run has refused another user's.
    if (IsForeignLinkName(name)) RaiseInOutError(kFileAccessDenied);
    old.throughLink = true;
    old.fd = OwnedFd(::open(name.c_str(), flags));
  }
  if (old.fd.Get() < 0) {
    if (errno == ENOENT) return old;
    RaiseSystemError(errno);
  }
  const int fd = old.fd.Get();
  const int status = ::fcntl(fd, F_GETFL);
  if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1) RaiseSystemError(errno);
  // A document that another program holds is left as it is. A file system
  // that cannot lock (NFS without its lock manager) goes without the lock;
  // macOS says so with ENOTSUP, which differs there from EOPNOTSUPP.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) RaiseInOutError(kSharingViolation);
    if (errno != ENOLCK && errno != EOPNOTSUPP && errno != ENOTSUP) RaiseSystemError(errno);
  }
  if (::fstat(fd, &old.info) != 0) RaiseSystemError(errno);
  return old;
}

/// True when no new file can stand for the old one: it is reached through
/// a link, other names share it, or it carries extended attributes (an
/// access list, a security label) that a new file would not have.
bool IdentityOnlyInPlace(const OldDocument& old) {
  if (old.throughLink || old.info.st_nlink > 1) return true;
#ifdef __linux__
  return ::flistxattr(old.fd.Get(), nullptr, 0) > 0;
#else
  return false;
#endif
}

/// Removes the temporary files that runs killed outright left beside
/// `document`: the user's own, old, of a process that no longer exists.
/// Anything else is left alone.
void RemoveStaleTemporaries(const std::string& document) {
  DIR* directory = ::opendir(DirectoryOf(document).c_str());
  if (directory == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(directory)) {
    unsigned long process = 0;
    struct stat info;
    if (!IsTemporaryName(entry->d_name, process) ||
        ::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || now - info.st_mtime < kStaleAfterSeconds) {
      continue;
    }
    const auto pid = static_cast<pid_t>(process);
    if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(directory), entry->d_name, 0);
  }
  ::closedir(directory);
}

/// A new file of a random name beside the document, readable by its owner
/// alone until it is complete; removed when destroyed before Keep, and by
/// an ending signal while it lives.
class TemporaryFile {
 public:
  /// fd() is -1, with the reason in error(), when the directory takes no
  /// new file.
  explicit TemporaryFile(const std::string& document) {
    // No signal may come between the file's making and its handler.
    const EndingSignalsHeld held;
    for (int attempt = 0; attempt < 100 && fd_.Get() < 0; ++attempt) {
      name_ = TemporaryNameBeside(document, static_cast<unsigned long>(::getpid()));
      fd_ = OwnedFd(::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
      error_ = fd_.Get() < 0 ? errno : 0;
      if (error_ != 0 && error_ != EEXIST) break;
    }
    if (fd_.Get() >= 0) removal_ = std::make_unique<RemovedOnEndingSignals>(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    removal_.reset();
    if (error_ == 0 && !kept_) ::unlink(name_.c_str());
  }

  int fd() const { return fd_.Get(); }
  int error() const { return error_; }
  /// Closes the file, with what only a close reports (a network file
  /// system's failed write), and renames it to `document`.
  void Rename(const std::string& document) {
    if (::close(fd_.Release()) != 0 && errno != EINTR) RaiseSystemError(errno);
    if (::rename(name_.c_str(), document.c_str()) != 0) RaiseSystemError(errno);
    kept_ = true;
  }

 private:
  std::string name_;
  OwnedFd fd_;
  int error_ = 0;
  std::unique_ptr<RemovedOnEndingSignals> removal_;
  bool kept_ = false;
};

/// The permission bits a new file gets: all the user's mask allows.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

/// The new document written into a temporary file, which Close renames
/// over the document.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(std::string document, std::unique_ptr<TemporaryFile> temporary, OldDocument old)
      : document_(std::move(document)),
        temporary_(std::move(temporary)),
        file_(temporary_->fd(), false),
        old_(std::move(old)) {}

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (!temporary_) return;
    const mode_t mode = old_.fd.Get() >= 0 ? old_.info.st_mode & 07777 : NewFileMode();
    if (::fchmod(temporary_->fd(), mode) != 0) RaiseSystemError(errno);
    temporary_->Rename(document_);
    temporary_.reset();
  }

 private:
  std::string document_;
  std::unique_ptr<TemporaryFile> temporary_;
  FdSink file_;
  OldDocument old_;  // locked until it is replaced
};

void WriteAt(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseSystemError(errno);
    }
    done += static_cast<std::size_t>(n);
  }
}

/// Reserves the space of `size` bytes of the file: a full disk or a
/// file-size limit fails here, before any byte changes. A file system that
/// cannot reserve goes without.
void ReserveSpace(int fd, off_t size) {
  // Not every file system's reservation heeds the limit; the write would.
  struct rlimit limit;
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      static_cast<rlim_t>(size) > limit.rlim_cur) {
    RaiseSystemError(EFBIG);
  }
#ifdef __APPLE__
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseSystemError(errno);
  if (size <= info.st_size) return;
  fstore_t store{F_ALLOCATEALL, F_PEOFPOSMODE, 0, size - info.st_size, 0};
  if (::fcntl(fd, F_PREALLOCATE, &store) == -1 && errno != ENOTSUP) RaiseSystemError(errno);
#else
  const int err = ::posix_fallocate(fd, 0, size);
  if (err != 0 && err != EOPNOTSUPP && err != EINVAL) RaiseSystemError(err);
#endif
}

/// The new document kept in memory, which Close writes over the old file;
/// that file keeps every name, owner, permission and attribute it had.
class InPlaceSink : public ByteSink {
 public:
  explicit InPlaceSink(OldDocument old) : old_(std::move(old)) {}

  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }

  void Close() override {
    if (old_.fd.Get() < 0) return;
    {
      const EndingSignalsHeld held;
      const auto size = static_cast<off_t>(bytes_.size());
      ReserveSpace(old_.fd.Get(), size);
      WriteAt(old_.fd.Get(), bytes_);
      if (::ftruncate(old_.fd.Get(), size) != 0) RaiseSystemError(errno);
    }
    if (::close(old_.fd.Release()) != 0 && errno != EINTR) RaiseSystemError(errno);
  }

 private:
  OldDocument old_;
  std::string bytes_;
};

/// Gives the temporary file the old document's owner and group; false when
/// this user may not.
bool GiveOwner(int fd, const struct stat& old) {
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseSystemError(errno);
  if (info.st_uid == old.st_uid && info.st_gid == old.st_gid) return true;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return true;
  if (errno != EPERM) RaiseSystemError(errno);
  return false;
}

}  // namespace

bool HostPlatform::IsForeignLink(const std::string& name) {
  return IsForeignLinkName(name);
}

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  OldDocument old = OpenOldDocument(name);
  const bool hasOld = old.fd.Get() >= 0;
  // A device (a full disk stood in by /dev/full, a terminal) or a pipe has
  // no old content to keep: it is written as the tables are.
  if (hasOld && !S_ISREG(old.info.st_mode)) return std::make_unique<FdSink>(old.fd.Release(), true);
  if (!(hasOld && IdentityOnlyInPlace(old))) {
    RemoveStaleTemporaries(name);
    auto temporary = std::make_unique<TemporaryFile>(name);
    if (temporary->fd() >= 0 && (!hasOld || GiveOwner(temporary->fd(), old.info))) {
      return std::make_unique<ReplacingSink>(name, std::move(temporary), std::move(old));
    }
    // A directory that takes no new file, around a document that may be
    // written: written over in place.
    const int err = temporary->error();
    if (err != 0 && !(hasOld && (err == EACCES || err == EPERM))) RaiseSystemError(err);
  }
  return std::make_unique<InPlaceSink>(std::move(old));
}

}  // namespace velmo
