#include "output/dof_chart.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "numtext/format_cell.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "output/chart_scale.h"

namespace velmo {

namespace {

// The layout, in the chart's own units: pixels when it is drawn at full
// size, which a narrow page or the printed page scales down as a whole.
constexpr double kWidth = 640;
constexpr double kLeft = 56;  // the vertical axis
constexpr double kRight = 624;
constexpr double kInfinityColumn = kRight - 14;  // the infinite distance
constexpr double kFiniteRight = kRight - 44;     // with that column
constexpr double kInfinityLine = 30;             // infinite limits
// The sign of infinity as SVG, and so XML, knows it: by number.
constexpr std::string_view kInfinitySign = "&#8734;";
constexpr double kTop = 48;  // the largest finite limit
// Where a finite far limit beyond kTop leaves the plot, under an arrowhead:
// apart from the top grid line and from the line of infinity.
constexpr double kBeyondTop = 40;
constexpr double kBottom = 328;  // the horizontal axis
constexpr double kLegendTop = kBottom + 52;
constexpr double kLegendRow = 18;
constexpr int kLegendColumns = 4;
constexpr double kLegendColumn = (kWidth - kLeft) / kLegendColumns;
// The apertures take these line styles in turn; velmo.css gives each a
// colour and a dash pattern that stay apart when printed in grey.
constexpr int kLineStyles = 8;
// No axis spans more than this ratio: at 10^6 the smallest values of a
// strange settings file stay on the axis, not the useful ones.
constexpr double kWidestRange = 1e6;
// The limits drawn reach at most this factor above the farthest distance;
// beyond it, far limits leave the top of the plot.
constexpr double kHeadroom = 10;

/// The block's limits as the chart draws them, a curve per aperture: the
/// finite rows sorted by distance, the infinite distance apart.
struct Curves {
  std::vector<double> distances;  // finite rows, ascending
  bool infinityRow = false;
  std::vector<double> near, far;       // [aperture * rows + row]
  std::vector<double> nearAtInfinity;  // per aperture, when its row is shown
};

bool Drawable(double x) {
  return !IsUndefined(x) && x > 0;
}

Curves Gather(const Block& block) {
  Curves limits;
  std::vector<int> rows;  // the finite rows, in order of distance
  int infinite = -1;
  for (int row = 0; row < block.RowCount(); ++row) {
    if (!IsUndefined(block.Distances[row])) {
      rows.push_back(row);
    } else if (infinite < 0) {
      infinite = row;
    }
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [&](int a, int b) { return block.Distances[a] < block.Distances[b]; });
  for (int row : rows) limits.distances.push_back(block.Distances[row]);
  limits.infinityRow = infinite >= 0;
  for (int a = 0; a < block.ApertureCount; ++a) {
    for (int row : rows) {
      limits.near.push_back(block.At(row, a).Near);
      limits.far.push_back(block.At(row, a).Far);
    }
    if (limits.infinityRow) limits.nearAtInfinity.push_back(block.At(infinite, a).Near);
  }
  return limits;
}

/// The least and greatest drawable values, widened to ticks; 1 to 10 when
/// nothing is drawable.
struct Range {
  double least = 0;
  double greatest = 0;

  void Take(double x) {
    if (!Drawable(x)) return;
    least = least == 0 ? x : std::min(least, x);
    greatest = std::max(greatest, x);
  }
  LogAxis Axis(double from, double to) const {
    if (least == 0) return {1, 10, from, to};
    const double high = TickAtOrAbove(std::min(greatest, 1e300)).Value();
    double low = TickAtOrBelow(std::max(least, high / kWidestRange)).Value();
    if (!(low < high)) low = TickAtOrBelow(high / 10).Value();
    return {low, high, from, to};
  }
};

/// A coordinate, to a tenth of a unit: "52", "60.5".
void Coordinate(TextWriter& out, double value) {
  const long long tenths = std::llround(value * 10);
  out.Integer(tenths / 10);
  if (tenths % 10 != 0) {
    out.Char('.');
    out.Char(static_cast<char>('0' + tenths % 10));
  }
}

void Point(TextWriter& out, char command, double x, double y) {
  out.Char(command);
  Coordinate(out, x);
  out.Char(' ');
  Coordinate(out, y);
}

/// A polyline through the points given one at a time; a point that cannot
/// be drawn breaks it, and so must its end. A piece of a single point is
/// drawn as a dot. (Its end is no destructor's work: a write can fail.)
class Polyline {
 public:
  explicit Polyline(TextWriter& out) : out_(out) {}

