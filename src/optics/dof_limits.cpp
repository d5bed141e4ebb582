#include "optics/dof_limits.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "numtext/undefined.h"

namespace velmo {

// The words of this file:
// - stored: rounded to a double, as every step of the formulas is; Stored(x)
//   is that double, RoundedToDouble(x) the same value kept in x's type for
//   the next step.
// - ShortPath: the type the cells compute in. On the x87 unit, Extended
//   itself. In software, NormalExtended: normal values taken apart, fast,
//   with a mark (a NaN once stored) where a step left the normal numbers.
// - in full: a cell whose short path gave up, computed again in Extended.

namespace {

using ShortPath = Extended::ShortPath;

/// Whether the cells compute in software, where a short path can give up;
/// on the x87 unit they compute in Extended itself.
constexpr bool kSoftware = !std::is_same_v<ShortPath, Extended>;

template <typename Number>
VELMO_ALWAYS_INLINE inline double Stored(Number x) {
  return static_cast<double>(x);
}

/// A distance of the user's unit in millimetres, stored; in full where the
/// short path gave up (a zero, a denormal, a product beyond the doubles).
VELMO_ALWAYS_INLINE inline double InMillimetres(double distance, DistanceUnit unit) {
  const auto convert = [&](auto number) {
    using Number = decltype(number);
    return Stored(Number(distance) *
                  (unit == DistanceUnit::Foot ? Number(kMillimetresPerFoot) : Number(kMillimetresPerMetre)));
  };
  const double quick = convert(ShortPath());
  return std::isnan(quick) ? convert(Extended()) : quick;
}

/// A length in millimetres in the user's unit, stored. Never of a double:
/// the conversion is extended, and the tables' digits depend on it.
template <typename Number>
VELMO_ALWAYS_INLINE inline double InUnits(Number millimetres, DistanceUnit unit) {
  static_assert(!std::is_same_v<Number, double>, "convert the millimetres to Extended first");
  return Stored(unit == DistanceUnit::Foot ? millimetres / Number(kMillimetresPerFoot)
                                           : Number(kMetresPerMillimetre) * millimetres);
}

/// Whether a subject s millimetres away is closer than the focal length,
/// where the lens forms no image of it: a cell without limits.
bool CloserThanFocal(double s, double focal) {
  return s < focal;
}

// The cell. A subject s millimetres away, beyond the focal length f, seen
// at f-number N with the circle of confusion c:
//   h    = N c (s - f) / f^2        stored: the subject's distance beyond
//                                   the focal length over the hyperfocal's
//   near = s / (1 + h)              stored, then in the user's unit, stored
//   far  = s / (1 - h)              the same; none where 1 - h < 0
// each product and quotient in the order written.

template <typename Number>
VELMO_ALWAYS_INLINE inline Number HyperfocalRatio(Number blur, Number beyondFocal, Number focalSquared) {
  return RoundedToDouble(blur * beyondFocal / focalSquared);
}

template <typename Number>
VELMO_ALWAYS_INLINE inline double NearLimit(Number h, double s, DistanceUnit unit) {
  return InUnits(RoundedToDouble(s / OnePlus(h)), unit);
}

// The far limit, s / (1 - h), none where that is below zero:
// 1. h > 1, the subject beyond the hyperfocal distance: 1 - h < 0, so the
//    quotient is below zero, and it is not computed; kBelowZero stands for
//    it (a NaN cannot: in software it says that the short path gave up).
//    Below zero for certain only where it cannot round to -0 or vanish
//    among the denormals: s >= 1e-6 mm and h < 2^996 (AboveOne's upper
//    bound) keep |s / (1 - h)| above 1e-6 / 2^996, about 1.5e-306, a normal
//    double (they begin at 2.2e-308). The cells of real tables are all
//    within those bounds.
// 2. Otherwise the quotient, stored, then in the user's unit, stored.
// 3. Finished: a result below zero (from step 1, or from step 2 for an h
//    beyond the bounds) is no far limit; a -0 is kept as computed.
constexpr double kBelowZero = -1;

template <typename Number>
VELMO_ALWAYS_INLINE inline double FarLimit(Number h, double s, DistanceUnit unit) {
  if (s >= 1e-6 && AboveOne(h)) return kBelowZero;
  return InUnits(RoundedToDouble(s / OneMinus(h)), unit);
}

/// A cell computed from the doubles, in `Number`.
template <typename Number>
VELMO_ALWAYS_INLINE inline DofLimits CellFromDoubles(const Lens& lens, double s, DistanceUnit unit) {
  const Number f = lens.Focal;
  const Number h = HyperfocalRatio(Number(lens.Aperture) * Number(lens.CoC), s - f, f * f);
  return {NearLimit(h, s, unit), FarLimit(h, s, unit)};
}

/// A cell in full, for the rare cell whose short path gave up: out of line,
/// so that the cells of the short path carry none of its weight.
[[maybe_unused]] VELMO_NEVER_INLINE DofLimits CellInFull(const Lens& lens, double s, DistanceUnit unit) {
  return CellFromDoubles<Extended>(lens, s, unit);
}

/// The limits of a cell as the short path gave them, made final: in full
/// where it gave up, and a far limit below zero (beyond infinity) is none.
VELMO_ALWAYS_INLINE inline DofLimits Finished(DofLimits limits, const Lens& lens, double s,
                                              DistanceUnit unit) {
  if constexpr (kSoftware) {
    if (std::isnan(limits.Near) || std::isnan(limits.Far)) limits = CellInFull(lens, s, unit);
  }
  return {limits.Near, limits.Far < 0 ? Undefined : limits.Far};
}

// A block shares the terms of h: N c of a column (a lens), f^2 of the
// block, s - f of a row (a subject).

struct LensTerms {
  Lens Values;
  ShortPath Blur;          // N c
  ShortPath FocalSquared;  // f^2
};

struct SubjectTerms {
  double Millimetres;     // s, stored
  ShortPath BeyondFocal;  // s - f
};

/// A row beyond the focal length. On the x87 unit cell after cell, each
/// from the doubles: a cell is few instructions, the processor overlaps
/// consecutive cells by itself, and terms or steps kept in memory in the
/// 80-bit format cost more than computing them again. In software from the
/// terms, a group of cells at a time and one step at a time for the whole
/// group: a cell is one long chain of dependent steps, and the processor
/// works on the chains of many cells at once only if their steps come close
/// together in the program.
void RowBeyondFocal(std::span<const LensTerms> lenses, const SubjectTerms& subject, DistanceUnit unit,
                    DofLimits* limits) {
  const double s = subject.Millimetres;
  if constexpr (!kSoftware) {
    for (std::size_t i = 0; i < lenses.size(); ++i) {
      limits[i] = Finished(CellFromDoubles<Extended>(lenses[i].Values, s, unit), lenses[i].Values, s, unit);
    }
    return;
  }
  constexpr std::size_t kGroup = 16;
  for (std::size_t start = 0; start < lenses.size(); start += kGroup) {
    const std::size_t end = std::min(start + kGroup, lenses.size());
    ShortPath h[kGroup];
    for (std::size_t i = start; i < end; ++i) {
      h[i - start] = HyperfocalRatio(lenses[i].Blur, subject.BeyondFocal, lenses[i].FocalSquared);
    }
    for (std::size_t i = start; i < end; ++i) limits[i].Near = NearLimit(h[i - start], s, unit);
    for (std::size_t i = start; i < end; ++i) limits[i].Far = FarLimit(h[i - start], s, unit);
    for (std::size_t i = start; i < end; ++i) limits[i] = Finished(limits[i], lenses[i].Values, s, unit);
  }
}

/// The limits of a subject at infinity: near at f^2 / Nc (where s / (1 + h)
/// tends as s grows: the hyperfocal distance less the focal length, see
/// HyperfocalDistance), and no far limit.
DofLimits InfiniteSubject(const Lens& lens, DistanceUnit unit) {
  const Extended f = lens.Focal;
  const Extended blur = Extended(lens.Aperture) * lens.CoC;
  // In metres the factor comes first, (M x f) x f / Nc, and the digits of
  // the metre tables depend on that order.
  const double near =
      unit == DistanceUnit::Foot ? InUnits(f * f / blur, unit) : Stored(kMetresPerMillimetre * f * f / blur);
  return {near, Undefined};
}

}  // namespace

void BlockLimits(std::span<const Lens> lenses, std::span<const double> distances, DistanceUnit unit,
                 DofLimits* limits) {
  if (lenses.empty()) return;
  const double focal = lenses.front().Focal;
  std::vector<LensTerms> terms;
  terms.reserve(lenses.size());
  for (const Lens& lens : lenses) {
    terms.push_back(
        {lens, ShortPath(lens.Aperture) * ShortPath(lens.CoC), ShortPath(focal) * ShortPath(focal)});
  }
  for (const double distance : distances) {
    DofLimits* row = limits;
    limits += lenses.size();
    if (IsUndefined(distance)) {
      for (const Lens& lens : lenses) *row++ = InfiniteSubject(lens, unit);
      continue;
    }
    const double s = InMillimetres(distance, unit);
    if (CloserThanFocal(s, focal)) {
      std::fill(row, limits, DofLimits{Undefined, Undefined});
      continue;
    }
    RowBeyondFocal(terms, {s, ShortPath(s) - ShortPath(focal)}, unit, row);
  }
}

DofLimits ComputeDofLimits(const Lens& lens, double distance, DistanceUnit unit) {
  // Alone, a cell has no terms to share: straight from the doubles, to the
  // same bits as in a block.
  if (IsUndefined(distance)) return InfiniteSubject(lens, unit);
  const double s = InMillimetres(distance, unit);
  if (CloserThanFocal(s, lens.Focal)) return {Undefined, Undefined};
  return Finished(CellFromDoubles<ShortPath>(lens, s, unit), lens, s, unit);
}

double FocusForNearLimit(const Lens& lens, double near, DistanceUnit unit) {
  const double n = InMillimetres(near, unit);
  const Extended f = lens.Focal;
  const Extended blur = Extended(lens.Aperture) * lens.CoC;
  const double denominator = Stored(f * f - n * blur);
  if (!(n >= lens.Focal) || !(denominator > 0)) return Undefined;
  const double s = Stored(n * f * (f - blur) / denominator);
  return IsUndefined(s) ? Undefined : InUnits(Extended(s), unit);
}

double HyperfocalDistance(const Lens& lens, DistanceUnit unit) {
  const Extended f = lens.Focal;
  return InUnits(f * f / (Extended(lens.Aperture) * lens.CoC) + f, unit);
}

}  // namespace velmo
