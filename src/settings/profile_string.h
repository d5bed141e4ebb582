// The INI grammar of settings files: it answers one question per call from
// the text of a file.
//
// How the text is read:
// - Lines end at LF, CR LF or a lone CR; a NUL ends the line's text.
// - A UTF-8 byte-order mark at the start of the file is skipped.
// - Blanks (spaces and tabs) around section names, key names and values
//   are not part of them.
// - A line whose first non-blank character is ";" or "#" is a comment.
// - A line whose first non-blank character is "[" opens a section; its name
//   runs to the "]" (or to the end of the line).
// - Inside a section, a line with "=" is a key: the name before the first
//   "=", the value after it. A value enclosed in two like quotation marks
//   (double or single) loses the marks; blanks inside them stay.
// - Lines before the first section, lines without "=" and keys with an
//   empty name belong to nothing and are ignored.
// - Names match without regard to the letter case of A to Z.
// - A section that occurs twice: only its first occurrence is read. A key
//   that occurs twice in it: its first value counts; both are listed.
// So every key the name list shows is found by a value lookup in the same
// section, save a name cut short by a full name area.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmo {

/// The value of `key` in `section` of the INI `text`, or `defaultText` when
/// the section or the key is missing. The
/// text is cut to `area` - 1 characters, as a value read into an area of
/// `area` characters would be.
std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view defaultText, std::size_t area);

/// The names of all keys of `section`, in file order, each followed by a
/// NUL, with a second NUL after the last one, as an area of `area` bytes
/// holds them: names that do not fit are left out and the last one that
/// fits only in part is cut. Empty when the section holds no key or is
/// missing.
std::string ProfileKeyNames(std::string_view text, std::string_view section, std::size_t area);

/// Equal texts, ignoring the letter case of A to Z.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velmo
