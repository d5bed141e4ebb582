#include "settings/integer_text.h"

namespace velmo {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool HexFromText(std::string_view digits, std::int32_t& value) {
  if (digits.empty()) return false;
  std::uint64_t bits = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    bits = bits * 16 + static_cast<std::uint64_t>(digit);
    if (bits > 0xFFFFFFFFu) return false;
  }
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
  return true;
}

bool DecimalFromText(std::string_view text, std::int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > 2147483648LL) return false;
  }
  if (!negative && magnitude > 2147483647LL) return false;
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

bool IntegerFromText(std::string_view text, std::int32_t& value) {
  std::size_t first = text.find_first_not_of(' ');
  text = first == std::string_view::npos ? std::string_view() : text.substr(first);
  if (text.empty()) return false;
  if (text.front() == '$' || text.front() == 'x' || text.front() == 'X') {
    return HexFromText(text.substr(1), value);
  }
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return HexFromText(text.substr(2), value);
  }
  return DecimalFromText(text, value);
}

}  // namespace velmo
