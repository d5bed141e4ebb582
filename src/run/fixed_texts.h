// Texts of the console dialogue that never change.
#pragma once

#include <string_view>

#include "output/page_texts.h"
#include "version.h"

namespace velmo {

inline constexpr std::string_view BannerTitle = "VELMO: DOF TABULATION BY THE VELMO DEVELOPERS";
// The project's own update page; example.org is reserved, so the banner
// never sends anyone to a stranger's site.
inline constexpr std::string_view BannerUpdates = "Updates at https://velmo.example.org/";
inline constexpr std::string_view SectionName = "VELMO";

static_assert(BannerTitle.ends_with(AuthorCredit), "the banner names the author credit");

}  // namespace velmo
