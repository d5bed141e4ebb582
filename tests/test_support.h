// Helpers shared by the tests: memory streams and temporary files.
#pragma once

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/byte_stream.h"
#include "platform/exceptions.h"
#include "platform/text_writer.h"

namespace velmo::test {

/// Collects what is written; can be told to fail from a given byte on.
class MemorySink : public ByteSink {
 public:
  void Write(const char* data, std::size_t size) override {
    if (failCode != 0 && bytes.size() + size > failAfter) RaiseInOutError(failCode);
    bytes.append(data, size);
  }
  void Close() override { closed = true; }

  std::string bytes;
  bool closed = false;
  int failCode = 0;
  std::size_t failAfter = 0;
};

/// Gives its bytes in small pieces, to exercise buffer edges.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string bytes, std::size_t piece = 3) : bytes_(std::move(bytes)), piece_(piece) {}
  std::size_t Read(char* buffer, std::size_t capacity) override {
    std::size_t n = std::min({capacity, piece_, bytes_.size() - pos_});
    bytes_.copy(buffer, n, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t piece_;
  std::size_t pos_ = 0;
};

/// How often `what` occurs in `text`, overlaps counted.
inline std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

/// What `write` puts through a TextWriter, as bytes.
template <typename Write>
std::string Written(Write write) {
  MemorySink sink;
  TextWriter writer(sink);
  write(writer);
  writer.Flush();
  return sink.bytes;
}

/// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() / ("velmo-test-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

/// Puts a locale whose decimal separator is "," in force for its lifetime,
/// where one is installed; the C locale comes back at the end.
class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "de_DE"}) {
      if (std::setlocale(LC_ALL, name) != nullptr) {
        active_ = true;
        return;
      }
    }
  }
  ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

/// Lines joined with CR LF, each line ended by it.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

/// Where `actual` first differs from `expected`, both of one length;
/// actual.size() when nowhere.
inline std::size_t FirstDifference(const std::vector<std::uint64_t>& actual, const std::uint64_t* expected) {
  std::size_t i = 0;
  while (i < actual.size() && actual[i] == expected[i]) ++i;
  return i;
}

/// Digests as a test file holds them, four to a line, to paste when a
/// change of the digests is meant.
inline std::string ListedDigests(const std::vector<std::uint64_t>& digests) {
  std::string text;
  char hex[24];
  for (std::size_t i = 0; i < digests.size(); ++i) {
    std::snprintf(hex, sizeof hex, "0x%016llXull,", static_cast<unsigned long long>(digests[i]));
    text += hex;
    text += i % 4 == 3 ? "\n" : " ";
  }
  return text;
}

}  // namespace velmo::test
