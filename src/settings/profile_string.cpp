#include "settings/profile_string.h"

namespace velmo {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'')) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// Walks the lines of an INI text.
class LineWalker {
 public:
  explicit LineWalker(std::string_view text) : rest_(text) {
    if (rest_.substr(0, 3) == "\xEF\xBB\xBF") rest_.remove_prefix(3);
  }

  bool Next(std::string_view& line) {
    if (done_) return false;
    std::size_t end = rest_.find_first_of("\r\n");
    line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(end + 1);
    }
    std::size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    line = Trim(line);
    return true;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

/// Calls `visit(name, value)` for every key of the first occurrence of
/// `section`, in file order, until `visit` returns false.
template <typename Visit>
void ForEachKey(std::string_view text, std::string_view section, Visit visit) {
  LineWalker walker(text);
  std::string_view line;
  bool inSection = false;
  bool seen = false;
  while (walker.Next(line)) {
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (inSection) return;
      std::size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? close : close - 1));
      inSection = !seen && SameTextIgnoringCase(name, section);
      seen = seen || inSection;
      continue;
    }
    std::size_t equals = line.find('=');
    if (!inSection || equals == std::string_view::npos) continue;
    std::string_view name = Trim(line.substr(0, equals));
    if (name.empty()) continue;
    if (!visit(name, Unquote(Trim(line.substr(equals + 1))))) return;
  }
}

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultText, std::size_t area) {
  std::string_view result = defaultText;
  ForEachKey(text, section, [&](std::string_view name, std::string_view value) {
    if (!SameTextIgnoringCase(name, key)) return true;
    result = value;
    return false;
  });
  if (area == 0) return {};
  return std::string(result.substr(0, area - 1));
}

std::string ProfileKeyNames(std::string_view text, std::string_view section, std::size_t area) {
  std::string names;
  ForEachKey(text, section, [&](std::string_view name, std::string_view) {
    names += name;
    names += '\0';
    return names.size() < area;
  });
  if (names.empty()) return names;
  // Two closing NULs must fit: a longer list is cut, mid-name if need be.
  if (names.size() + 1 > area) {
    names.resize(area < 2 ? 0 : area - 2);
    names += '\0';
  }
  names += '\0';
  return names;
}

}  // namespace velmo
