#include "output/zone_table.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "numtext/format_cell.h"
#include "numtext/round_up.h"
#include "numtext/undefined.h"
#include "optics/diffraction.h"
#include "optics/zone_focus.h"
#include "output/table_width.h"

namespace velmo {

namespace {

/// The near distances: the finite rows the block shows.
std::vector<double> NearDistances(const Block& block) {
  std::vector<double> near;
  for (double distance : block.Distances) {
    if (!IsUndefined(distance)) near.push_back(distance);
  }
  return near;
}

bool Beyond(double far, double near) {
  return IsUndefined(far) || far > near;
}

/// The far distances: the list's distances (infinity among them where the
/// list has it) beyond at least one near distance, in the list's order.
std::vector<double> FarDistances(const RunSettings& settings, const std::vector<double>& near) {
  std::vector<double> far;
  for (int i = 0; i < settings.DistanceCount; ++i) {
    const double distance = settings.Distances[static_cast<std::size_t>(i)];
    const bool useful = std::any_of(near.begin(), near.end(), [&](double n) { return Beyond(distance, n); });
    if (useful) far.push_back(distance);
  }
  return far;
}

/// A cell: the focus, the f-number as printed (rounded up to the three
/// digits of a table cell, so that the printed one always reaches the
/// zone), and its diffraction mark. `Undefined` where no focus makes it.
struct Zone {
  double Focus = Undefined;
  double FNumber = Undefined;
  bool Diffracted = false;
};

Zone ZoneOf(const RunSettings& settings, const Block& block, double near, double far) {
  const ZoneFocus exact = ComputeZoneFocus(block.Focal, settings.CoC, near, far, settings.Units);
  if (IsUndefined(exact.Focus)) return {};
  const double printed = RoundUpComputed(exact.FNumber, 3);
  return {exact.Focus, printed,
          settings.Diffraction && DiffractionLimited(printed, settings.Wavelength, settings.CoC)};
}

// In HTML the zones are rows of the block's own table: its aperture columns
// hold as many far distances at a time, so that the zone table is never
// wider than the block.

void WriteHtmlFarRow(TextWriter& out, const Block& block, std::span<const double> far) {
  out.Line("<TR><TH CLASS=ZONEFROM>from \\ to");
  for (int a = 0; a < block.ApertureCount; ++a) {
    out.Text("<TH CLASS=ZONETO>");
    if (static_cast<std::size_t>(a) < far.size()) out.Text(FormatCell(kNoSign, Markup::Html, far[a]).View());
    out.LineEnd();
  }
}

void WriteHtmlZoneRow(TextWriter& out, const RunSettings& settings, const Block& block, double near,
                      std::span<const double> far) {
  out.Text("<TR><TH CLASS=FRAME>");
  out.Line(FormatCell(kNoSign, Markup::Html, near).View());
  for (int a = 0; a < block.ApertureCount; ++a) {
    const std::size_t column = static_cast<std::size_t>(a);
    const Zone zone = column < far.size() && Beyond(far[column], near)
                          ? ZoneOf(settings, block, near, far[column])
                          : Zone{};
    out.Text(zone.Diffracted ? "<TD CLASS=\"ZONE DIFF\">" : "<TD CLASS=ZONE>");
    if (!IsUndefined(zone.Focus)) {
      out.Text(FormatCell(kNoSign, Markup::Html, zone.Focus).View());
      out.Text("<BR>f/");
      out.Text(FormatCell(kNoSign, Markup::Html, zone.FNumber).View());
    }
    out.LineEnd();
  }
}

void WriteHtmlZones(TextWriter& out, const RunSettings& settings, const Block& block,
                    const std::vector<double>& near, const std::vector<double>& far) {
  out.Text("<TR><TH CLASS=ZONES COLSPAN=");
  out.Integer(block.ApertureCount + 1);
  out.Text(
      ">Zone focusing: focus, and the f-number that keeps sharp from the row's distance to the "
      "column's (");
  out.Text(UnitSymbol(settings.Units));
  out.Line(")");
  const std::size_t group = static_cast<std::size_t>(std::max(block.ApertureCount, 1));
  for (std::size_t start = 0; start < far.size(); start += group) {
    const std::span<const double> columns(far.data() + start, std::min(group, far.size() - start));
    WriteHtmlFarRow(out, block, columns);
    for (double n : near) {
      if (std::any_of(columns.begin(), columns.end(), [&](double d) { return Beyond(d, n); })) {
        WriteHtmlZoneRow(out, settings, block, n, columns);
      }
    }
  }
}

// In text each near distance's zones follow one another on ":" lines, as
// many as the table is wide: "near-far focus f/N".

void WriteTextZones(TextWriter& out, const RunSettings& settings, const Block& block,
                    const std::vector<double>& near, const std::vector<double>& far) {
  out.Text(": Zone focusing, near-far (");
  out.Text(UnitSymbol(settings.Units));
  out.Line("): focus, and the f-number that keeps it sharp:");
  const std::size_t width = TextTableWidth(settings);
  for (double n : near) {
    std::string line = ":";
    for (double d : far) {
      if (!Beyond(d, n)) continue;
      const Zone zone = ZoneOf(settings, block, n, d);
      if (IsUndefined(zone.Focus)) continue;
      const std::string item = "  " + TextValue(n) + "-" + TextValue(d) + " " + TextValue(zone.Focus) +
                               " f/" + TextValue(zone.FNumber) + (zone.Diffracted ? "*" : "");
      if (line.size() > 1 && line.size() + item.size() > width) {
        out.Line(line);
        line = ":";
      }
      line += item;
    }
    if (line.size() > 1) out.Line(line);
  }
}

}  // namespace

void WriteZoneTable(TextWriter& out, const RunSettings& settings, const Block& block) {
  const std::vector<double> near = NearDistances(block);
  const std::vector<double> far = FarDistances(settings, near);
  if (settings.HTML) {
    WriteHtmlZones(out, settings, block, near, far);
  } else {
    WriteTextZones(out, settings, block, near, far);
  }
}

}  // namespace velmo
