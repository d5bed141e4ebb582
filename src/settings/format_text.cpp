#include "settings/format_text.h"

#include <cmath>
#include <string>

#include "settings/number_text.h"

namespace velmo {

namespace {

// Image areas as the makers give them; a film format by the frame its
// camera exposes, not the film's nominal size. Names that would read as a
// size in millimetres ("6x6", "4x5") carry their unit, so that a size
// written in numbers keeps meaning millimetres.
constexpr NamedFormat kNamedFormats[] = {
    {{"Full frame", "FF", "35mm"}, {36, 24}},
    {{"APS-H"}, {27.9, 18.6}},
    {{"APS-C"}, {23.5, 15.6}},
    {{"APS-C 1.6"}, {22.3, 14.9}},
    {{"Micro Four Thirds", "Four Thirds", "MFT", "M43"}, {17.3, 13}},
    {{"1 inch", "1in"}, {13.2, 8.8}},
    {{"1/1.7 inch", "1/1.7in"}, {7.6, 5.7}},
    {{"1/2.3 inch", "1/2.3in"}, {6.17, 4.55}},
    {{"6x4.5 cm", "645"}, {56, 41.5}},
    {{"6x6 cm"}, {56, 56}},
    {{"6x7 cm"}, {70, 56}},
    {{"6x9 cm"}, {84, 56}},
    {{"4x5 inch", "4x5in"}, {121, 97}},
    {{"8x10 inch", "8x10in"}, {245, 194}},
};

/// A name as it is compared: ASCII letters in lower case, without blanks
/// and hyphens.
std::string NameKey(std::string_view name) {
  std::string key;
  for (char c : name) {
    if (c == ' ' || c == '\t' || c == '-') continue;
    key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return key;
}

bool FormatByName(std::string_view text, CameraFormat& format) {
  const std::string key = NameKey(text);
  for (const NamedFormat& named : kNamedFormats) {
    for (std::string_view name : named.Names) {
      if (!name.empty() && NameKey(name) == key) {
        format = named.Format;
        return true;
      }
    }
  }
  return false;
}

bool PositiveSide(std::string_view text, double& side) {
  Extended value;
  if (!NumberFromText(text, value)) return false;
  side = static_cast<double>(value);
  return std::isfinite(side) && side > 0;
}

bool FormatBySize(std::string_view text, CameraFormat& format) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos || text.find_first_of("xX", x + 1) != std::string_view::npos) return false;
  CameraFormat parsed;
  if (!PositiveSide(text.substr(0, x), parsed.Width) || !PositiveSide(text.substr(x + 1), parsed.Height)) {
    return false;
  }
  format = parsed;
  return true;
}

}  // namespace

std::span<const NamedFormat> NamedFormats() {
  return kNamedFormats;
}

bool ParseCameraFormat(std::string_view text, CameraFormat& format) {
  return FormatBySize(text, format) || FormatByName(text, format);
}

}  // namespace velmo
