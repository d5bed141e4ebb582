#include "settings/ini_file.h"

#include "platform/exceptions.h"
#include "settings/integer_text.h"
#include "settings/number_text.h"
#include "settings/profile_string.h"
#include "settings/value_list.h"

namespace velmo {

namespace {

// A value is read into an area of this many characters, the last for the NUL.
constexpr std::size_t kValueArea = 2048;
// The key names of one section share an area of this many bytes.
constexpr std::size_t kKeyNameArea = 16384;

}  // namespace

bool TC_Ini_File::HasSection(const std::string& section) {
  std::vector<std::string> names;
  KeyNames(section, names);
  return !names.empty();
}

bool TC_Ini_File::HasKey(const std::string& section, const std::string& key) {
  std::vector<std::string> names;
  KeyNames(section, names);
  for (const std::string& name : names) {
    if (SameTextIgnoringCase(name, key)) return true;
  }
  return false;
}

std::string TC_Ini_File::FetchText(const std::string& section, const std::string& key,
                                   const std::string& defaultText) {
  return ProfileValue(text_, section, key, defaultText, kValueArea);
}

std::int32_t TC_Ini_File::FetchInteger(const std::string& section, const std::string& key,
                                       std::int32_t defaultValue) {
  std::string text = FetchText(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  std::int32_t value;
  return IntegerFromText(text, value) ? value : defaultValue;
}

bool TC_Ini_File::FetchFlag(const std::string& section, const std::string& key, bool defaultValue) {
  return FetchInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TC_Ini_File::FetchFloat(const std::string& section, const std::string& key, double defaultValue) {
  std::string text = FetchText(section, key, "");
  if (text.empty()) return defaultValue;
  Extended value;
  if (!NumberFromText(text, value)) return defaultValue;
  return StoreDouble(value);
}

void TC_Ini_File::KeyNames(const std::string& section, std::vector<std::string>& names) {
  names.clear();
  std::string area = ProfileKeyNames(text_, section, kKeyNameArea);
  std::size_t start = 0;
  while (start < area.size() && area[start] != '\0') {
    std::size_t end = area.find('\0', start);
    names.emplace_back(area, start, end - start);
    start = end + 1;
  }
}

Extended TC_Ini_File::LookupFloat(std::span<const std::string> sections, const std::string& key,
                                  Extended defaultValue) {
  for (auto section = sections.rbegin(); section != sections.rend(); ++section) {
    if (HasKey(*section, key)) return FetchFloat(*section, key, static_cast<double>(defaultValue));
  }
  return defaultValue;
}

std::uint16_t TC_Ini_File::LookupList(std::span<const std::string> sections, const std::string& key,
                                      std::span<std::string> items, std::uint16_t maximum) {
  for (auto section = sections.rbegin(); section != sections.rend(); ++section) {
    if (HasKey(*section, key)) {
      std::string text = FetchText(*section, key, "");
      return SplitList(text, items, maximum, ' ');
    }
  }
  return 0;
}

}  // namespace velmo
