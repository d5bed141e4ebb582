#include "output/dof_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "numtext/format_cell.h"
#include "numtext/format_compact.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "output/block.h"
#include "output/coc_origin.h"
#include "output/diffraction_note.h"
#include "output/dof_chart.h"
#include "output/stack_table.h"
#include "output/table_width.h"
#include "output/zone_table.h"

namespace velmo {

namespace {

void WriteHtmlBlockHeader(TextWriter& out, const RunSettings& settings, const Block& block, int index) {
  const double focal = block.Focal;
  const int columns = settings.ApertureCount + 1;
  if (index > 1) {
    out.Line("<TR>");
    out.Text("<TH CLASS=SPACER COLSPAN=");
    out.Integer(columns);
    out.Char('>');
    out.LineEnd();
  }
  out.Line("<TR>");
  out.Text("<TD CLASS=FOCAL COLSPAN=");
  out.Integer(columns);
  out.Char('>');
  out.LineEnd();
  out.Text("F = ");
  WriteReal(out, focal, 1, 1);
  out.Line(" mm");
  if (settings.Multiplier > 0) {
    out.Text("(EFL = ");
    WriteReal(out, Extended(settings.Multiplier) * focal, 1, 0);
    out.Line(" mm)");
  }
  out.Line("<TR>");
  out.Text("<TH CLASS=DIST>");
  out.Line(UnitSymbol(settings.Units));  // the unit of every distance in the block
  for (int a = 0; a < settings.ApertureCount; ++a) {
    out.Text(block.Diffracted[a] ? "<TH CLASS=\"APERT DIFF\"> F/" : "<TH CLASS=APERT> F/");
    WriteReal(out, settings.Apertures[a], 1, 1);
    out.LineEnd();
  }
  out.LineEnd();
}

void WriteTextBlockHeader(TextWriter& out, const RunSettings& settings, const Block& block) {
  const double focal = block.Focal;
  out.Text(kTextHeadingBefore);
  WriteReal(out, focal, 1, 1);
  out.Line(kTextHeadingAfter);
  // In feet the unit stands over the right end of the distance column;
  // metre tables, the older form, name no unit.
  out.Text(settings.Units == DistanceUnit::Foot ? ":     ft" : ":       ");
  for (int a = 0; a < settings.ApertureCount; ++a) {
    // A star after the aperture marks diffraction; it takes the place of
    // one of the blanks in front, so that the line keeps its width.
    const int field = TextApertureField(settings);
    out.TextInField("F/", block.Diffracted[a] ? field - 1 : field);
    WriteReal(out, settings.Apertures[a], 1, 1);
    if (block.Diffracted[a]) out.Char('*');
  }
  out.LineEnd();
}

/// A cell's opening, copied whole (one move of 16 bytes) and counted by
/// its size.
struct Opening {
  std::array<char, 16> Text;
  std::size_t Size;
};

/// What the cells of a block's rows are made of, settled once for the
/// block: in HTML each cell is its aperture's opening tag ("<TD>", with the
/// class DIFF where diffraction limits the aperture), the near limit, "-"
/// (a blank in relative mode), the far limit and the line end; in text a
/// blank and the two limits. Relative mode puts its signs in front.
struct CellPieces {
  Markup Form;
  char NearSign;
  char FarSign;
  char Between;  // HTML only
  std::vector<Opening> Openings;
};

Opening OpeningOf(std::string_view text) {
  Opening opening{{}, text.size()};
  std::copy(text.begin(), text.end(), opening.Text.begin());
  return opening;
}

CellPieces BlockCellPieces(const RunSettings& settings, const Block& block) {
  CellPieces pieces{settings.HTML ? Markup::Html : Markup::Text,
                    NearSign(settings),
                    FarSign(settings),
                    settings.Relative ? ' ' : '-',
                    {}};
  for (int a = 0; a < block.ApertureCount; ++a) {
    pieces.Openings.push_back(OpeningOf(!settings.HTML        ? " "
                                        : block.Diffracted[a] ? "<TD CLASS=DIFF>"
                                                              : "<TD>"));
  }
  return pieces;
}

/// The room a cell may take: its whole opening, the two limits, the mark
/// between them and the line end.
constexpr std::size_t kCellRoom = sizeof(Opening::Text) + 2 * kCellCapacity + 3;

/// One cell's limits written at `out`; the end of what it wrote.
char* WriteLimits(char* out, const CellPieces& pieces, const Opening& opening, double near, double far) {
  std::memcpy(out, opening.Text.data(), opening.Text.size());
  out += opening.Size;
  out = WriteCell(out, pieces.NearSign, pieces.Form, near);
  if (pieces.Form == Markup::Html) *out++ = pieces.Between;
  out = WriteCell(out, pieces.FarSign, pieces.Form, far);
  if (pieces.Form == Markup::Html) out = std::copy_n("\r\n", 2, out);
  return out;
}

void WriteRow(TextWriter& out, const RunSettings& settings, const Block& block, const CellPieces& pieces,
              int row) {
  const double distance = block.Distances[row];
  const double focal = block.Focal;
  if (settings.HTML) {
    out.Line("<TR> <TH CLASS=DIST>");
    out.Text(FormatCell(kNoSign, Markup::Html, distance).View());
    out.LineEnd();
  } else {
    WriteReal(out, focal, 5, 1);
    out.Char(' ');
    out.Text(FormatCell(kNoSign, Markup::Text, distance).View());
  }
  // The row's cells in one stretch of the document's buffer.
  char* const start = out.Room(kCellRoom * static_cast<std::size_t>(block.ApertureCount));
  char* end = start;
  for (int a = 0; a < block.ApertureCount; ++a) {
    double near = block.At(row, a).Near;
    double far = block.At(row, a).Far;
    if (settings.Relative) {
      // Offsets from the focus distance, kept as doubles like the limits.
      if (!IsUndefined(near)) near = static_cast<double>(Extended(distance) - near);
      if (!IsUndefined(far)) far = static_cast<double>(Extended(far) - distance);
    }
    end = WriteLimits(end, pieces, pieces.Openings[static_cast<std::size_t>(a)], near, far);
  }
  out.Advance(static_cast<std::size_t>(end - start));
  out.LineEnd();
}

void WriteHyperfocalRow(TextWriter& out, const Block& block) {
  out.Line("<TR><TD CLASS=HYPER>HD");
  for (int a = 0; a < block.ApertureCount; ++a) {
    out.Text(block.Diffracted[a] ? "<TD CLASS=\"HYPER DIFF\">" : "<TD CLASS=HYPER>");
    out.Text(FormatCell(kNoSign, Markup::Html, block.Hyperfocal[a]).View());
    out.LineEnd();
  }
}

/// The text form's lines before its first block, where the settings ask
/// for them: where the circle of confusion came from, when the camera's
/// format had a part in it, and from which aperture diffraction limits.
void WriteTextNotes(TextWriter& out, const RunSettings& settings) {
  if (settings.CoCFrom != CoCOrigin::Key) {
    out.Text(": Circle of confusion ");
    out.Text(FormatCompact(settings.CoC, 5).View());
    out.Text(" mm. ");
    WriteCoCOrigin(out, settings);
    out.LineEnd();
  }
  if (HasDiffractionNote(settings)) {
    out.Text(": * ");
    WriteDiffractionNote(out, settings);
    out.LineEnd();
  }
}

}  // namespace

void WriteDofTable(TextWriter& OutputFile, const RunSettings& settings) {
  if (settings.HTML) {
    OutputFile.Line("<TABLE CLASS=DOF>");
  } else {
    WriteTextNotes(OutputFile, settings);
  }
  for (int k = 1; k <= settings.FocalCount; ++k) {
    const Block block = ComputeBlock(settings, settings.Focals[k - 1]);
    if (settings.HTML) {
      WriteHtmlBlockHeader(OutputFile, settings, block, k);
    } else {
      WriteTextBlockHeader(OutputFile, settings, block);
    }
    const CellPieces pieces = BlockCellPieces(settings, block);
    for (int row = 0; row < block.RowCount(); ++row) WriteRow(OutputFile, settings, block, pieces, row);
    if (settings.HTML) {
      WriteHyperfocalRow(OutputFile, block);
      if (settings.Chart) WriteDofChart(OutputFile, settings, block);
    }
    if (settings.Stack) WriteStackTable(OutputFile, settings, block);
    if (settings.Zone) WriteZoneTable(OutputFile, settings, block);
  }
  if (settings.HTML) OutputFile.Line("</TABLE>");
}

}  // namespace velmo
