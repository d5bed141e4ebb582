#include "numtext/render_float.h"

#include <algorithm>

#include "numtext/digits.h"
#include "numtext/number_settings.h"

namespace velmo {

namespace {

void AppendInteger(ShortText& text, int value, int leastDigits) {
  char buffer[12];
  int n = 0;
  do {
    buffer[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0);
  for (int i = n; i < leastDigits; ++i) text.Append('0');
  while (n > 0) text.Append(buffer[--n]);
}

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
    AppendInteger(text, e - 1 < 0 ? 1 - e : e - 1, 1);
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
  AppendInteger(text, exponent < 0 ? -exponent : exponent, digits >= 0 && digits <= 3 ? digits : 0);
}

void AppendFixed(ShortText& text, const DecimalDigits& d, int decimals) {
  if (d.Exponent <= 0) {
    text.Append('0');
  } else {
    for (int i = 1; i <= d.Exponent; ++i) text.Append(d.At(i));
  }
  if (decimals > 0) {
    text.Append(DecimalSeparator);
    for (int j = 1; j <= decimals; ++j) text.Append(d.At(d.Exponent + j));
  }
}

}  // namespace

ShortText RenderFloat(Extended x, FloatForm form, int precision, int digits) {
  precision = std::clamp(precision, 2, 18);
  if (form == FloatForm::Fixed) digits = std::min(digits, 18);
  DecimalDigits d = EighteenDigits(x);
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
