#include "output/coc_origin.h"

#include "numtext/format_compact.h"
#include "numtext/write_real.h"

namespace velmo {

namespace {

void WriteFormat(TextWriter& out, const CameraFormat& format) {
  out.Text(FormatCompact(format.Width, 5).View());
  out.Text(" x ");
  out.Text(FormatCompact(format.Height, 5).View());
  out.Text(" mm format");
}

}  // namespace

void WriteCoCOrigin(TextWriter& out, const RunSettings& settings) {
  switch (settings.CoCFrom) {
    case CoCOrigin::Key: return;
    case CoCOrigin::Format:
      out.Text("It is the diagonal of the ");
      WriteFormat(out, settings.Format);
      out.Text(", ");
      WriteReal(out, Diagonal(settings.Format), 1, 1);
      out.Text(" mm, divided by ");
      out.Text(FormatCompact(settings.CoCDivisor, 5).View());
      out.Char('.');
      return;
    case CoCOrigin::KeyOverFormat:
      out.Text("It is the CoC the settings file gives, which takes precedence over the ");
      WriteFormat(out, settings.Format);
      out.Char('.');
      return;
  }
}

}  // namespace velmo
