#include "output/diffraction_note.h"

#include <algorithm>
#include <string>

#include "numtext/format_compact.h"
#include "numtext/write_real.h"
#include "optics/diffraction.h"

namespace velmo {

namespace {

/// `x` with one decimal, as WriteReal writes it in the narrowest field, but
/// without the blank that it puts before an exponent form.
std::string Aperture(double x) {
  struct Collected : ByteSink {
    void Write(const char* data, std::size_t size) override { text.append(data, size); }
    void Close() override {}
    std::string text;
  } collected;
  TextWriter writer(collected);
  WriteReal(writer, x, 1, 1);
  writer.Flush();
  return collected.text.substr(std::min(collected.text.find_first_not_of(' '), collected.text.size()));
}

}  // namespace

bool HasDiffractionNote(const RunSettings& settings) {
  if (!settings.Diffraction) return false;
  for (int a = 0; a < settings.ApertureCount; ++a) {
    if (DiffractionLimited(settings.Apertures[a], settings.Wavelength, settings.CoC)) return true;
  }
  return false;
}

void WriteDiffractionNote(TextWriter& out, const RunSettings& settings) {
  out.Text("From f/");
  out.Text(Aperture(DiffractionAperture(settings.Wavelength, settings.CoC)));
  out.Text(" on, diffraction blurs more than the circle of confusion (");
  out.Text(FormatCompact(settings.Wavelength, 5).View());
  out.Text(" nm light).");
}

}  // namespace velmo
