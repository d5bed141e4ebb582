#include "platform/io_error.h"

#include <cerrno>

namespace velmo {

std::string InOutErrorMessage(int code) {
  switch (code) {
    case kFileNotFound: return "File not found";
    case kInvalidFilename: return "Invalid filename";
    case kTooManyOpenFiles: return "Too many open files";
    case kFileAccessDenied: return "File access denied";
    case kReadBeyondEnd: return "Read beyond end of file";
    case kDiskFull: return "Disk full";
    case kInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

namespace {

/// The named code for an errno value, or 0 when it has none.
int NamedCode(int err) {
  switch (err) {
    case ENOENT: return kFileNotFound;
    case ENAMETOOLONG: return kInvalidFilename;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    // A directory where the document should be is a place the user may not
    // write: "File access denied" says what to do about it.
    case EISDIR: return kFileAccessDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG: return kDiskFull;
    default: return 0;
  }
}

}  // namespace

InOutFailure InOutFailureFromErrno(int err) {
  // An errno value without a named code is shown by its number, even where
  // that number is a named code of its own (EIO is 5 on Linux, and is no
  // denied access).
  int code = NamedCode(err);
  if (code != 0) return {code, InOutErrorMessage(code)};
  return {err, "I/O error " + std::to_string(err)};
}

}  // namespace velmo
