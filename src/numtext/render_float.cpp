#include "numtext/render_float.h"

#include <algorithm>

#include "numtext/digits.h"
#include "numtext/number_settings.h"

namespace velmo {

namespace {

void AppendGeneral(ShortText& text, const DecimalDigits& d, int precision) {
  const int e = d.Exponent;
  if (e > precision || e < -3) {
    text.Append(d.At(1));
    if (d.Count > 1) {
      text.Append(DecimalSeparator);
      for (int i = 2; i <= d.Count; ++i) text.Append(d.At(i));
    }
    text.Append('E');
    if (e - 1 < 0) text.Append('-');
    text.AppendInteger(static_cast<unsigned>(e - 1 < 0 ? 1 - e : e - 1));
  } else if (e <= 0) {
    text.Append('0');
    if (d.Count > 0) {
      text.Append(DecimalSeparator);
      text.Append(static_cast<std::size_t>(-e), '0');
      for (int i = 1; i <= d.Count; ++i) text.Append(d.At(i));
    }
  } else {
    for (int i = 1; i <= e; ++i) text.Append(d.At(i));
    if (d.Count > e) {
      text.Append(DecimalSeparator);
      for (int i = e + 1; i <= d.Count; ++i) text.Append(d.At(i));
    }
  }
}

void AppendExponent(ShortText& text, const DecimalDigits& d, int precision, int digits) {
  text.Append(d.At(1));
  text.Append(DecimalSeparator);
  for (int i = 2; i <= precision; ++i) text.Append(d.At(i));
  text.Append('E');
  int exponent = d.Count == 0 ? 0 : d.Exponent - 1;
  text.Append(exponent < 0 ? '-' : '+');
  text.AppendInteger(static_cast<unsigned>(exponent < 0 ? -exponent : exponent),
                     digits >= 0 && digits <= 3 ? digits : 0);
}

}  // namespace

ShortText RenderFloat(Extended x, FloatForm form, int precision, int digits) {
  return RenderFloat(EighteenDigits(x), form, precision, digits);
}

ShortText RenderFloat(DecimalDigits d, FloatForm form, int precision, int digits) {
  precision = std::clamp(precision, 2, 18);
  if (form == FloatForm::Fixed) digits = std::min(digits, 18);
  if (d.Count > 0) {
    KeepDigits(d, form == FloatForm::Fixed ? std::min(precision, d.Exponent + digits) : precision);
  }

  ShortText text;
  if (d.Negative) text.Append('-');
  if (form == FloatForm::Fixed && d.Exponent > precision) form = FloatForm::General;
  switch (form) {
    case FloatForm::General: AppendGeneral(text, d, precision); break;
    case FloatForm::Exponent: AppendExponent(text, d, precision, digits); break;
    case FloatForm::Fixed: AppendFixed(text, d, digits); break;
  }
  return text;
}

}  // namespace velmo
