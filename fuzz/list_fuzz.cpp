// Cutting lists: counts and items obey the rules for any text, separator
// and maximum.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "settings/value_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto maximum = static_cast<std::uint16_t>(data[0] % 80);
  const char separator = static_cast<char>(data[1]);
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  // The items, as a plain reading of the rules would find them, and what
  // is left of the text after the 64th.
  std::vector<std::string> expected;
  std::string current;
  std::size_t restAfter64 = text.size();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != separator) {
      current += text[i];
      continue;
    }
    if (current.empty()) continue;
    expected.push_back(current);
    current.clear();
    if (expected.size() == 64) restAfter64 = i + 1;
  }
  if (!current.empty()) expected.push_back(current);

  std::vector<std::string> items(64, "untouched");
  std::uint16_t count = 0;
  try {
    count = velmo::SplitList(text, items, maximum, separator);
  } catch (const velmo::ERangeError&) {
    // Only a text beyond 65535 characters, or more than 64 wanted while
    // text is left after the 64th item (even if only separators).
    bool overfull = maximum > 64 && expected.size() >= 64 && restAfter64 < size - 2;
    if (!overfull && size - 2 <= 65535) std::abort();
    return 0;
  }
  if (count > maximum || count > expected.size()) std::abort();
  if (count < maximum && count != expected.size()) std::abort();
  for (std::uint16_t i = 0; i < count; ++i) {
    if (items[i].empty() || items[i].find(separator) != std::string::npos || items[i] != expected[i])
      std::abort();
  }
  return 0;
}
