// The file system's part of a run: the bytes of a document replacing the
// last one the way Velmo replaces a document, with none of Velmo's work.
// The bytes of SOURCE go into a new file beside TARGET, which is then
// renamed over TARGET; the old TARGET stays open until the new one is in
// its place, as Velmo holds the document it replaces. Where a file system
// frees the old document's blocks at a cost (ext4 mounted with `discard`
// waits for the device), that cost is here as it is in Velmo's run, and not
// in `cat`'s overwrite.
// Usage: replace_copy SOURCE TARGET
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: replace_copy SOURCE TARGET\n", stderr);
    return 2;
  }
  char fresh[4096];
  if (std::snprintf(fresh, sizeof fresh, "%s.new", argv[2]) >= static_cast<int>(sizeof fresh)) return 2;
  const int source = open(argv[1], O_RDONLY | O_CLOEXEC);
  const int old = open(argv[2], O_RDONLY | O_CLOEXEC);  // none the first time
  const int out = open(fresh, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (source < 0 || out < 0) {
    std::perror("replace_copy");
    return 1;
  }
  static char buffer[1 << 16];  // Velmo's pieces are as large
  for (ssize_t size; (size = read(source, buffer, sizeof buffer)) > 0;) {
    if (write(out, buffer, static_cast<std::size_t>(size)) != size) {
      std::perror("replace_copy");
      return 1;
    }
  }
  if (close(out) != 0 || std::rename(fresh, argv[2]) != 0) {
    std::perror("replace_copy");
    return 1;
  }
  if (old >= 0) close(old);
  return 0;
}
