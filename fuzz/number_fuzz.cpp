// Settings numbers: whatever the bytes, the conversion accepts exactly the
// texts of the number syntax, and agrees with the C library where both read
// the text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

#include "numtext/undefined.h"
#include "platform/exceptions.h"
#include "settings/number_text.h"
#include "x87_oracle.h"

namespace {

/// The syntax, said as a pattern: spaces, sign, digits with a point (at
/// least one of them), an exponent whose digits are read only while its
/// value is below 500, spaces.
bool HasNumberSyntax(const std::string& text) {
  static const std::regex pattern(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]*)([eE][+-]?([0-9]*))? *$)");
  std::smatch match;
  if (!std::regex_match(text, match, pattern)) return false;
  const std::string exponent = match[3].str();
  long value = 0;
  std::size_t read = 0;
  while (read < exponent.size() && value < 500) value = value * 10 + (exponent[read++] - '0');
  return read == exponent.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 300) return 0;  // longer texts add nothing but time in the pattern check
  const std::string text(reinterpret_cast<const char*>(data), size);
  velmo::Extended value = 0;
  const bool accepted = velmo::NumberFromText(text, value);
  if (accepted && !HasNumberSyntax(text)) std::abort();
  if (!accepted && HasNumberSyntax(text) && text.find_first_of("123456789") != std::string::npos) {
    // Only a value beyond the extended range may be refused.
    char* end = nullptr;
    long double library = std::strtold(text.c_str(), &end);
    if (std::isfinite(library) && *end == '\0' && text.find_first_of("eE") == std::string::npos) std::abort();
  }
  if (accepted) {
    if (velmo::IsUndefined(value)) std::abort();
    // Where the C library reads the whole text too, both are correctly rounded.
    char* end = nullptr;
    long double library = std::strtold(text.c_str(), &end);
    std::size_t rest = static_cast<std::size_t>(end - text.c_str());
    if (rest > 0 && text.find_first_not_of(' ', rest) == std::string::npos &&
        text.find('.') == std::string::npos) {
      if (library != velmo::test::NativeOf(value) && !(library == 0 && value == 0)) std::abort();
    }
  }
  try {
    velmo::Extended parsed = velmo::ParseNumber(text);
    if (text != "?" && parsed != value) std::abort();
    if (text == "?" && !velmo::IsUndefined(parsed)) std::abort();
    velmo::StoreDouble(parsed);
  } catch (const velmo::Exception&) {
  }
  return 0;
}
