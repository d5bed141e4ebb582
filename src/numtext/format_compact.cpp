#include "numtext/format_compact.h"

#include "numtext/number_settings.h"
#include "numtext/render_float.h"
#include "numtext/undefined.h"

namespace velmo {

ShortText FormatCompact(Extended x, std::uint16_t precision) {
  if (IsUndefined(x)) return ShortText("?");
  if (precision == 0) precision = SignificantDigits;
  ShortText text;
  if (Abs(x) < 10000) {
    text = RenderFloat(x, FloatForm::General, precision, 1);
  } else {
    text = RenderFloat(x, FloatForm::Exponent, precision, 1);
    std::size_t e = text.View().find('E');
    if (e + 1 < text.size() && text[e + 1] == '+') text.Erase(e + 1);
    text.DropZerosBefore(e);
  }
  if (text.size() >= 2) {
    if (text[0] == '0') {
      text.Erase(0);
    } else if (text[0] == '-' && text[1] == '0') {
      text.Erase(1);
    }
  }
  return text;
}

}  // namespace velmo
