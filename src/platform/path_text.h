// File names as text, with "/" as the path separator.
#pragma once

#include <string>
#include <string_view>

namespace velmo {

/// Replaces the extension of `name` (from the last "." after the last "/")
/// by `extension`, which brings its own "."; appends it when there is none.
/// "velmo.ini" -> "velmo.txt", "conf.d/settings" -> "conf.d/settings.txt".
std::string ChangeExtension(std::string_view name, std::string_view extension);

/// `name` as the file system resolves it: on Windows without the dots and
/// blanks that end its name part, which Windows drops ("sp.txt." opens
/// "sp.txt"); elsewhere unchanged.
std::string_view FileSystemName(std::string_view name);

/// A file name typed at the prompt, from the line: on Windows a name in
/// double quotes (Explorer's "Copy as path") is the name inside them, as no
/// Windows name holds a double quote; elsewhere the line as it is.
std::string_view TypedFileName(std::string_view line);

/// The name of a temporary file beside `document`, in its directory:
/// hidden where a leading dot hides, naming the process that made it, with
/// a random part that no other user can guess.
std::string TemporaryNameBeside(std::string_view document, unsigned long process);

/// True when `name` (a name part) is one TemporaryNameBeside gives, or gave
/// in earlier versions (".velmo-PID-N.tmp"); `process` is its process
/// number then.
bool IsTemporaryName(std::string_view name, unsigned long& process);

/// The directory of `name` as the file system calls take it: "." for a bare
/// name, "/" for a name at the root, else without its last separator.
std::string DirectoryOf(std::string_view name);

/// The name part of a path, without its directory.
std::string_view NamePart(std::string_view path);

/// Joins a relative `name` to `directory` (a full path) and resolves "." and
/// ".." parts and repeated separators as text; symbolic links are not
/// followed. A full `name` is only resolved. ".." at the root stays there.
std::string ExpandPath(std::string_view directory, std::string_view name);

}  // namespace velmo
