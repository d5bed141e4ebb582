// The settings reader on any file content: every key it lists is found by
// a value lookup in the same section, and nothing reads past a buffer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/ini_file.h"

namespace {

/// Section names the content itself opens, and the one the run reads.
std::vector<std::string> Sections(const std::string& content) {
  std::vector<std::string> sections{"VELMO"};
  for (std::size_t at = content.find('['); at != std::string::npos && sections.size() < 4;
       at = content.find('[', at + 1)) {
    std::size_t close = content.find_first_of("]\r\n", at);
    if (close != std::string::npos && content[close] == ']')
      sections.push_back(content.substr(at + 1, close - at - 1));
  }
  return sections;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  velmo::TC_Ini_File ini(content);
  for (const std::string& section : Sections(content)) {
    std::vector<std::string> names;
    ini.KeyNames(section, names);
    std::size_t area = 1;
    for (const std::string& name : names) area += name.size() + 1;
    // In a full name area the last name may be cut, and so not be found.
    std::size_t checked = area >= 16384 && !names.empty() ? names.size() - 1 : names.size();
    for (std::size_t i = 0; i < checked; ++i) {
      if (names[i].empty() || !ini.HasKey(section, names[i])) std::abort();
      if (ini.FetchText(section, names[i], "\n") == "\n") std::abort();
    }
    if (ini.HasSection(section) != !names.empty()) std::abort();
    std::string value = ini.FetchText(section, "Distance", "");
    if (value.size() > 2047) std::abort();
    ini.FetchFlag(section, "HTML", true);
  }
  return 0;
}
