#include "output/diffraction_note.h"

#include "numtext/format_compact.h"
#include "numtext/write_real.h"
#include "optics/diffraction.h"

namespace velmo {

void WriteDiffractionNote(TextWriter& out, const RunSettings& settings) {
  out.Text("From f/");
  WriteReal(out, DiffractionAperture(settings.Wavelength, settings.CoC), 1, 1);
  out.Text(" on, diffraction blurs more than the circle of confusion (");
  out.Text(FormatCompact(settings.Wavelength, 5).View());
  out.Text(" nm light).");
}

}  // namespace velmo
