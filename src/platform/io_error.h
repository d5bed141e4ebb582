// The I/O codes of failed console and file operations, and their messages.
#pragma once

#include <string>

namespace velmo {

/// I/O codes with a message of their own; any other code is shown by number.
enum InOutCode : int {
  kFileNotFound = 2,
  kInvalidFilename = 3,
  kTooManyOpenFiles = 4,
  kFileAccessDenied = 5,
  kReadBeyondEnd = 100,
  kDiskFull = 101,
  kInvalidNumericInput = 106,
  kSharingViolation = 32,
};

/// The message for an I/O code: "File not found" for 2, ..., and
/// "I/O error " followed by the number for a code without a message.
std::string InOutErrorMessage(int code);

/// Maps an errno value of a failed operation to the I/O code reported.
int InOutCodeFromErrno(int err);

}  // namespace velmo
