// Line input from the console.
#pragma once

#include <cstddef>
#include <string>

#include "platform/byte_stream.h"

namespace velmo {

class LineReader {
 public:
  // The buffer is filled before it is read.
  // cppcheck-suppress uninitMemberVar
  explicit LineReader(ByteSource& source) : source_(source) {}

  /// Reads one line into `line`, without its end. A line ends at LF, at
  /// CR LF or at the end of input; a CR not followed by LF is dropped.
  /// Input already at its end gives an empty line. At most `most`
  /// characters are kept, the rest of the line is read and dropped, and the
  /// result is then false. Throws EInOutError.
  bool ReadLine(std::string& line, std::size_t most = std::string::npos);
  /// Reads one line and keeps nothing of it.
  void SkipLine();

 private:
  bool Next(char& c);

  ByteSource& source_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool ended_ = false;
  char buffer_[4096];
};

}  // namespace velmo
