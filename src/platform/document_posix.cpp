// The output document on POSIX systems. The name is first followed to the
// file it reaches, link after link, as the kernel would, but refusing
// another user's link in a shared directory at every step; from then on
// every call names that file relative to its directory, held open, so no
// swapped link or parent can change which file is meant. The whole new
// document is made before the old file is touched, and then takes its
// place in the way ChooseReplacement picks:
// - written into a temporary file beside it, given the old file's owner,
//   group, permission bits and extended attributes (access lists), and
//   renamed over it: readers see the old document or the new one, never a
//   part, and a signal that ends the run first removes the temporary file;
// - or kept in memory and written over the old file (WriteOver), with the
//   ending signals held until the last byte is written.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/xattr.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ending_signals_posix.h"
#include "platform/exceptions.h"
#include "platform/fd_stream_posix.h"
#include "platform/io_error.h"
#include "platform/os.h"
#include "platform/path_text.h"
#include "platform/replacement.h"

namespace velmo {

namespace {

// A temporary file of ours this old, whose process is gone, was left by a
// run killed outright (SIGKILL, a power cut): a run holds its temporary file
// for the moment it takes to make the document.
constexpr std::time_t kStaleAfterSeconds = 600;
// As many links as the kernel follows in one name.
constexpr int kMaxLinks = 40;

// A directory held only to name files in it; where the system has no such
// kind of descriptor, one opened for reading.
#if defined(O_PATH)
constexpr int kDirectoryHold = O_PATH | O_DIRECTORY | O_CLOEXEC;
#elif defined(O_SEARCH)
constexpr int kDirectoryHold = O_SEARCH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHold = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

/// The file a document name reaches: its directory, held open, and its
/// name there; opened for writing and locked where it exists.
struct Document {
  OwnedFd directory;
  std::string name;
  bool foreignLink = false;
  OwnedFd fd;
  bool readable = false;
  struct stat info {};
};

/// The directory `name` in `at`, held, never through a link: no
/// descriptor when it cannot be.
OwnedFd HoldDirectory(int at, const char* name) {
  return OwnedFd(::openat(at, name, kDirectoryHold | O_NOFOLLOW));
}

/// Puts the parts of `path` on top of `parts`, the first part last.
void PushParts(std::string_view path, std::vector<std::string>& parts) {
  std::vector<std::string> ahead;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) ahead.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  parts.insert(parts.end(), ahead.rbegin(), ahead.rend());
}

/// True when the link `link` in `directory` is one the run must not
/// follow: in a directory where anyone may make entries but only their
/// owners remove them (/tmp: world-writable and sticky), made by neither
/// this user nor the directory's owner. The kernel's guard against other
/// users' links (fs.protected_symlinks) has the same rule, but is not on
/// everywhere.
bool IsForeignLink(int directory, const struct stat& link) {
  struct stat info;
  if (::fstat(directory, &info) != 0) return true;
  const bool shared = (info.st_mode & S_ISVTX) && (info.st_mode & S_IWOTH);
  return shared && link.st_uid != ::geteuid() && link.st_uid != info.st_uid;
}

/// The text of the link `name`; false when it is no link by now. (Another
/// user cannot swap an entry that is not theirs in a directory where the
/// link rule applies, so the link read is the one looked at.)
bool ReadLink(int directory, const std::string& name, std::string& target) {
  char text[PATH_MAX];  // the longest a link can say
  const ssize_t size = ::readlinkat(directory, name.c_str(), text, sizeof text);
  if (size < 0) return false;
  target.assign(text, static_cast<std::size_t>(size));
  return true;
}

/// Opens the existing file `name`, never through a link, and a plain file
/// for reading too where the user may; false when a link took its place
/// since it was looked at.
bool OpenExisting(Document& document, bool regular) {
  // Never wait in open: a named pipe without a reader fails at once (ENXIO)
  // instead of holding the run forever. Writes block again as usual.
  const int flags = O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
  const auto open = [&](int access) {
    return OwnedFd(::openat(document.directory.Get(), document.name.c_str(), access | flags));
  };
  document.readable = regular && (document.fd = open(O_RDWR)).Get() >= 0;
  if (!document.readable && (!regular || errno == EACCES)) document.fd = open(O_WRONLY);
  const int fd = document.fd.Get();
  if (fd < 0) {
    if (errno == ELOOP) return false;
    if (errno == ENOENT) return true;
    RaiseSystemError(errno);
  }
  const int status = ::fcntl(fd, F_GETFL);
  if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1) RaiseSystemError(errno);
  // A document that another program holds is left as it is. A file system
  // that cannot lock (NFS without its lock manager) goes without the lock;
  // macOS says so with ENOTSUP, which differs there from EOPNOTSUPP.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) RaiseInOutError(kSharingViolation);
    if (errno != ENOLCK && errno != EOPNOTSUPP && errno != ENOTSUP) RaiseSystemError(errno);
  }
  if (::fstat(fd, &document.info) != 0) RaiseSystemError(errno);
  return true;
}

