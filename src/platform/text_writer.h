// Buffered text output: the write primitives of the console and of the
// output document. A document's bytes reach the sink only when the buffer
// fills, on Flush, or on Close, so a table costs a handful of system calls;
// the console's also at the end of every line, so that the user sees each
// line when it is written and a console that fails is found at once.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/byte_stream.h"

namespace velmo {

class TextWriter {
 public:
  enum class Buffering { Full, Line };
  // The buffer is filled before it is read; clearing 64 KiB would be waste.
  // cppcheck-suppress uninitMemberVar
  explicit TextWriter(ByteSink& sink, Buffering buffering = Buffering::Full)
      : sink_(sink), lineBuffered_(buffering == Buffering::Line) {}
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  /// The characters as they are.
  void Text(std::string_view text) {
    // Most texts are a table cell or a tag: straight into the buffer.
    if (text.size() <= sizeof buffer_ - used_) {
      std::memcpy(buffer_ + used_, text.data(), text.size());
      used_ += text.size();
    } else {
      TextAcrossBuffers(text);
    }
  }
  /// Room for `count` characters (at most the buffer's size) to be written
  /// in place, then handed over by Advance with the number written: a
  /// table cell goes straight into the buffer.
  char* Room(std::size_t count) {
    if (sizeof buffer_ - used_ < count) Spill();
    return buffer_ + used_;
  }
  void Advance(std::size_t count) { used_ += count; }

  /// Blanks first when `text` is shorter than `width`, then the text.
  void TextInField(std::string_view text, int width);
  void Char(char c) {
    if (used_ == sizeof buffer_) Spill();
    buffer_[used_++] = c;
  }
  /// Decimal digits, no leading blanks.
  void Integer(long long value);
  /// `count` blanks (none when count <= 0).
  void Blanks(int count);
  /// CR LF, the end of every line the program writes; a line-buffered
  /// writer hands the line to its sink.
  void LineEnd() {
    Text("\r\n");
    if (lineBuffered_) Flush();
  }
  /// `text`, then CR LF.
  void Line(std::string_view text);

  /// Hands everything buffered to the sink. On failure the buffered bytes
  /// are dropped and EInOutError propagates.
  void Flush();
  /// Flush, then close the sink.
  void Close();

 private:
  void Spill();
  void TextAcrossBuffers(std::string_view text);

  ByteSink& sink_;
  bool lineBuffered_;
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};

}  // namespace velmo