  void To(double x, double y) {
    Point(out_, points_ == 0 ? 'M' : 'L', x, y);
    ++points_;
  }
  void Break() {
    if (points_ == 1) out_.Text("h0");
    points_ = 0;
  }

 private:
  TextWriter& out_;
  int points_ = 0;
};

class Chart {
 public:
  Chart(TextWriter& out, const RunSettings& settings, const Block& block)
      : out_(out),
        settings_(settings),
        block_(block),
        curves_(Gather(block)),
        x_(DistanceAxis(curves_)),
        y_(LimitAxis(curves_, x_.high)) {
    // Every aperture's curves pass through the same columns.
    for (double distance : curves_.distances) columns_.push_back(x_.Map(distance));
  }

  void Write() {
    const int legendRows = (settings_.ApertureCount + kLegendColumns - 1) / kLegendColumns;
    const double height = kLegendTop + legendRows * kLegendRow;
    out_.Text("<svg class=\"DOFCHART\" xmlns=\"http://www.w3.org/2000/svg\" width=\"");
    Coordinate(out_, kWidth);
    out_.Text("\" height=\"");
    Coordinate(out_, height);
    out_.Text("\" viewBox=\"0 0 ");
    Coordinate(out_, kWidth);
    out_.Char(' ');
    Coordinate(out_, height);
    out_.Line("\" fill=\"none\" stroke=\"#000\" font-family=\"sans-serif\" font-size=\"11\">");
    out_.Text("<title>F = ");
    WriteReal(out_, block_.Focal, 1, 1);
    out_.Line(" mm: near and far limits of sharpness against the focus distance</title>");
    WriteGrid();
    for (int a = 0; a < settings_.ApertureCount; ++a) WriteAperture(a);
    WriteLabels();
    out_.Line("</svg>");
  }

 private:
  /// Over the rows shown, leaving room for the infinite distance's column.
  static LogAxis DistanceAxis(const Curves& curves) {
    Range x;
    for (double distance : curves.distances) x.Take(distance);
    return x.Axis(kLeft, curves.infinityRow ? kFiniteRight : kRight);
  }

  /// Over every limit drawn and the distances (where near and far meet),
  /// but far limits beyond the headroom leave the top instead.
  static LogAxis LimitAxis(const Curves& curves, double farthest) {
    Range y;
    for (double distance : curves.distances) y.Take(distance);
    for (double near : curves.near) y.Take(near);
    for (double near : curves.nearAtInfinity) y.Take(near);
    for (double far : curves.far) {
      if (far <= farthest * kHeadroom) y.Take(far);
    }
    return y.Axis(kBottom, kTop);
  }

  static std::vector<Tick> Ticks(const LogAxis& axis) {
    std::vector<Tick> ticks;
    Tick tick = TickAtOrAbove(axis.low);
    const Tick last = TickAtOrBelow(axis.high);
    // Over more than three decades only the powers of ten are marked.
    const bool decadesOnly = axis.high > axis.low * 1000;
    for (; tick.Value() <= last.Value(); tick = tick.Next()) {
      if (!decadesOnly || tick.mantissa == 1) ticks.push_back(tick);
    }
    return ticks;
  }

