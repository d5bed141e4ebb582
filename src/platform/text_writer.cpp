#include "platform/text_writer.h"

#include <charconv>
#include <cstring>

namespace velmo {

void TextWriter::TextAcrossBuffers(std::string_view text) {
  while (!text.empty()) {
    if (used_ == sizeof buffer_) Spill();
    std::size_t n = std::min(text.size(), sizeof buffer_ - used_);
    std::memcpy(buffer_ + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void TextWriter::TextInField(std::string_view text, int width) {
  Blanks(width - static_cast<int>(text.size()));
  Text(text);
}

void TextWriter::Integer(long long value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  Text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void TextWriter::Blanks(int count) {
  for (; count > 0; --count) Char(' ');
}

void TextWriter::Line(std::string_view text) {
  Text(text);
  LineEnd();
}

void TextWriter::Spill() {
  std::size_t n = used_;
  // A failed write loses what it was given; keeping it would only make the
  // failure report fail the same way again.
  used_ = 0;
  if (n > 0) sink_.Write(buffer_, n);
}

void TextWriter::Flush() {
  Spill();
}

void TextWriter::Close() {
  Spill();
  sink_.Close();
}

}  // namespace velmo
