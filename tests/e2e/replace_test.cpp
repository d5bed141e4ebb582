// A run that fails while it writes leaves the document of the last good
// run as it was, and nothing new beside it.
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "e2e/e2e_support.h"

namespace velmo {
namespace {

using namespace test;
using namespace std::chrono_literals;

const std::string kOlder = "an older table\r\n";
const char* const kStrace = "/usr/bin/strace";

/// A text table of many blocks: `focals` focal lengths of 64 distances and
/// 64 apertures, every row written, about 42 KB a block.
std::string LargeTable(int focals) {
  std::string distances, apertures, lengths;
  for (int i = 0; i < 64; ++i) {
    distances += std::to_string(3 + i) + "e-1 ";
    apertures += std::to_string(1 + i) + " ";
  }
  for (int i = 0; i < focals; ++i) lengths += std::to_string(20 + i) + " ";
  return "[VELMO]\nHTML=0\nCoC=0.03\nDistance=" + distances + "\nAperture=" + apertures +
         "\nFocal=" + lengths + "\n";
}

/// The words that start the program under strace, which writes its trace
/// into `output` and takes `expressions` (each after an -e).
std::vector<std::string> UnderStrace(const std::string& output,
                                     std::initializer_list<std::string> expressions) {
  std::vector<std::string> words = {kStrace, "-f", "-qq", "-o", output};
  for (const std::string& expression : expressions) words.insert(words.end(), {"-e", expression});
  return words;
}

TEST_F(EndToEnd, AFullDiskKeepsTheOldDocument) {
  // A file system of 1 MB, half of it taken by the old document: the new
  // table of 40 blocks fits neither beside it nor in its place, whether it
  // is to be renamed over it or written over it (a second name shares it).
  for (const bool shared : {false, true}) {
    const std::string small = dir_.File(shared ? "shared" : "small");
    std::filesystem::create_directory(small);
    if (::geteuid() != 0 || ::mount("velmo-test", small.c_str(), "tmpfs", 0, "size=1m") != 0) {
      GTEST_SKIP() << "mounting a small tmpfs needs root: " << std::strerror(errno);
    }
    const std::string ini = small + "/lenses.ini";
    const std::string older = kOlder + std::string(512 * 1024, 'x');
    WriteFile(ini, LargeTable(40));
    WriteFile(small + "/lenses.txt", older);
    if (shared) std::filesystem::create_hard_link(small + "/lenses.txt", small + "/archive.txt");
    Outcome outcome = Run({ini});
    const std::string kept = ReadFile(small + "/lenses.txt");
    const std::vector<std::string> entries = Entries(small);
    ::umount2(small.c_str(), MNT_DETACH);
    EXPECT_EQ(outcome.status, 1) << shared;
    EXPECT_NE(outcome.console.find("Disk full.\r\n"), std::string::npos) << outcome.console;
    EXPECT_TRUE(kept == older) << "the old document was changed" << (shared ? " in place" : "");
    EXPECT_EQ(entries.size(), shared ? 3u : 2u) << "a temporary file was left";
  }
}

/// Mounts a new file system of `kind` (btrfs, ext4, xfs), in an image of
/// `megabytes`, on `where`, in a mount namespace of the test process's own,
/// so that it goes when the process does; false when it cannot be made.
bool MountImage(const std::string& kind, int megabytes, const std::string& image, const std::string& where) {
  static const bool ownNamespace =
      ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  const std::string command = "truncate -s " + std::to_string(megabytes) + "M " + image + " && mkfs." + kind +
                              " -q " + image + " >/dev/null 2>&1 && mount -o loop " + image + " " + where;
  return ownNamespace && std::filesystem::create_directory(where) && std::system(command.c_str()) == 0;
}

/// Takes all but `leave` bytes of the free space of the file system
/// holding `directory`, in a file named `filler`.
void FillUpTo(const std::string& directory, std::uint64_t leave) {
  ::sync();  // btrfs counts what it has not yet written as free
  struct statvfs info {};
  ::statvfs(directory.c_str(), &info);
  const std::uint64_t free = std::uint64_t{info.f_bavail} * info.f_frsize;
  const int fd = ::open((directory + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
  ::posix_fallocate(fd, 0, static_cast<off_t>(free - leave));
  ::close(fd);
  ::sync();
}

TEST_F(EndToEnd, AFullDiskOfAnyKindLeavesADocumentWrittenInPlaceWhole) {
  if (UnderWine()) GTEST_SKIP() << "wine's server opens files outside the test's own mounts";
  if (::geteuid() != 0) GTEST_SKIP() << "mounting file systems needs root";
  // A table of 2.5 MB replaces a document of 1 MB that a second name
  // shares, with 1 MB free (too little to lengthen it) or 2 MB (enough to
  // lengthen it, too little for btrfs, which copies every block it
  // overwrites).
  const std::string table = LargeTable(64);
  ASSERT_EQ(Run({Settings("ref.ini", table)}).status, 0);
  const std::string older = kOlder + std::string(1000000, 'x');
  for (const auto& [kind, megabytes] : {std::pair{"btrfs", 120}, {"ext4", 16}, {"xfs", 300}}) {
    const std::string disk = dir_.File(kind);
    if (!MountImage(kind, megabytes, disk + ".img", disk)) {
      ADD_FAILURE() << "no " << kind << " image could be mounted";
      continue;
    }
    const std::string ini = Settings(disk + "/lenses.ini", table), document = disk + "/lenses.txt";
    WriteFile(document, older);
    std::filesystem::create_hard_link(document, disk + "/archive.txt");
    for (std::uint64_t free : {1000000, 2000000}) {
      FillUpTo(disk, free);
      Outcome outcome = Run({ini});
      EXPECT_EQ(outcome.console,
                Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "Disk full.", ""}))
          << kind << ", " << free;
      EXPECT_TRUE(ReadFile(document) == older) << "the old document was changed on " << kind << ", " << free;
      std::filesystem::remove(disk + "/filler");
      ::sync();
    }
    Outcome outcome = Run({ini});
    EXPECT_EQ(outcome.console, Using(ini) + "Created " + document + "\r\n" + kDone) << kind;
    EXPECT_TRUE(ReadFile(disk + "/archive.txt") == ReadFile(work_ + "/ref.txt"))
        << "not the whole table on " << kind;
    EXPECT_EQ(ReadFile(ini), table) << kind;
    settings_.erase(ini);  // unreachable once the disk is gone
    ::umount2(disk.c_str(), MNT_DETACH);
  }
}

TEST_F(EndToEnd, ARunEndedByASignalKeepsTheOldDocument) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  if (!Launcher().empty()) GTEST_SKIP() << "the emulator, not the program, would see the signal";
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no " << kStrace << " to send the signal";
  // The faults too, sent from outside as kill sends them.
  for (const char* signal :
       {"SIGTERM", "SIGINT", "SIGHUP", "SIGQUIT", "SIGUSR1", "SIGALRM", "SIGABRT", "SIGSEGV", "SIGBUS"}) {
    std::string ini = Settings("lenses.ini", LargeTable(20));
    WriteFile(work_ + "/lenses.txt", kOlder);
    // The signal comes when the new document is complete under its
    // temporary name, just before it takes the old one's place.
    RunOptions options;
    const std::string renames = "rename,renameat,renameat2";
    options.wrapper =
        UnderStrace("/dev/null", {"trace=" + renames, "inject=" + renames + ":error=EINTR:signal=" + signal});
    Outcome outcome = Run({ini}, "\n", options);
    EXPECT_EQ(outcome.status, -1) << "the run should end by " << signal;
    EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), kOlder) << signal;
    EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.ini", "lenses.txt"})) << signal;
  }
}