  void WriteGrid() {
    const std::vector<Tick> across = Ticks(x_);
    const std::vector<Tick> upwards = Ticks(y_);
    if (!across.empty() || !upwards.empty()) {
      out_.Text("<path class=\"GRID\" stroke-width=\"0.5\" d=\"");
      for (const Tick& tick : across) {
        Point(out_, 'M', x_.Map(tick.Value()), kTop);
        out_.Char('V');
        Coordinate(out_, kBottom);
      }
      for (const Tick& tick : upwards) {
        Point(out_, 'M', kLeft, y_.Map(tick.Value()));
        out_.Char('H');
        Coordinate(out_, x_.to);
      }
      out_.Line("\"/>");
    }
    out_.Text("<path class=\"INFINITY\" stroke-dasharray=\"6 3\" d=\"");
    Point(out_, 'M', kLeft, kInfinityLine);
    out_.Char('H');
    Coordinate(out_, kRight);
    out_.Line("\"/>");
    out_.Text("<path class=\"FRAME\" d=\"");
    Point(out_, 'M', kLeft, kInfinityLine);
    out_.Char('V');
    Coordinate(out_, kBottom);
    out_.Char('H');
    Coordinate(out_, kRight);
    out_.Line("\"/>");
    // Where near and far limits meet: the focus distance itself, where
    // there is a row to draw it through (a path needs a point).
    if (std::none_of(curves_.distances.begin(), curves_.distances.end(), Drawable)) return;
    out_.Text("<path class=\"FOCUS\" stroke-dasharray=\"2 3\" d=\"");
    Polyline focus(out_);
    for (double distance : curves_.distances) {
      if (Drawable(distance)) focus.To(x_.Map(distance), y_.Map(distance));
    }
    focus.Break();
    out_.Line("\"/>");
  }

  double FarY(double far) const { return IsUndefined(far) ? kInfinityLine : y_.Map(far); }

  void WriteAperture(int a) {
    out_.Text("<g class=\"APERTURE A");
    out_.Integer(a % kLineStyles + 1);
    // Muted, as the aperture's column, where diffraction limits it.
    if (block_.Diffracted[a]) out_.Text(" DIFF");
    out_.Text("\"><path d=\"");
    const std::size_t rows = curves_.distances.size();
    const double* near = curves_.near.data() + a * rows;
    const double* far = curves_.far.data() + a * rows;
    Polyline line(out_);
    for (std::size_t r = 0; r < rows; ++r) {
      if (Drawable(near[r])) {
        line.To(columns_[r], y_.Map(near[r]));
      } else {
        line.Break();
      }
    }
    line.Break();
    // An infinite far limit is drawn on the line of infinity; a finite one
    // beyond the top of the plot leaves it there, and the curve ends.
    for (std::size_t r = 0; r < rows; ++r) {
      if (Drawable(far[r]) && far[r] > y_.high) {
        line.To(columns_[r], kBeyondTop);
        line.Break();
        Point(out_, 'M', columns_[r] - 3, kBeyondTop);
        Point(out_, 'L', columns_[r], kBeyondTop - 5);
        Point(out_, 'L', columns_[r] + 3, kBeyondTop);
      } else if (Drawable(far[r]) || IsUndefined(far[r])) {
        line.To(columns_[r], FarY(far[r]));
      } else {
        line.Break();
      }
    }
    line.Break();
    if (curves_.infinityRow && Drawable(curves_.nearAtInfinity[a])) {
      Point(out_, 'M', kInfinityColumn - 6, y_.Map(curves_.nearAtInfinity[a]));
      out_.Text("h12");
    }
    Point(out_, 'M', LegendX(a), LegendY(a) - 4);
    out_.Text("h24\"/>");
    const double hyperfocal = block_.Hyperfocal[a];
    if (Drawable(hyperfocal) && hyperfocal >= x_.low && hyperfocal <= x_.high) {
      out_.Text("<circle class=\"HYPER\" fill=\"#fff\" r=\"3\" cx=\"");
      Coordinate(out_, x_.Map(hyperfocal));
      out_.Text("\" cy=\"");
      Coordinate(out_, kInfinityLine);
      out_.Text("\"/>");
    }
    out_.Line("</g>");
  }

