// Texts of the page that never change.
#pragma once

#include <string_view>

#include "version.h"

namespace velmo {

inline constexpr std::string_view AuthorCredit = "THE VELMO DEVELOPERS";

}  // namespace velmo
