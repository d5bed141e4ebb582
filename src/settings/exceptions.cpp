#include "settings/exceptions.h"

#include <utility>

#include "platform/io_error.h"

namespace velmo {

Exception::Exception(std::string message)
    : message_(std::move(message)), where_(__builtin_return_address(0)) {}

Exception::Exception(std::string message, const void* where)
    : message_(std::move(message)), where_(where) {}

EInOutError::EInOutError(int code, const void* where)
    : Exception(InOutErrorMessage(code), where), code_(code) {}

void RaiseInOutError(int code) {
  throw EInOutError(code, __builtin_return_address(0));
}

void RaiseOverflow() {
  throw EOverflow("Floating point overflow", __builtin_return_address(0));
}

}  // namespace velmo