TEST_F(EndToEnd, ASignalAtAnyStepOfAFailingRunLeavesNoTemporaryFile) {
  if (UnderWine()) GTEST_SKIP() << "POSIX signals";
  if (!Launcher().empty()) GTEST_SKIP() << "the emulator, not the program, would see the signal";
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no " << kStrace << " to send the signal";
  // The table outgrows the file-size limit in its temporary file, which
  // the run then removes; a signal comes after one system call after
  // another, from the one that makes the file to the last.
  const std::string ini = Settings("lenses.ini", LargeTable(20)), document = work_ + "/lenses.txt";
  WriteFile(document, kOlder);
  RunOptions options;
  options.fileSizeLimit = 600 * 1024;
  const std::string trace = dir_.File("trace");
  options.wrapper = UnderStrace(trace, {});
  ASSERT_EQ(Run({ini}, "\n", options).status, 1);
  std::istringstream calls(ReadFile(trace));
  int made = 0, count = 0;
  for (std::string call; std::getline(calls, call);) {
    ++count;
    if (made == 0 && call.find("O_EXCL") != std::string::npos) made = count;
  }
  ASSERT_GT(made, 0) << "no temporary file was made";
  for (int when = made - 2; when <= count; ++when) {
    options.wrapper = UnderStrace("/dev/null", {"inject=all:signal=SIGTERM:when=" + std::to_string(when)});
    Run({ini}, "\n", options);
    EXPECT_EQ(ReadFile(document), kOlder) << when;
    EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.ini", "lenses.txt"})) << when;
  }
}