/// Follows `path` part by part from the current or the root directory,
/// through every link on the way, to the file it names.
Document FindDocument(const std::string& path) {
  Document document;
  const auto holdStart = [&](std::string_view from) {
    document.directory = HoldDirectory(AT_FDCWD, from.starts_with('/') ? "/" : ".");
    if (document.directory.Get() < 0) RaiseSystemError(errno);
  };
  holdStart(path);
  std::vector<std::string> parts;
  PushParts(path, parts);
  int links = 0, changes = 0;
  // A part that changed between two looks is looked at again, within
  // bounds: an attacker swapping it forever gets a failure, not a loop.
  const auto lookAgain = [&](std::string part) {
    if (++changes > kMaxLinks) RaiseSystemError(ELOOP);
    parts.push_back(std::move(part));
  };
  while (!parts.empty()) {
    std::string part = std::move(parts.back());
    parts.pop_back();
    const int directory = document.directory.Get();
    struct stat entry;
    if (::fstatat(directory, part.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT || !parts.empty()) RaiseSystemError(errno);
      document.name = std::move(part);  // a new document
      return document;
    }
    if (S_ISLNK(entry.st_mode)) {
      if (IsForeignLink(directory, entry)) {
        document.foreignLink = true;
        return document;
      }
      std::string target;
      if (!ReadLink(directory, part, target)) {
        lookAgain(std::move(part));
        continue;
      }
      if (++links > kMaxLinks) RaiseSystemError(ELOOP);
      if (target.starts_with('/')) holdStart(target);
      PushParts(target, parts);
    } else if (parts.empty()) {
      document.name = std::move(part);
      if (OpenExisting(document, S_ISREG(entry.st_mode))) return document;
      lookAgain(std::move(document.name));
    } else if (!S_ISDIR(entry.st_mode)) {
      RaiseSystemError(ENOTDIR);
    } else if (OwnedFd next = HoldDirectory(directory, part.c_str()); next.Get() >= 0) {
      document.directory = std::move(next);
    } else if (errno == ELOOP || errno == ENOTDIR) {
      lookAgain(std::move(part));
    } else {
      RaiseSystemError(errno);
    }
  }
  RaiseSystemError(EISDIR);
}

