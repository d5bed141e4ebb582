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

/// What a failed operation reports: its I/O code and the message.
struct InOutFailure {
  int Code;
  std::string Message;
};

/// The report for an errno value: the named codes where the failure is one
/// of theirs, else "I/O error " and the errno value itself.
InOutFailure InOutFailureFromErrno(int err);

}  // namespace velmo