/// Runs `action` in a process of the unprivileged user; true when it
/// returned true there.
bool AsNobody(const std::function<bool()>& action) {
  pid_t child = ::fork();
  if (child == 0) {
    const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && action();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// A directory where anyone may make entries but only their owners remove
/// them, as /tmp, and a file elsewhere that only root may read.
struct SharedDirectory {
  std::string shared, secret;
};

SharedDirectory MakeSharedDirectory(const std::string& shared, const std::string& vault) {
  std::filesystem::create_directory(shared);
  ::chmod(shared.c_str(), 01777);
  std::filesystem::create_directory(vault);
  ::chmod(vault.c_str(), 0700);
  WriteFile(vault + "/secret", "root's own\n");
  ::chmod((vault + "/secret").c_str(), 0600);
  return {shared, vault + "/secret"};
}

TEST_F(EndToEnd, AnotherUsersLinkInASharedDirectoryIsNotFollowedAtAnyStep) {
  if (UnderWine()) GTEST_SKIP() << "POSIX users and links";
  if (::geteuid() != 0 || !CanRunAsNobody()) GTEST_SKIP() << "planting a link as another user needs root";
  // Another user plants a link in /tmp's kind of directory, pointing at a
  // file only root may read: as the document's name, or as the second
  // link of a chain that starts at root's own.
  for (bool chain : {false, true}) {
    const std::string name = chain ? "/chain" : "/link";
    // Named, not bound: a lambda may not capture a structured binding in
    // clang before 16.
    const SharedDirectory place = MakeSharedDirectory(work_ + name, dir_.File("vault" + name.substr(1)));
    const std::string &shared = place.shared, &secret = place.secret;
    const std::string ini = Settings(shared + "/t.ini", "[VELMO]\n" + kNormalLensLists);
    const std::string planted = shared + (chain ? "/evil" : "/t.html");
    ASSERT_TRUE(AsNobody([&] { return ::symlink(secret.c_str(), planted.c_str()) == 0; }));
    if (chain) {
      ASSERT_EQ(::symlink("evil", (shared + "/t.html").c_str()), 0);
    }
    Outcome outcome = Run({ini});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.console, Using(ini) + "*** ERROR: " + shared +
                                   "/t.html is another user's link; it is not followed\r\n" + kDone)
        << chain;
    EXPECT_EQ(ReadFile(secret), "root's own\n") << chain;
    EXPECT_TRUE(std::filesystem::is_symlink(shared + "/t.html")) << chain;
    EXPECT_EQ(Viewed(false), "") << chain;
  }
}

TEST_F(EndToEnd, ANameSwappedBetweenAFileAndAnotherUsersLinkIsNeverFollowed) {
  if (UnderWine()) GTEST_SKIP() << "POSIX users and links";
  if (::geteuid() != 0 || !CanRunAsNobody()) GTEST_SKIP() << "planting a link as another user needs root";
  if (!Launcher().empty()) GTEST_SKIP() << "strace would slow the emulator, not the program";
  if (::access(kStrace, X_OK) != 0) GTEST_SKIP() << "no " << kStrace << " to slow the program";
  // Another user swaps the document's name, as fast as the system lets
  // them, between a file of their own and a link to root's file; every
  // look the run takes at a name is slowed, as on a busy machine.
  const SharedDirectory place = MakeSharedDirectory(work_ + "/shared", dir_.File("vault"));
  const std::string &shared = place.shared, &secret = place.secret;
  const std::string ini = Settings(shared + "/t.ini", kNormalLensText), document = shared + "/t.txt";
  const std::string swap = shared + "/t.swap";
  // Their file and link, made anew for every run: a run that renames its
  // table over the name may have replaced the link.
  const auto plant = [&] {
    std::filesystem::remove(document);
    std::filesystem::remove(swap);
    return AsNobody([&] {
      WriteFile(document, kOlder);
      return ::symlink(secret.c_str(), swap.c_str()) == 0;
    });
  };
  struct Swapper {
    pid_t pid = ::fork();
    ~Swapper() {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  } swapper;
  if (swapper.pid == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(1);
    for (;;) ::renameat2(AT_FDCWD, document.c_str(), AT_FDCWD, swap.c_str(), RENAME_EXCHANGE);
  }
  const std::string looks = "newfstatat,statx,lstat,stat,openat,readlinkat";
  RunOptions options;
  options.wrapper = UnderStrace("/dev/null", {"trace=" + looks, "inject=" + looks + ":delay_exit=3000"});
  const std::string created = Using(ini) + "Created " + document + "\r\n" + kDone;
  const std::string refused =
      Using(ini) + "*** ERROR: " + document + " is another user's link; it is not followed\r\n" + kDone;
  int refusals = 0;
  for (int run = 0; run < 40; ++run) {
    ASSERT_TRUE(plant());
    Outcome outcome = Run({ini}, "\n", options);
    EXPECT_EQ(outcome.status, 0) << outcome.console;
    EXPECT_TRUE(outcome.console == created || outcome.console == refused) << outcome.console;
    refusals += outcome.console == refused;
    ASSERT_EQ(ReadFile(secret), "root's own\n") << "root's file was written in run " << run;
  }
  EXPECT_GT(refusals, 0) << "the swaps never met a run";
}

TEST_F(EndToEnd, AReplacedDocumentKeepsItsPermissionsOwnerAndGroup) {
  if (UnderWine()) GTEST_SKIP() << "POSIX owners and permissions";
  if (::geteuid() != 0 || !CanRunAsNobody()) GTEST_SKIP() << "owners other than the tests' own need root";
  struct Case {
    const char* what;
    uid_t owner;
    gid_t group;
    mode_t mode;
    bool asNobody;
  };
  const Case cases[] = {
      {"the user's private document", kNobody, kNobody, 0600, true},
      {"a user's private document, replaced by root", kNobody, kNobody, 0600, false},
      {"root's document in a directory of the user's group", 0, kNobody, 0664, true},
  };
  for (const Case& c : cases) {
    const std::string ini = Settings("lenses.ini", kNormalLensText), document = work_ + "/lenses.txt";
    WriteFile(document, kOlder);
    ASSERT_EQ(::chown(document.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(document.c_str(), c.mode), 0);
    RunOptions options;
    options.asNobody = c.asNobody;
    Outcome outcome = Run({ini}, "\n", options);
    EXPECT_EQ(outcome.console, Using(ini) + "Created " + document + "\r\n" + kDone) << c.what;
    EXPECT_EQ(ReadFile(document), Expected("normal-lens.txt")) << c.what;
    struct stat info {};
    ::stat(document.c_str(), &info);
    EXPECT_EQ(info.st_uid, c.owner) << c.what;
    EXPECT_EQ(info.st_gid, c.group) << c.what;
    EXPECT_EQ(info.st_mode & 07777, c.mode) << c.what;
    EXPECT_EQ(Entries(work_), (std::vector<std::string>{"lenses.ini", "lenses.txt"})) << c.what;
  }
}

/// The access list of `file` as the kernel keeps it; empty when it has
/// none beyond its permission bits.
std::string AccessList(const std::string& file) {
  std::string value(1024, '\0');
  const ssize_t size = ::getxattr(file.c_str(), "system.posix_acl_access", value.data(), value.size());
  return size < 0 ? "" : value.substr(0, static_cast<std::size_t>(size));
}

TEST_F(EndToEnd, AccessListsAreTheOldDocumentsOrWhatTheShellGivesANewFile) {
  if (UnderWine()) GTEST_SKIP() << "POSIX access lists";
  if (::access("/usr/bin/setfacl", X_OK) != 0) GTEST_SKIP() << "no setfacl";
  // A directory whose default access list lets uid 1234 write new files.
  const std::string acl = work_ + "/acl";
  std::filesystem::create_directory(acl);
  ASSERT_EQ(std::system(("setfacl -d -m u:1234:rw " + acl).c_str()), 0);
  const std::string ini = Settings(acl + "/lenses.ini", kNormalLensText), document = acl + "/lenses.txt";
  // A private document without a list stays private.
  WriteFile(document, kOlder);
  ASSERT_EQ(std::system(("setfacl -b " + document + " && chmod 0640 " + document).c_str()), 0);
  ExpectDocument(ini, "acl/lenses.txt", "normal-lens.txt");
  struct stat info {};
  ::stat(document.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(AccessList(document), "") << "the directory's default widened the document";
  // A document with a list of its own keeps exactly that one.
  ASSERT_EQ(std::system(("setfacl -m u:4321:r " + document).c_str()), 0);
  const std::string own = AccessList(document);
  ExpectDocument(ini, "acl/lenses.txt", "normal-lens.txt");
  EXPECT_EQ(AccessList(document), own);
  // A new document gets what the shell's ">" would give it there.
  std::filesystem::remove(document);
  ExpectDocument(ini, "acl/lenses.txt", "normal-lens.txt");
  ASSERT_EQ(std::system((": > " + acl + "/shell.txt").c_str()), 0);
  struct stat shell {};
  ::stat((acl + "/shell.txt").c_str(), &shell);
  ::stat(document.c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, shell.st_mode & 07777);
  EXPECT_EQ(AccessList(document), AccessList(acl + "/shell.txt"));
}

TEST_F(EndToEnd, AReplacedDocumentLosesItsSetIdBitsEitherWay) {
  if (UnderWine()) GTEST_SKIP() << "POSIX permissions";
  // A table is no program: the bits go whether the document is renamed
  // over (its own) or written in place (another name shares it).
  const std::string ini = Settings("lenses.ini", kNormalLensText), document = work_ + "/lenses.txt";
  for (const bool shared : {false, true}) {
    for (const mode_t mode : {04755u, 06777u}) {
      WriteFile(document, kOlder);
      ::chmod(document.c_str(), mode);
      if (shared) std::filesystem::create_hard_link(document, work_ + "/archive.txt");
      ExpectDocument(ini, "lenses.txt", "normal-lens.txt");
      struct stat info {};
      ::stat(document.c_str(), &info);
      EXPECT_EQ(info.st_mode & 07777, mode & 0777) << std::oct << mode << (shared ? ", shared" : "");
      std::filesystem::remove(work_ + "/archive.txt");
    }
  }
}

TEST_F(EndToEnd, AnOlderDocumentIsReplacedUnderEveryName) {
  const std::string ini = Settings("lenses.ini", kNormalLensText), document = work_ + "/lenses.txt";
  WriteFile(document, kOlder);
  ExpectDocument(ini, "lenses.txt", "normal-lens.txt");
  // A second name shares the file: the table is written over it.
  WriteFile(document, kOlder);
  std::filesystem::create_hard_link(document, work_ + "/archive.txt");
  ExpectDocument(ini, "lenses.txt", "normal-lens.txt");
  EXPECT_EQ(ReadFile(work_ + "/archive.txt"), Expected("normal-lens.txt"));
  // A symbolic link stays one, and the file it names gets the table, also
  // where there is no such file yet (Windows makes the document there).
  for (const bool dangling : {false, true}) {
    if (dangling && UnderWine()) continue;
    std::filesystem::remove(document);
    std::filesystem::remove(work_ + "/archive.txt");
    if (!dangling) WriteFile(work_ + "/archive.txt", kOlder);
    std::filesystem::create_symlink("archive.txt", document);
    ExpectDocument(ini, "lenses.txt", "normal-lens.txt");
    EXPECT_TRUE(std::filesystem::is_symlink(document)) << dangling;
    EXPECT_EQ(ReadFile(work_ + "/archive.txt"), Expected("normal-lens.txt")) << dangling;
  }
}

TEST_F(EndToEnd, InADirectoryThatTakesNoNewFileTheDocumentIsWrittenOverWhole) {
  if (UnderWine()) GTEST_SKIP() << "POSIX permissions and limits";
  if (!CanRunAsNobody()) GTEST_SKIP() << "an unprivileged user cannot run " << VELMO_PROGRAM;
  // The same table made where a new file can be, for comparison.
  const std::string table = LargeTable(20);
  ASSERT_EQ(Run({Settings("ref.ini", table)}).status, 0);
  const std::string locked = work_ + "/locked", document = locked + "/lenses.txt";
  std::filesystem::create_directory(locked);
  const std::string ini = Settings(locked + "/lenses.ini", table);
  const std::string older = kOlder + std::string(512 * 1024, 'x');
  WriteFile(document, older);
  ASSERT_EQ(::chown(document.c_str(), kNobody, kNobody), 0);
  ::chmod(locked.c_str(), 0555);
  RunOptions options;
  options.asNobody = true;  // as root, the directory would take the file
  options.fileSizeLimit = 600 * 1024;
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.console,
            Using(ini) + CrLf({"Exception EInOutError in module velmo at ????????.", "Disk full.", ""}));
  EXPECT_TRUE(ReadFile(document) == older) << "a run that failed changed the old document";
  options.fileSizeLimit = RLIM_INFINITY;
  outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + document + "\r\n" + kDone);
  EXPECT_TRUE(ReadFile(document) == ReadFile(work_ + "/ref.txt")) << "not the whole table";
  ::chmod(locked.c_str(), 0755);
}

TEST_F(EndToEnd, NamesPlantedBesideTheDocumentDoNotBlockIt) {
  if (UnderWine()) GTEST_SKIP() << "the Windows process number is not the POSIX one";
  const std::string ini = Settings("lenses.ini", kNormalLensText);
  // The names an earlier version would try, for the process number the run
  // will have: the shell's, which the run takes over.
  RunOptions options;
  options.wrapper = {"/bin/sh", "-c", "for i in $(seq 0 99); do : > .velmo-$$-$i.tmp; done; exec \"$@\"",
                     "sh"};
  Outcome outcome = Run({ini}, "\n", options);
  EXPECT_EQ(outcome.console, Using(ini) + "Created " + work_ + "/lenses.txt\r\n" + kDone);
  EXPECT_EQ(ReadFile(work_ + "/lenses.txt"), Expected("normal-lens.txt"));
  EXPECT_EQ(Entries(work_).size(), 102u) << "the planted files are not the run's to remove";
}

TEST_F(EndToEnd, TemporaryFilesOfRunsKilledLongAgoAreRemoved) {
  if (UnderWine()) GTEST_SKIP() << "POSIX processes";
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
  struct Planted {
    std::string name;
    bool old;
    bool kept;
  };
  const Planted planted[] = {
      {".velmo-" + dead + "-0123456789abcdef.tmp", true, false},
      {".velmo-" + dead + "-7.tmp", true, false},  // as an earlier version named them
      {".velmo-" + dead + "-fedcba9876543210.tmp", false, true},
      {".velmo-" + alive + "-0123456789abcdef.tmp", true, true},
      {".velmo-" + dead + "-notours.tmp", true, true},
  };
  for (const Planted& p : planted) {
    const std::string file = work_ + "/" + p.name;
    WriteFile(file, "a part of a table");
    if (p.old) std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - 1h);
  }
  ExpectDocument(Settings("lenses.ini", kNormalLensText), "lenses.txt", "normal-lens.txt");
  for (const Planted& p : planted) EXPECT_EQ(std::filesystem::exists(work_ + "/" + p.name), p.kept) << p.name;
}

}  // namespace
}  // namespace velmo
