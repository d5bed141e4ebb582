// Helpers shared by the tests: memory streams, temporary files, settings
// for the table writers, digests and lines of documents.
#pragma once

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/bit_cast.h"
#include "platform/byte_stream.h"
#include "platform/exceptions.h"
#include "platform/text_writer.h"
#include "settings/run_settings.h"

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
      // A C library may take any name and still keep the point (musl).
      if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
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

/// The lines of `text` (without their CR LF) that hold `part`, in order:
/// what a feature adds to a document, compared whole.
inline std::vector<std::string> LinesWith(const std::string& text, std::string_view part) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (line.find(part) != std::string::npos) lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

/// Settings for the table writers: HTML or text, a 0.03 mm circle of
/// confusion, and these lists.
inline RunSettings TableSettings(bool html, const std::vector<double>& distances,
                                 const std::vector<double>& apertures, const std::vector<double>& focals) {
  RunSettings s;
  s.HTML = html;
  s.CoC = 0.03;
  s.DistanceCount = static_cast<std::uint16_t>(distances.size());
  std::copy(distances.begin(), distances.end(), s.Distances.begin());
  s.ApertureCount = static_cast<std::uint16_t>(apertures.size());
  std::copy(apertures.begin(), apertures.end(), s.Apertures.begin());
  s.FocalCount = static_cast<std::uint16_t>(focals.size());
  std::copy(focals.begin(), focals.end(), s.Focals.begin());
  return s;
}

/// FNV-1a over bytes: of texts (each closed by a NUL) and of 64-bit values
/// (a double's bits), low byte first.
class Digest {
 public:
  void Add(std::string_view text) {
    for (char c : text) Byte(static_cast<unsigned char>(c));
    Byte(0);
  }
  void Add(std::uint64_t bits) {
    for (int i = 0; i < 8; ++i, bits >>= 8) Byte(static_cast<unsigned char>(bits));
  }
  void Add(double x) { Add(BitCast<std::uint64_t>(x)); }
  std::uint64_t Value() const { return hash_; }

 private:
  void Byte(unsigned char c) {
    hash_ ^= c;
    hash_ *= 0x100000001B3ull;
  }
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

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
