#include "output/html_text.h"

#include <cstdint>
#include <string>

namespace velmo {

namespace {

/// The length of the valid UTF-8 sequence of two to four bytes at the start
/// of `text`, with its code point in `code`; 0 where there is none there
/// (an ASCII byte, a stray continuation byte, an overlong form, a
/// surrogate, a code point beyond U+10FFFF, a cut sequence).
std::size_t MultiByteSequence(std::string_view text, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  // The least and greatest second byte that the lead byte allows.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // not overlong
    if (lead == 0xED) high = 0x9F;  // not a surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // not overlong
    if (lead == 0xF4) high = 0x8F;  // not beyond U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  return length;
}

}  // namespace

void WriteHtmlText(TextWriter& out, std::string_view text) {
  while (!text.empty()) {
    std::uint32_t code = 0;
    const std::size_t length = MultiByteSequence(text, code);
    if (length == 0) {
      out.Char(text.front());
      text.remove_prefix(1);
      continue;
    }
    out.Text("&#" + std::to_string(code) + ";");
    text.remove_prefix(length);
  }
}

}  // namespace velmo
