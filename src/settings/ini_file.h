// The reader of the settings file. It answers every question from one
// reading of the file, made by its owner before it is created, so that a
// file saved while the program runs cannot mix two versions; nothing ever
// writes to the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "numtext/extended.h"
#include "settings/settings_encoding.h"

namespace velmo {

class TC_Ini_File {
 public:
  /// The reader of a settings file whose whole content is `bytes`.
  explicit TC_Ini_File(std::string bytes) : text_(SettingsFileText(std::move(bytes))) {}

  /// The key's value (at most 2047 characters), or `defaultText`.
  std::string FetchText(const std::string& section, const std::string& key, const std::string& defaultText);
  /// The key's value as an integer ("0x" and "$" mark hexadecimal), or the
  /// default when the text is no integer.
  std::int32_t FetchInteger(const std::string& section, const std::string& key, std::int32_t defaultValue);
  /// True for any integer but zero; the default for a text that is none.
  bool FetchFlag(const std::string& section, const std::string& key, bool defaultValue);
  /// The key's value as a number, or the default when it is empty or not a
  /// number. Throws EOverflow for a number beyond the range of a double.
  double FetchFloat(const std::string& section, const std::string& key, double defaultValue);
  /// Empties `names`, then fills it with the key names of `section` in file
  /// order; duplicates stay.
  void KeyNames(const std::string& section, std::vector<std::string>& names);

  /// True when the section holds at least one key.
  bool HasSection(const std::string& section);
  /// True when the section lists a key of that name, ignoring letter case.
  bool HasKey(const std::string& section, const std::string& key);

  /// `key` from the last of `sections` that has it, as a number; the
  /// default when none has it, or when that section's value is no number.
  Extended LookupFloat(std::span<const std::string> sections, const std::string& key, Extended defaultValue);
  /// `key` from the last of `sections` that has it, cut into at most
  /// `maximum` blank-separated items; the count of items. 0, with `items`
  /// untouched, when no section has the key.
  std::uint16_t LookupList(std::span<const std::string> sections, const std::string& key,
                           std::span<std::string> items, std::uint16_t maximum);

 private:
  std::string text_;
};

}  // namespace velmo
