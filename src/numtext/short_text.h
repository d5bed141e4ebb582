// Texts held in place: the number texts of a table cell are built without
// touching the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "numtext/number_settings.h"

namespace velmo {

/// A text of at most `Capacity` characters; what goes beyond is dropped.
template <std::size_t Capacity>
class FixedText {
 public:
  static constexpr std::size_t kCapacity = Capacity;

  // The characters past size() are never read, so they are left as they are.
  // cppcheck-suppress uninitMemberVar
  FixedText() = default;
  FixedText(std::string_view text) { Append(text); }  // NOLINT: converts like a string

  void Append(char c) {
    if (size_ < kCapacity) chars_[size_++] = c;
  }
  void Append(std::string_view text) {
    const std::size_t count = std::min(text.size(), kCapacity - size_);
    std::memcpy(chars_ + size_, text.data(), count);
    size_ += count;
  }
  void Append(std::size_t count, char c) {
    for (; count > 0; --count) Append(c);
  }
  /// The decimal digits of `value`, with leading zeros up to `leastDigits`.
  void AppendInteger(unsigned value, int leastDigits = 1) {
    char digits[12];
    int n = 0;
    do {
      digits[n++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0);
    for (int i = n; i < leastDigits; ++i) Append('0');
    while (n > 0) Append(digits[--n]);
  }
  /// Puts `count` copies of `c` in front, as far as there is room.
  void Prepend(std::size_t count, char c) {
    count = std::min(count, kCapacity - size_);
    std::memmove(chars_ + count, chars_, size_);
    std::memset(chars_, c, count);
    size_ += count;
  }
  void EraseFront(std::size_t count) {
    count = std::min(count, size_);
    std::memmove(chars_, chars_ + count, size_ - count);
    size_ -= count;
  }
  void Erase(std::size_t pos, std::size_t count = 1) {
    std::memmove(chars_ + pos, chars_ + pos + count, size_ - pos - count);
    size_ -= count;
  }
  /// Removes the zeros that stand directly before position `end`, and then
  /// a decimal point left standing there: "2.500" -> "2.5", "1.0E+05" ->
  /// "1E+05" (with `end` at the "E").
  void DropZerosBefore(std::size_t end) {
    while (end > 0 && chars_[end - 1] == '0') Erase(--end);
    if (end > 0 && chars_[end - 1] == DecimalSeparator) Erase(end - 1);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char operator[](std::size_t i) const { return chars_[i]; }
  char front() const { return chars_[0]; }
  char back() const { return chars_[size_ - 1]; }
  std::string_view View() const { return {chars_, size_}; }
  std::string Str() const { return std::string(View()); }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.View() == b; }
  friend std::ostream& operator<<(std::ostream& out, const FixedText& t) { return out << t.View(); }

 private:
  std::size_t size_ = 0;
  char chars_[kCapacity];
};

/// Room for every number text but WriteReal's: an 18-digit fixed form with
/// 18 decimals and its sign.
using ShortText = FixedText<64>;

}  // namespace velmo