/// Removes the temporary files that runs killed outright left in
/// `directory`: the user's own, old, of a process that no longer exists.
/// Anything else is left alone.
void RemoveStaleTemporaries(int directory) {
  DIR* entries = ::fdopendir(::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (entries == nullptr) return;
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(entries)) {
    unsigned long process = 0;
    struct stat info;
    if (!IsTemporaryName(entry->d_name, process) ||
        ::fstatat(directory, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != ::geteuid() || now - info.st_mtime < kStaleAfterSeconds) {
      continue;
    }
    const auto pid = static_cast<pid_t>(process);
    if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(directory, entry->d_name, 0);
  }
  ::closedir(entries);
}

/// A new file of a random name beside the document; removed when destroyed
/// before it is renamed, and by an ending signal while it lives.
class TemporaryFile {
 public:
  /// fd() is -1 when the directory takes no new file from this user (which
  /// may still let the old document be written); other failures throw.
  TemporaryFile(const Document& document, mode_t mode) : directory_(document.directory.Get()) {
    // No signal may come between the file's making and its removal's
    // arrangement.
    const EndingSignalsHeld held;
    for (int attempt = 0; attempt < 100 && fd_.Get() < 0; ++attempt) {
      name_ = TemporaryNameBeside(document.name, static_cast<unsigned long>(::getpid()));
      fd_ = OwnedFd(::openat(directory_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
      if (fd_.Get() < 0 && errno != EEXIST) {
        error_ = errno;
        if (error_ != EACCES && error_ != EPERM) RaiseSystemError(error_);
        return;
      }
    }
    if (fd_.Get() < 0) RaiseSystemError(EEXIST);
    made_ = true;
    RemoveOnEndingSignals(directory_, name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!made_) return;
    // Gone first, forgotten after: a signal in between finds nothing.
    if (!kept_) ::unlinkat(directory_, name_.c_str(), 0);
    ForgetOnEndingSignals();
  }

  int fd() const { return fd_.Get(); }
  /// Why the directory took no new file.
  int error() const { return error_; }
  /// Closes the file, with what only a close reports (a network file
  /// system's failed write), and renames it to `name` in its directory.
  void Rename(const std::string& name) {
    if (::close(fd_.Release()) != 0 && errno != EINTR) RaiseSystemError(errno);
    if (::renameat(directory_, name_.c_str(), directory_, name.c_str()) != 0) RaiseSystemError(errno);
    kept_ = true;
  }

 private:
  int directory_;
  std::string name_;
  OwnedFd fd_;
  int error_ = 0;
  bool made_ = false;
  bool kept_ = false;
};

#ifdef __linux__
/// The extended attributes of `fd`, by name (Linux keeps a list and each
/// value within 64 KiB).
std::vector<std::pair<std::string, std::string>> AttributesOf(int fd) {
  std::string names(65536, '\0'), value(65536, '\0');
  const ssize_t size = ::flistxattr(fd, names.data(), names.size());
  if (size < 0 && errno != ENOTSUP) RaiseSystemError(errno);
  std::vector<std::pair<std::string, std::string>> attributes;
  for (std::size_t at = 0; static_cast<ssize_t>(at) < size; at = names.find('\0', at) + 1) {
    const char* name = names.c_str() + at;
    const ssize_t length = ::fgetxattr(fd, name, value.data(), value.size());
    if (length < 0) RaiseSystemError(errno);
    attributes.emplace_back(name, value.substr(0, static_cast<std::size_t>(length)));
  }
  return attributes;
}

/// Gives `to` exactly the extended attributes of `from`: an access list
/// that the directory's default gave the new file goes, the old file's
/// comes. False when this user may not.
bool CopyAttributes(int from, int to) {
  const auto wanted = AttributesOf(from), present = AttributesOf(to);
  const auto has = [](const auto& list, const auto& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
  };
  for (const auto& [name, value] : present) {
    if (!has(wanted, std::pair{name, value}) && ::fremovexattr(to, name.c_str()) != 0) return false;
  }
  for (const auto& [name, value] : wanted) {
    if (!has(present, std::pair{name, value}) &&
        ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
      return false;
    }
  }
  return true;
}
#else
// Elsewhere a new file has none of the old one's extended attributes.
bool CopyAttributes(int, int) {
  return true;
}
#endif

/// The permission bits a replaced document keeps: all but the set-ID bits,
/// for a table is no program (writing a file drops them too).
mode_t KeptMode(const struct stat& old) {
  return old.st_mode & 01777;
}

/// Gives the new file the old one's owner, group, permission bits and
/// extended attributes; false when this user may not.
bool GiveIdentity(int fd, const Document& old) {
  struct stat info;
  if (::fstat(fd, &info) != 0) RaiseSystemError(errno);
  if ((info.st_uid != old.info.st_uid || info.st_gid != old.info.st_gid) &&
      ::fchown(fd, old.info.st_uid, old.info.st_gid) != 0) {
    if (errno == EPERM) return false;
    RaiseSystemError(errno);
  }
  // The mode before the access list, which sets the group bits itself.
  if (::fchmod(fd, KeptMode(old.info)) != 0) RaiseSystemError(errno);
  return CopyAttributes(old.fd.Get(), fd);
}

/// The new document written into a temporary file, which Close renames
/// over the document.
class ReplacingSink : public ByteSink {
 public:
  ReplacingSink(Document document, std::unique_ptr<TemporaryFile> temporary)
      : document_(std::move(document)), temporary_(std::move(temporary)), file_(temporary_->fd(), false) {}

  void Write(const char* data, std::size_t size) override { file_.Write(data, size); }

  void Close() override {
    if (!temporary_) return;
    temporary_->Rename(document_.name);
    temporary_.reset();
  }

 private:
  Document document_;  // the old document locked until it is replaced
  std::unique_ptr<TemporaryFile> temporary_;
  FdSink file_;
};

/// The old document as WriteOver needs it.
class FileOnDisk : public FileInPlace {
 public:
  explicit FileOnDisk(const Document& document) : document_(document) {}

  std::uint64_t Size() override {
    struct stat info;
    if (::fstat(document_.fd.Get(), &info) != 0) RaiseSystemError(errno);
    return static_cast<std::uint64_t>(info.st_size);
  }

  bool ReadAll(std::string& content) override {
    content.resize(document_.readable ? Size() : 0);
    for (std::size_t done = 0; done < content.size();) {
      const ssize_t n =
          ::pread(document_.fd.Get(), content.data() + done, content.size() - done, static_cast<off_t>(done));
      if (n == 0 || (n < 0 && errno != EINTR)) return false;
      if (n > 0) done += static_cast<std::size_t>(n);
    }
    return document_.readable;
  }

  void Reserve(std::uint64_t size) override {
    // Not every file system's reservation heeds the file-size limit; the
    // write would.
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur) {
      RaiseSystemError(EFBIG);
    }
    const int fd = document_.fd.Get();
#ifdef __APPLE__
    fstore_t store{F_ALLOCATEALL, F_PEOFPOSMODE, 0, static_cast<off_t>(size - Size()), 0};
    if (::fcntl(fd, F_PREALLOCATE, &store) == -1 && errno != ENOTSUP) RaiseSystemError(errno);
#else
    const int err = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
    if (err != 0 && err != EOPNOTSUPP && err != EINVAL) RaiseSystemError(err);
#ifdef __linux__
    // A file system that copies what it overwrites (btrfs) has allocated
    // nothing for blocks the file already has: that much space is asked
    // for once more beyond the end, and given back before the write (or,
    // where no hole can be punched, by the truncation that ends it).
    const auto offset = static_cast<off_t>(size), length = static_cast<off_t>(size);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, offset, length) == 0) {
      ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, offset, length);
    } else if (errno != EOPNOTSUPP && errno != EINVAL) {
      RaiseSystemError(errno);
    }
#endif
#endif
  }

  void WriteAt(const std::string& bytes) override {
    if (::lseek(document_.fd.Get(), 0, SEEK_SET) != 0) RaiseSystemError(errno);
    FdSink(document_.fd.Get(), false).Write(bytes.data(), bytes.size());
  }

  void Truncate(std::uint64_t size) override {
    if (::ftruncate(document_.fd.Get(), static_cast<off_t>(size)) != 0) RaiseSystemError(errno);
  }

 private:
  const Document& document_;
};

