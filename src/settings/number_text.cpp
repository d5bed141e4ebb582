#include "settings/number_text.h"

#include <string>

#include "numtext/decimal_conversion.h"
#include "numtext/undefined.h"
#include "platform/exceptions.h"

namespace velmo {

namespace {

/// The syntax of a number, taken apart: the digits before and after the
/// point, one string, and the power of ten that scales them.
struct NumberParts {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void SkipSpaces(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

std::size_t TakeDigits(std::string_view& text, std::string& digits) {
  std::size_t count = 0;
  while (count < text.size() && IsDigit(text[count])) ++count;
  digits.append(text.substr(0, count));
  text.remove_prefix(count);
  return count;
}

long TakeExponent(std::string_view& text) {
  if (text.empty() || (text.front() != 'E' && text.front() != 'e')) return 0;
  text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // The digit that brings the exponent to 500 or more is the last one read;
  // any digit after it is left over, and the text is no number.
  long exponent = 0;
  while (exponent < 500 && !text.empty() && IsDigit(text.front())) {
    exponent = exponent * 10 + (text.front() - '0');
    text.remove_prefix(1);
  }
  return negative ? -exponent : exponent;
}

bool SplitNumber(std::string_view text, NumberParts& parts) {
  SkipSpaces(text);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    parts.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::size_t taken = TakeDigits(text, parts.digits);
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    std::size_t decimals = TakeDigits(text, parts.digits);
    parts.exponent -= static_cast<long>(decimals);
    taken += decimals + 1;
  }
  if (taken == 0) return false;
  parts.exponent += TakeExponent(text);
  SkipSpaces(text);
  return text.empty();
}

/// 1E999 in the extended format, read as the settings themselves are.
Extended TooLarge() {
  static const Extended kTooLarge = [] {
    Extended value;
    ExtendedFromDecimal("1", 999, false, value);
    return value;
  }();
  return kTooLarge;
}

}  // namespace

bool NumberFromText(std::string_view text, Extended& value) {
  NumberParts parts;
  if (!SplitNumber(text, parts)) return false;
  // Digits and a power of ten, correctly rounded: no locale can change how
  // they read, and every build reads them alike.
  return ExtendedFromDecimal(parts.digits, parts.exponent, parts.negative, value);
}

Extended NumberFromText(std::string_view text) {
  Extended value;
  if (!NumberFromText(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

Extended ParseNumber(std::string_view text) {
  if (text == "?") return UndefinedExtended();
  Extended value = NumberFromText(text);
  if (Abs(value) > TooLarge()) throw Error("Value too large");
  return value;
}

double StoreDouble(Extended value) {
  auto stored = static_cast<double>(value);
  if (IsUndefined(stored) && !IsUndefined(value)) RaiseOverflow();
  return stored;
}

}  // namespace velmo
