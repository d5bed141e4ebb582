// Text of the settings file as an HTML document shows it.
#pragma once

#include <string_view>

#include "platform/text_writer.h"

namespace velmo {

/// Writes `text` for an HTML document: every valid UTF-8 sequence of more
/// than one byte as a numeric character reference ("\xC3\xBC" as
/// "&#252;"), so that it shows as the character whatever character set the
/// page declares; ASCII, and bytes that are no valid UTF-8 (a Latin-1
/// file's), as they are. Nothing is escaped: the text may hold markup.
void WriteHtmlText(TextWriter& out, std::string_view text);

}  // namespace velmo
