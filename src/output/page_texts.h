// Texts of the page that never change.
#pragma once

#include <string_view>

namespace velmo {

inline constexpr std::string_view AuthorCredit = "THE VELMO DEVELOPERS";
inline constexpr std::string_view ReleaseDate = "2007/02/25";

}  // namespace velmo
