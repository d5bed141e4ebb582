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

/// The name of a temporary file beside `document`, in its directory: hidden
/// where a leading dot hides, and distinct for every process and attempt.
std::string TemporaryNameBeside(std::string_view document, unsigned long process, unsigned attempt);

/// The name part of a path, without its directory.
std::string_view NamePart(std::string_view path);

/// Joins a relative `name` to `directory` (a full path) and resolves "." and
/// ".." parts and repeated separators as text; symbolic links are not
/// followed. A full `name` is only resolved. ".." at the root stays there.
std::string ExpandPath(std::string_view directory, std::string_view name);

}  // namespace velmo
