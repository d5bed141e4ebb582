// The failures that end a run with the failure report. The class names are
// part of the report the user sees, so each class knows its own name.
#pragma once

#include <string>
#include <utility>

namespace velmo {

/// Base of every failure the run reports. Carries the message and the code
/// position where the failure was raised (an address inside the program).
class Exception {
 public:
  /// Records the caller as the position of the failure.
  [[gnu::noinline]] explicit Exception(std::string message);
  Exception(std::string message, const void* where);
  virtual ~Exception() = default;

  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  const void* Where() const { return where_; }

 private:
  std::string message_;
  const void* where_;
};

/// A failure that differs from the others only by its class name.
template <const char* Name>
class NamedException : public Exception {
 public:
  /// Records the caller as the position of the failure.
  [[gnu::noinline]] explicit NamedException(std::string message)
      : Exception(std::move(message), __builtin_return_address(0)) {}
  NamedException(std::string message, const void* where) : Exception(std::move(message), where) {}
  const char* ClassName() const override { return Name; }
};

inline constexpr char kErrorName[] = "Error";
inline constexpr char kConvertErrorName[] = "EConvertError";
inline constexpr char kOverflowName[] = "EOverflow";
inline constexpr char kRangeErrorName[] = "ERangeError";

/// The system's own failure, raised only for list values beyond 1E999.
using Error = NamedException<kErrorName>;
/// A text that is not a number.
using EConvertError = NamedException<kConvertErrorName>;
/// A settings number beyond the range of a double.
using EOverflow = NamedException<kOverflowName>;
/// An index outside an array.
using ERangeError = NamedException<kRangeErrorName>;

/// A failed console or file operation, with its I/O code.
class EInOutError : public Exception {
 public:
  EInOutError(int code, std::string message, const void* where);
  const char* ClassName() const override { return "EInOutError"; }
  int Code() const { return code_; }

 private:
  int code_;
};

/// Throws EInOutError with `code` and its message, naming the caller as the
/// failure's position.
[[noreturn, gnu::noinline]] void RaiseInOutError(int code);

/// Throws EInOutError for the system error `err` (an errno value), naming
/// the caller as the failure's position.
[[noreturn, gnu::noinline]] void RaiseSystemError(int err);

/// Throws EOverflow ("Floating point overflow") at the caller's position.
[[noreturn, gnu::noinline]] void RaiseOverflow();

}  // namespace velmo
