// Number texts of any double or extended value: no crash, texts within
// their bounds, and the 18 digits agree with glibc's exact printf.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/digits.h"
#include "numtext/format_cell.h"
#include "numtext/format_compact.h"
#include "numtext/format_width.h"
#include "numtext/render_float.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "platform/byte_stream.h"
#include "x87_oracle.h"

namespace {

class NullSink : public velmo::ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
  void Close() override {}
};

void CheckDigits(velmo::Extended x) {
  if (velmo::IsUndefined(x) || x == 0) return;
  velmo::DecimalDigits d = velmo::EighteenDigits(x);
  char text[64];
  std::snprintf(text, sizeof text, "%.17Le", std::fabs(velmo::test::NativeOf(x)));
  std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
  if (std::to_string(d.Significand) != digits || d.Exponent - 1 != std::atoi(text + 20)) std::abort();
}

void Exercise(velmo::Extended x) {
  CheckDigits(x);
  if (!velmo::IsUndefined(x)) {
    for (auto form : {velmo::FloatForm::General, velmo::FloatForm::Exponent, velmo::FloatForm::Fixed}) {
      for (int precision : {0, 2, 5, 18, 40}) velmo::RenderFloat(x, form, precision, precision % 7);
    }
    velmo::DecimalExponent(x);
  }
  velmo::FormatWidth(x, 8, 3);
  velmo::FormatWidth(x, 6, 0, {.NoFill = true});
  velmo::FormatCompact(x, 5);
  velmo::FormatCompact(x, 0);
  NullSink sink;
  velmo::TextWriter writer(sink);
  velmo::WriteReal(writer, x, 5, 1);
  velmo::WriteReal(writer, x, 255, 216);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 8) {
    double x;
    std::memcpy(&x, data, 8);
    Exercise(x);
    velmo::ShortText cell = velmo::FormatCell('+', velmo::Markup::Text, x);
    if (!velmo::IsUndefined(x) && std::fabs(x) < 999.5 && cell.size() != 5 + (x < 0 ? 1 : 0)) std::abort();
    velmo::FormatCell(velmo::kNoSign, velmo::Markup::Html, x);
    // The quick way to a cell and the general rules must agree.
    if (velmo::FormatCell('-', velmo::Markup::Text, x).View() !=
        velmo::FormatCellByRules('-', velmo::Markup::Text, x).View())
      std::abort();
  } else if (size == 10) {
    const velmo::SoftExtended x = velmo::test::FromBytes(data);
    Exercise(velmo::Extended::FromFields(x.Negative(), x.BiasedExponent(), x.Significand()));
  }
  return 0;
}
