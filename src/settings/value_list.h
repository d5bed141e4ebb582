// Cutting a settings line into items.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velmo {

/// Takes the first item from `text`: skips leading separators, puts the
/// characters up to the next separator into `token` and removes them and
/// that separator from `text`. When only separators are left, `token` is
/// empty and `text` is unchanged. Throws ERangeError for a text of more than
/// 65535 characters.
void NextToken(std::string& text, std::string& token, char separator);

/// Cuts `text` into at most `maximum` items, written to `items` from index
/// 0; returns their count. Every item holds at least one character and no
/// separator; what lies beyond the maximum stays in `text`. Throws
/// ERangeError when more items are wanted than `items` can hold.
std::uint16_t SplitList(std::string& text, std::span<std::string> items, std::uint16_t maximum,
                        char separator);

}  // namespace velmo
