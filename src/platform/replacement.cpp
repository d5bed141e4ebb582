#include "platform/replacement.h"

#include "platform/exceptions.h"

namespace velmo {

Replacement ChooseReplacement(const OldDocumentFacts& old) {
  if (old.foreignLink) return Replacement::kRefuse;
  if (!old.exists) return Replacement::kRename;
  if (!old.regular) return Replacement::kStream;
  // A new file would lose what makes the old one the file others know:
  // its other names, or an owner or attributes this user cannot give.
  if (old.otherNames || !old.newFileAllowed || !old.identityGiven) return Replacement::kInPlace;
  return Replacement::kRename;
}

void WriteOver(FileInPlace& file, const std::string& bytes) {
  const std::uint64_t oldSize = file.Size();
  std::string old;
  const bool restorable = file.ReadAll(old);
  bool touched = false;
  try {
    file.Reserve(bytes.size());
    touched = true;
    file.WriteAt(bytes);
    file.Truncate(bytes.size());
  } catch (const Exception&) {
    // The first error is the one to report; putting back is all that is
    // left to try.
    try {
      if (touched && restorable) file.WriteAt(old);
    } catch (const Exception&) {
    }
    try {
      file.Truncate(oldSize);
    } catch (const Exception&) {
    }
    throw;
  }
}

}  // namespace velmo