/// The new document kept in memory, which Close writes over the old file;
/// that file keeps every name, owner, permission and attribute it had.
class InPlaceSink : public ByteSink {
 public:
  explicit InPlaceSink(Document document) : document_(std::move(document)) {}

  void Write(const char* data, std::size_t size) override { bytes_.append(data, size); }

  void Close() override {
    if (document_.fd.Get() < 0) return;
    {
      const EndingSignalsHeld held;
      FileOnDisk file(document_);
      WriteOver(file, bytes_);
    }
    // Where the kernel has not dropped the set-ID bits on the write (the
    // owner's own root run), they go here; another user may not, and the
    // kernel has.
    if (document_.info.st_mode & 06000) ::fchmod(document_.fd.Get(), KeptMode(document_.info));
    if (::close(document_.fd.Release()) != 0 && errno != EINTR) RaiseSystemError(errno);
  }

 private:
  Document document_;
  std::string bytes_;
};

}  // namespace

std::unique_ptr<ByteSink> HostPlatform::CreateDocument(const std::string& name) {
  Document document = FindDocument(name);
  OldDocumentFacts facts;
  facts.foreignLink = document.foreignLink;
  facts.exists = document.fd.Get() >= 0;
  facts.regular = !facts.exists || S_ISREG(document.info.st_mode);
  facts.otherNames = facts.exists && document.info.st_nlink > 1;
  std::unique_ptr<TemporaryFile> temporary;
  if (ChooseReplacement(facts) == Replacement::kRename) {
    RemoveStaleTemporaries(document.directory.Get());
    // A new document gets what the shell's ">" gives: all that the user's
    // mask or the directory's default access list allows. A replaced one
    // is private until it has the old one's identity.
    temporary = std::make_unique<TemporaryFile>(document, facts.exists ? 0600 : 0666);
    facts.newFileAllowed = temporary->fd() >= 0;
    facts.identityGiven = facts.newFileAllowed && (!facts.exists || GiveIdentity(temporary->fd(), document));
  }
  switch (ChooseReplacement(facts)) {
    case Replacement::kRefuse: return nullptr;
    case Replacement::kStream: return std::make_unique<FdSink>(document.fd.Release(), true);
    case Replacement::kRename:
      if (temporary->fd() < 0) RaiseSystemError(temporary->error());
      return std::make_unique<ReplacingSink>(std::move(document), std::move(temporary));
    case Replacement::kInPlace: break;
  }
  temporary.reset();
  return std::make_unique<InPlaceSink>(std::move(document));
}

}  // namespace velmo
