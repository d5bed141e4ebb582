// File names as text, with "/" as the path separator.
#pragma once

#include <string>
#include <string_view>

namespace velmo {

/// Replaces the extension of `name` (from the last "." after the last "/")
/// by `extension`, which brings its own "."; appends it when there is none.
/// "velmo.ini" -> "velmo.txt", "conf.d/settings" -> "conf.d/settings.txt".
std::string ChangeExtension(std::string_view name, std::string_view extension);

/// The name part of a path, without its directory.
std::string_view NamePart(std::string_view path);

/// Joins a relative `name` to `directory` (a full path) and resolves "." and
/// ".." parts and repeated separators as text; symbolic links are not
/// followed. A full `name` is only resolved. ".." at the root stays there.
std::string ExpandPath(std::string_view directory, std::string_view name);

}  // namespace velmo
