#include "output/table_width.h"

#include <algorithm>
#include <string_view>

#include "numtext/format_cell.h"

namespace velmo {

std::size_t TextTableWidth(const RunSettings& settings) {
  constexpr std::size_t kHeading =
      kTextHeadingBefore.size() + std::string_view("50.0").size() + kTextHeadingAfter.size();
  constexpr std::size_t kDistanceColumn = 10;
  const auto field = static_cast<std::size_t>(TextApertureField(settings));
  return std::max(kHeading, kDistanceColumn + field * settings.ApertureCount);
}

std::string TextValue(double x) {
  const ShortText cell = FormatCell(kNoSign, Markup::Text, x);
  std::string_view text = cell.View();
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  return std::string(text);
}

}  // namespace velmo
