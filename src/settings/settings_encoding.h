// The encodings a settings file comes in.
#pragma once

#include <string>

namespace velmo {

/// The text of a settings file from its bytes. A file that begins with a
/// UTF-16 byte-order mark, little- or big-endian (what Windows Notepad
/// saves as "Unicode"), becomes UTF-8, the text of every other settings
/// file, without its mark; a lone surrogate becomes U+FFFD, and an odd last
/// byte is dropped. Any other file is returned as it is.
std::string SettingsFileText(std::string bytes);

}  // namespace velmo
