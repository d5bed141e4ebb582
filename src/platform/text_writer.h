// Buffered text output: the write primitives of the console and of the
// output document. Bytes reach the sink only when the buffer fills, on
// Flush, or on Close, so a table costs a handful of system calls.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/byte_stream.h"

namespace velmo {

class TextWriter {
 public:
  // The buffer is filled before it is read; clearing 64 KiB would be waste.
  // cppcheck-suppress uninitMemberVar
  explicit TextWriter(ByteSink& sink) : sink_(sink) {}
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  /// The characters as they are.
  void Text(std::string_view text);
  /// Blanks first when `text` is shorter than `width`, then the text.
  void TextInField(std::string_view text, int width);
  void Char(char c);
  /// Decimal digits, no leading blanks.
  void Integer(long long value);
  /// `count` blanks (none when count <= 0).
  void Blanks(int count);
  /// CR LF, the end of every line the program writes.
  void LineEnd() { Text("\r\n"); }
  /// `text`, then CR LF.
  void Line(std::string_view text);

  /// Hands everything buffered to the sink. On failure the buffered bytes
  /// are dropped and EInOutError propagates.
  void Flush();
  /// Flush, then close the sink.
  void Close();

 private:
  void Spill();

  ByteSink& sink_;
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};

}  // namespace velmo
