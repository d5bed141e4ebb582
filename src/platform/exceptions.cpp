#include "platform/exceptions.h"

#include <utility>

#include "platform/io_error.h"

namespace velmo {

Exception::Exception(std::string message)
    : message_(std::move(message)), where_(__builtin_return_address(0)) {}

Exception::Exception(std::string message, const void* where) : message_(std::move(message)), where_(where) {}

EInOutError::EInOutError(int code, std::string message, const void* where)
    : Exception(std::move(message), where), code_(code) {}

void RaiseInOutError(int code) {
  throw EInOutError(code, InOutErrorMessage(code), __builtin_return_address(0));
}

void RaiseSystemError(int err) {
  InOutFailure failure = InOutFailureFromErrno(err);
  throw EInOutError(failure.Code, std::move(failure.Message), __builtin_return_address(0));
}

void RaiseOverflow() {
  throw EOverflow("Floating point overflow", __builtin_return_address(0));
}

}  // namespace velmo
