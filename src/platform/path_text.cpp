#include "platform/path_text.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velmo {

namespace {

// Where a name's directory ends: at a separator, or, on Windows, also at
// the backslash and after a drive letter ("C:x.ini").
#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\:";
#else
constexpr std::string_view kSeparators = "/";
#endif

constexpr std::string_view kTemporaryPrefix = ".velmo-";
constexpr std::string_view kTemporarySuffix = ".tmp";

}  // namespace

std::string ChangeExtension(std::string_view name, std::string_view extension) {
  std::size_t slash = name.find_last_of(kSeparators);
  std::size_t dot = name.rfind('.');
  bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  std::string result(hasExtension ? name.substr(0, dot) : name);
  result += extension;
  return result;
}

std::string_view FileSystemName(std::string_view name) {
#ifdef _WIN32
  const std::size_t start = name.find_last_of(kSeparators) + 1;  // 0 without a directory
  const std::size_t end = name.find_last_not_of(". ");
  // A name part of dots alone ("." and "..") names a directory: kept.
  if (end != std::string_view::npos && end >= start) return name.substr(0, end + 1);
#endif
  return name;
}

std::string_view TypedFileName(std::string_view line) {
#ifdef _WIN32
  if (line.size() >= 2 && line.front() == '"' && line.back() == '"') return line.substr(1, line.size() - 2);
#endif
  return line;
}

std::string TemporaryNameBeside(std::string_view document, unsigned long process) {
  static std::random_device source;
  std::uint64_t random = (std::uint64_t{source()} << 32) | source();
  std::string name(document.substr(0, document.size() - NamePart(document).size()));
  name += kTemporaryPrefix;
  name += std::to_string(process) + "-";
  for (int i = 0; i < 16; ++i, random >>= 4) name += "0123456789abcdef"[random & 15];
  name += kTemporarySuffix;
  return name;
}

bool IsTemporaryName(std::string_view name, unsigned long& process) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(kTemporarySuffix.size());
  const std::size_t dash = name.find('-');
  const std::string_view digits = name.substr(0, dash), tag = name.substr(dash + 1);
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto isTagChar = [&](char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); };
  if (dash == std::string_view::npos || digits.empty() || digits.size() > 9 || tag.empty() ||
      !std::all_of(digits.begin(), digits.end(), isDigit) ||
      !std::all_of(tag.begin(), tag.end(), isTagChar)) {
    return false;
  }
  process = std::stoul(std::string(digits));
  return true;
}

std::string DirectoryOf(std::string_view name) {
  const std::size_t slash = name.find_last_of(kSeparators);
  if (slash == std::string_view::npos) return ".";
  return std::string(slash == 0 ? name.substr(0, 1) : name.substr(0, slash));
}

std::string_view NamePart(std::string_view path) {
  std::size_t slash = path.find_last_of(kSeparators);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ExpandPath(std::string_view directory, std::string_view name) {
  std::string joined;
  if (name.empty() || name.front() != '/') {
    joined.assign(directory);
    joined += '/';
  }
  joined += name;

  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }

  std::string result;
  for (std::string_view part : parts) {
    result += '/';
    result += part;
  }
  if (result.empty()) result = "/";
  // A name that ends in a separator names a directory; keep that visible.
  if (joined.back() == '/' && result.back() != '/') result += '/';
  return result;
}

}  // namespace velmo
