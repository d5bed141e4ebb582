// The two ends of every byte stream the program touches: the console, the
// output document and, in tests, memory.
#pragma once

#include <cstddef>

namespace velmo {

/// Somewhere bytes go. Write and Close throw EInOutError on failure.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  /// Writes all `size` bytes or throws.
  virtual void Write(const char* data, std::size_t size) = 0;
  /// Makes sure everything written has reached its place; closes it.
  virtual void Close() = 0;
};

/// Somewhere bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads up to `capacity` bytes; 0 means the end of input. Throws
  /// EInOutError when the read fails.
  virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
};

}  // namespace velmo
