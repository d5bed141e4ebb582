// How a finished document takes the place of the one already there: the
// one choice every system makes the same way, and the in-place write that
// one of the ways needs. The system files only find the facts and carry
// out the choice.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

/// What is known of the file a document name reaches.
struct OldDocumentFacts {
  /// The name leads through another user's symbolic link in a directory
  /// where anyone may make entries (/tmp), which the run does not follow.
  bool foreignLink = false;
  bool exists = false;
  /// A plain file, with content to keep; not a device or a pipe.
  bool regular = true;
  /// Other hard links share the file.
  bool otherNames = false;
  /// The directory took a new file beside it.
  bool newFileAllowed = true;
  /// That new file took the old one's owner, group and attributes (access
  /// lists, labels).
  bool identityGiven = true;
};

enum class Replacement {
  kRefuse,   // nothing written; the run says why
  kStream,   // a device or pipe, written as the tables come
  kRename,   // a new file, renamed over the old name when complete
  kInPlace,  // the old file itself written over when the table is complete
};

/// The way to replace a document, from the facts known so far: asked
/// first with the defaults for what only a new file can tell, it says
/// whether a new file is worth making.
Replacement ChooseReplacement(const OldDocumentFacts& old);

/// What writing over a file in place needs of the system.
class FileInPlace {
 public:
  virtual ~FileInPlace() = default;
  virtual std::uint64_t Size() = 0;
  /// The whole content; false when it cannot be read (a file the user may
  /// write but not read).
  virtual bool ReadAll(std::string& content) = 0;
  /// Makes sure that `size` bytes can be written over the file: its space
  /// allocated (which may leave it that long), and on a file system that
  /// copies the blocks it overwrites, as much again free. Throws
  /// EInOutError, for a full disk too.
  virtual void Reserve(std::uint64_t size) = 0;
  virtual void WriteAt(const std::string& bytes) = 0;
  virtual void Truncate(std::uint64_t size) = 0;
};

/// Writes `bytes` over the file. Where a write fails part way (a full disk,
/// also one that must copy every block it overwrites), the old content is
/// written back and the old length restored before the error travels on.
void WriteOver(FileInPlace& file, const std::string& bytes);

}  // namespace velmo
