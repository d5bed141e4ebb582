#include "output/dof_table.h"

#include "numtext/format_cell.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "optics/dof_limits.h"
#include "output/dof_chart.h"
#include "output/table_rows.h"

namespace velmo {

namespace {

void WriteHtmlBlockHeader(TextWriter& out, const RunSettings& settings, double focal, int index) {
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
    out.Text("<TH CLASS=APERT> F/");
    WriteReal(out, settings.Apertures[a], 1, 1);
    out.LineEnd();
  }
  out.LineEnd();
}

void WriteTextBlockHeader(TextWriter& out, const RunSettings& settings, double focal) {
  out.Text(": -------------------- F = ");
  WriteReal(out, focal, 1, 1);
  out.Line(" mm --------------------");
  // In feet the unit stands over the right end of the distance column;
  // metre tables, the older form, name no unit.
  out.Text(settings.Units == DistanceUnit::Foot ? ":     ft" : ":       ");
  for (int a = 0; a < settings.ApertureCount; ++a) {
    out.TextInField("F/", settings.Relative ? 11 : 9);
    WriteReal(out, settings.Apertures[a], 1, 1);
  }
  out.LineEnd();
}

void WriteRow(TextWriter& out, const RunSettings& settings, double distance, double focal) {
  const bool html = settings.HTML;
  if (html) {
    out.Line("<TR> <TH CLASS=DIST>");
    out.Text(FormatCell(kNoSign, Markup::Html, distance).View());
    out.LineEnd();
  } else {
    WriteReal(out, focal, 5, 1);
    out.Char(' ');
    out.Text(FormatCell(kNoSign, Markup::Text, distance).View());
  }
  for (int a = 0; a < settings.ApertureCount; ++a) {
    double near, far;
    ComputeDofLimits(settings.CoC, settings.Apertures[a], distance, focal, near, far, settings.Units);
    if (settings.Relative) {
      // Offsets from the focus distance, kept as doubles like the limits.
      if (!IsUndefined(near)) near = static_cast<double>(Extended(distance) - near);
      if (!IsUndefined(far)) far = static_cast<double>(Extended(far) - distance);
    }
    if (html) {
      out.Text("<TD>");
      out.Text(FormatCell(NearSign(settings), Markup::Html, near).View());
      out.Char(settings.Relative ? ' ' : '-');
      out.Text(FormatCell(FarSign(settings), Markup::Html, far).View());
      out.LineEnd();
    } else {
      out.Char(' ');
      out.Text(FormatCell(NearSign(settings), Markup::Text, near).View());
      out.Text(FormatCell(FarSign(settings), Markup::Text, far).View());
    }
  }
  out.LineEnd();
}

void WriteHyperfocalRow(TextWriter& out, const RunSettings& settings, double focal) {
  out.Line("<TR><TD CLASS=HYPER>HD");
  for (int a = 0; a < settings.ApertureCount; ++a) {
    const double hyperfocal = HyperfocalDistance(settings.CoC, settings.Apertures[a], focal, settings.Units);
    out.Text("<TD CLASS=HYPER>");
    out.Text(FormatCell(kNoSign, Markup::Html, hyperfocal).View());
    out.LineEnd();
  }
}

}  // namespace

void WriteDofTable(TextWriter& OutputFile, const RunSettings& settings) {
  if (settings.HTML) OutputFile.Line("<TABLE CLASS=DOF>");
  for (int k = 1; k <= settings.FocalCount; ++k) {
    const double focal = settings.Focals[k - 1];
    if (settings.HTML) {
      WriteHtmlBlockHeader(OutputFile, settings, focal, k);
    } else {
      WriteTextBlockHeader(OutputFile, settings, focal);
    }
    for (int d = 0; d < settings.DistanceCount; ++d) {
      const double distance = settings.Distances[d];
      if (RowIsWritten(settings, distance, focal)) WriteRow(OutputFile, settings, distance, focal);
    }
    if (settings.HTML) {
      WriteHyperfocalRow(OutputFile, settings, focal);
      if (settings.Chart) WriteDofChart(OutputFile, settings, focal);
    }
  }
  if (settings.HTML) OutputFile.Line("</TABLE>");
}

}  // namespace velmo