  // The legend runs in rows of kLegendColumns apertures.
  static double LegendX(int a) {
    const int column = a % kLegendColumns;
    return kLeft + column * kLegendColumn;
  }
  static double LegendY(int a) {
    const int row = a / kLegendColumns;
    return kLegendTop + row * kLegendRow;
  }

  /// The start of a text at (x, y); the caller writes the text and ends it.
  void OpenText(double x, double y, const char* anchor, const char* cssClass = nullptr) {
    out_.Text("<text ");
    if (cssClass != nullptr) {
      out_.Text("class=\"");
      out_.Text(cssClass);
      out_.Text("\" ");
    }
    out_.Text("x=\"");
    Coordinate(out_, x);
    out_.Text("\" y=\"");
    Coordinate(out_, y);
    if (anchor != nullptr) {
      out_.Text("\" text-anchor=\"");
      out_.Text(anchor);
    }
    out_.Text("\">");
  }

  void Text(double x, double y, const char* anchor, std::string_view text) {
    OpenText(x, y, anchor);
    out_.Text(text);
    out_.Line("</text>");
  }

  void WriteLabels() {
    const std::string unit = UnitSymbol(settings_.Units);
    out_.Line("<g class=\"LABELS\" fill=\"#000\" stroke=\"none\">");
    for (const Tick& tick : Ticks(x_)) Text(x_.Map(tick.Value()), kBottom + 15, "middle", tick.Text());
    if (curves_.infinityRow) Text(kInfinityColumn, kBottom + 15, "middle", kInfinitySign);
    Text((kLeft + kRight) / 2, kBottom + 32, "middle", "focus distance (" + unit + ")");
    for (const Tick& tick : Ticks(y_)) Text(kLeft - 5, y_.Map(tick.Value()) + 4, "end", tick.Text());
    Text(kLeft - 5, kInfinityLine + 4, "end", kInfinitySign);
    Text(4, 14, nullptr, "near and far limits (" + unit + ")");
    // Each aperture as its column heading has it, with its hyperfocal
    // distance as the table's last row, HD, gives it.
    for (int a = 0; a < settings_.ApertureCount; ++a) {
      // Muted, as its curves, where diffraction limits the aperture.
      OpenText(LegendX(a) + 30, LegendY(a), nullptr, block_.Diffracted[a] ? "DIFF" : nullptr);
      out_.Text("F/");
      WriteReal(out_, settings_.Apertures[a], 1, 1);
      out_.Text(", HD ");
      // As the table's cell shows it, save infinity: "&infin;" is an entity
      // of HTML, which XML, and so an SVG file cut out of the page, lacks.
      const double hyperfocal = block_.Hyperfocal[a];
      out_.Text(IsUndefined(hyperfocal) ? kInfinitySign
                                        : FormatCell(kNoSign, Markup::Html, hyperfocal).View());
      out_.Line("</text>");
    }
    out_.Line("</g>");
  }

  TextWriter& out_;
  const RunSettings& settings_;
  const Block& block_;  // outlives the chart: its focal length, hyperfocal distances, marks
  Curves curves_;       // its limits, laid out for drawing
  LogAxis x_;
  LogAxis y_;
  std::vector<double> columns_;  // of the rows, in order of distance
};

}  // namespace

void WriteDofChart(TextWriter& out, const RunSettings& settings, const Block& block) {
  out.Text("<TR><TD CLASS=CHART COLSPAN=");
  out.Integer(settings.ApertureCount + 1);
  out.Char('>');
  out.LineEnd();
  Chart(out, settings, block).Write();
}

}  // namespace velmo
