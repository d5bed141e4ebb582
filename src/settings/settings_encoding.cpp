#include "settings/settings_encoding.h"

#include <cstdint>

namespace velmo {

namespace {

void AppendUtf8(std::string& text, std::uint32_t c) {
  const auto byte = [&](std::uint32_t b) { text += static_cast<char>(b); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | c >> 6);
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | c >> 12);
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | c >> 18);
    byte(0x80 | (c >> 12 & 0x3F));
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

std::string Utf8FromUtf16(const std::string& bytes, bool bigEndian) {
  constexpr std::uint32_t kReplacement = 0xFFFD;
  const std::size_t units = bytes.size() / 2;
  const auto unit = [&](std::size_t i) -> std::uint32_t {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 1; i < units; ++i) {  // unit 0 is the mark
    const std::uint32_t c = unit(i);
    const bool high = c >= 0xD800 && c < 0xDC00, low = c >= 0xDC00 && c < 0xE000;
    if (high && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
      AppendUtf8(text, 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00));
    } else {
      AppendUtf8(text, high || low ? kReplacement : c);
    }
  }
  return text;
}

}  // namespace

std::string SettingsFileText(std::string bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf8FromUtf16(bytes, false);
  if (bytes.starts_with("\xFE\xFF")) return Utf8FromUtf16(bytes, true);
  return bytes;
}

}  // namespace velmo
