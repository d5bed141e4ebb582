#include "settings/value_list.h"

#include "platform/exceptions.h"

namespace velmo {

void NextToken(std::string& text, std::string& token, char separator) {
  if (text.size() > 65535) throw ERangeError("Range check error");
  token.clear();
  std::size_t start = text.find_first_not_of(separator);
  if (start == std::string::npos) return;
  std::size_t end = text.find(separator, start);
  if (end == std::string::npos) {
    token.assign(text, start);
    text.clear();
  } else {
    token.assign(text, start, end - start);
    text.erase(0, end + 1);
  }
}

std::uint16_t SplitList(std::string& text, std::span<std::string> items, std::uint16_t maximum,
                        char separator) {
  std::uint16_t count = 0;
  while (!text.empty() && count != maximum) {
    if (count >= items.size()) throw ERangeError("Range check error");
    NextToken(text, items[count], separator);
    if (items[count].empty()) break;
    ++count;
  }
  return count;
}

}  // namespace velmo
