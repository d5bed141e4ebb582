#include "optics/dof_limits.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "numtext/undefined.h"

namespace velmo {

namespace {

// Millimetres to metres: 0.001 rounded to the extended format,
// 0x83126E978D4FDF3B x 2^-73, about 4.2E-23 below 0.001. Multiplying by it
// is not the same as dividing by 1000, and the tables show the difference.
constexpr Extended kMetresPerMillimetre = Extended(1) / Extended(1000);
constexpr Extended kMillimetresPerMetre = 1000;

/// The number type of the cells' short path.
using Quick = Extended::ShortPath;

/// The cast that rounds an extended intermediate to the double it is kept as.
template <typename Number>
VELMO_ALWAYS_INLINE inline double Stored(Number x) {
  return static_cast<double>(x);
}

/// `formula`, given a value of the number type to compute in, on the short
/// path, and again in full where that gave up: its NaN says so. (A NaN the
/// formula gives in full is computed twice, to the same NaN.)
template <typename Formula>
VELMO_ALWAYS_INLINE inline double ShortPathOrFull(Formula formula) {
  const double quick = formula(Quick());
  if constexpr (!std::is_same_v<Quick, Extended>) {
    if (std::isnan(quick)) return formula(Extended());
  }
  return quick;
}

/// A distance of the user's unit in millimetres, stored.
VELMO_ALWAYS_INLINE inline double InMillimetres(double distance, DistanceUnit unit) {
  return ShortPathOrFull([&](auto number) {
    using Number = decltype(number);
    return Stored(Number(distance) *
                  (unit == DistanceUnit::Foot ? Number(kMillimetresPerFoot) : Number(kMillimetresPerMetre)));
  });
}

/// A length in millimetres in the user's unit, stored. Never of a double:
/// the conversion is extended, and the tables' digits depend on it.
template <typename Number>
VELMO_ALWAYS_INLINE inline double InUnits(Number millimetres, DistanceUnit unit) {
  static_assert(!std::is_same_v<Number, double>, "convert the millimetres to Extended first");
  return Stored(unit == DistanceUnit::Foot ? millimetres / Number(kMillimetresPerFoot)
                                           : Number(kMetresPerMillimetre) * millimetres);
}

/// An extended intermediate rounded to the double it is stored as, for the
/// next step: on the short path without leaving it.
template <typename Number>
VELMO_ALWAYS_INLINE inline Number Kept(Number x) {
  if constexpr (std::is_same_v<Number, NormalExtended>) {
    return x.RoundedToDouble();
  } else {
    return Number(Stored(x));
  }
}

/// Whether a subject s millimetres away lies beyond the hyperfocal distance,
/// h > 1 (h kept as a double), so far that the far limit s / (1 - h) is
/// negative for certain: not zero, which it could round to for a huge h or
/// a minute s. It is then none, and need not be computed.
template <typename Number>
VELMO_ALWAYS_INLINE inline bool FarLimitIsNone(Number h, double s) {
  if (!(s >= 1e-6)) return false;
  if constexpr (std::is_same_v<Number, NormalExtended>) {
    // On the fields: a marked h goes the long way whatever this says.
    constexpr int kOne = NormalExtended::kBias;
    const int exponent = h.BiasedExponent();
    return !h.Negative() &&
           (exponent > kOne || (exponent == kOne && h.Significand() != NormalExtended::kIntegerBit)) &&
           exponent < kOne + 996;  // below 2^996, which is below 1e300
  } else {
    const double stored = Stored(h);
    return stored > 1 && stored < 1e300;
  }
}

/// 1 + h and 1 - h, the denominators of the near and the far limit: on the
/// short path by steps that know the signs and which term is the larger.
template <typename Number>
VELMO_ALWAYS_INLINE inline Number NearDenominator(Number h) {
  if constexpr (std::is_same_v<Number, NormalExtended>) {
    return OnePlus(h);
  } else {
    return 1 + h;
  }
}
template <typename Number>
VELMO_ALWAYS_INLINE inline Number FarDenominator(Number h) {
  if constexpr (std::is_same_v<Number, NormalExtended>) {
    return OneMinus(h);
  } else {
    return 1 - h;
  }
}

/// The near limit of a subject s millimetres away, beyond the focal length,
/// in the user's unit: s / (1 + h).
template <typename Number>
VELMO_ALWAYS_INLINE inline double NearLimit(Number h, double s, DistanceUnit unit) {
  return InUnits(Kept(s / NearDenominator(h)), unit);
}

/// The far limit, s / (1 - h); beyond infinity it comes out negative.
template <typename Number>
VELMO_ALWAYS_INLINE inline double FarLimit(Number h, double s, DistanceUnit unit) {
  if (FarLimitIsNone(h, s)) return -1;
  return InUnits(Kept(s / FarDenominator(h)), unit);
}

// The terms and the cell, inline: a lone ComputeDofLimits would otherwise
// spend as much on calls and the structs between them as on the cell.

VELMO_ALWAYS_INLINE inline LensTerms TermsOfLens(const Lens& lens) {
  LensTerms terms{lens, {}, {}};
  if constexpr (Extended::kWorthKeeping) {
    terms.Blur = Quick(lens.Aperture) * Quick(lens.CoC);
    terms.FocalSquared = Quick(lens.Focal) * Quick(lens.Focal);
  }
  return terms;
}

/// Whether a subject s millimetres away is closer than the focal length,
/// where the lens forms no image of it: a cell without limits.
VELMO_ALWAYS_INLINE inline bool CloserThanFocal(double s, double focal) {
  return s < focal;
}

VELMO_ALWAYS_INLINE inline SubjectTerms TermsOfSubject(double distance, double focal, DistanceUnit unit) {
  SubjectTerms subject;
  if (IsUndefined(distance)) {
    subject.Infinite = true;
    return subject;
  }
  subject.Millimetres = InMillimetres(distance, unit);
  subject.WithinFocal = CloserThanFocal(subject.Millimetres, focal);
  if constexpr (Extended::kWorthKeeping) {
    subject.BeyondFocal = Quick(subject.Millimetres) - Quick(focal);
  }
  return subject;
}

}  // namespace

LensTerms LensTermsOf(const Lens& lens) {
  return TermsOfLens(lens);
}

SubjectTerms SubjectTermsOf(double distance, double focal, DistanceUnit unit) {
  return TermsOfSubject(distance, focal, unit);
}

namespace {

/// h = N c (s - f) / f^2, kept as a double: the subject's distance beyond
/// the focal length over the hyperfocal distance's, which gives both
/// limits. Computed in `Number` from the doubles.
template <typename Number>
VELMO_ALWAYS_INLINE inline Number HyperfocalRatio(const Lens& lens, double s) {
  const Number f = lens.Focal;
  return Kept(Number(lens.Aperture) * lens.CoC * (s - f) / (f * f));
}

/// The same on the short path, from the terms that the block and the row
/// keep, where they are kept.
VELMO_ALWAYS_INLINE inline Quick HyperfocalRatio(const LensTerms& lens, const SubjectTerms& subject) {
  if constexpr (Extended::kWorthKeeping) {
    return Kept(lens.Blur * subject.BeyondFocal / lens.FocalSquared);
  } else {
    return HyperfocalRatio<Quick>(lens.Values, subject.Millimetres);
  }
}

/// The limits of a cell beyond the focal length, from its h.
template <typename Number>
VELMO_ALWAYS_INLINE inline DofLimits LimitsOfRatio(Number h, double s, DistanceUnit unit) {
  return {NearLimit(h, s, unit), FarLimit(h, s, unit)};
}

/// The same from the doubles, computed in `Number`.
template <typename Number>
VELMO_ALWAYS_INLINE inline DofLimits LimitsBeyondFocal(const Lens& lens, double s, DistanceUnit unit) {
  return LimitsOfRatio(HyperfocalRatio<Number>(lens, s), s, unit);
}

/// The same in full, for the rare cell whose short path gave up: out of
/// line, so that the cells that keep to it carry none of its weight (and
/// not needed where the short path is the floating unit's own). Of the
/// doubles alone, so that no kept term need be put in memory for it.
[[maybe_unused]] VELMO_NEVER_INLINE DofLimits CellBeyondFocalInFull(const Lens& lens, double s,
                                                                    DistanceUnit unit) {
  return LimitsBeyondFocal<Extended>(lens, s, unit);
}

/// The limits of a cell as the short path gave them, made final: computed
/// again in full if the short path gave up, and a far limit beyond infinity
/// (1 - h negative) is none.
VELMO_ALWAYS_INLINE inline DofLimits Checked(DofLimits limits, const Lens& lens, double millimetres,
                                             DistanceUnit unit) {
  if constexpr (!std::is_same_v<Quick, Extended>) {
    if (std::isnan(limits.Near) || std::isnan(limits.Far))
      limits = CellBeyondFocalInFull(lens, millimetres, unit);
  }
  return {limits.Near, limits.Far < 0 ? Undefined : limits.Far};
}

/// The limits of a subject beyond the focal length, on the short path where
/// the type has one.
VELMO_ALWAYS_INLINE inline DofLimits CellLimitsBeyondFocal(const LensTerms& lens, const SubjectTerms& subject,
                                                           DistanceUnit unit) {
  const double s = subject.Millimetres;
  return Checked(LimitsOfRatio(HyperfocalRatio(lens, subject), s, unit), lens.Values, s, unit);
}

/// The same for a group of lenses, one step at a time for the whole group:
/// a cell is one long chain of dependent steps, and the processor can work
/// on the chains of many cells at once only if their steps come close
/// together in the program.
constexpr std::size_t kGroup = 16;
void GroupLimitsBeyondFocal(std::span<const LensTerms> lenses, const SubjectTerms& subject, DistanceUnit unit,
                            DofLimits* limits) {
  const double s = subject.Millimetres;
  Quick h[kGroup];
  for (std::size_t i = 0; i < lenses.size(); ++i) h[i] = HyperfocalRatio(lenses[i], subject);
  for (std::size_t i = 0; i < lenses.size(); ++i) limits[i].Near = NearLimit(h[i], s, unit);
  for (std::size_t i = 0; i < lenses.size(); ++i) limits[i].Far = FarLimit(h[i], s, unit);
  for (std::size_t i = 0; i < lenses.size(); ++i) limits[i] = Checked(limits[i], lenses[i].Values, s, unit);
}

VELMO_ALWAYS_INLINE inline DofLimits CellLimits(const LensTerms& lens, const SubjectTerms& subject,
                                                DistanceUnit unit) {
  if (subject.Infinite) {
    const Extended f = lens.Values.Focal;
    const Extended blur = Extended(lens.Values.Aperture) * lens.Values.CoC;
    // In metres the factor comes first, (M x f) x f / Nc, and the digits
    // of the metre tables depend on that order.
    const double near = unit == DistanceUnit::Foot ? InUnits(f * f / blur, unit)
                                                   : Stored(kMetresPerMillimetre * f * f / blur);
    return {near, Undefined};
  }
  if (subject.WithinFocal) return {Undefined, Undefined};
  return CellLimitsBeyondFocal(lens, subject, unit);
}

}  // namespace

DofLimits DofLimitsOf(const LensTerms& lens, const SubjectTerms& subject, DistanceUnit unit) {
  return CellLimits(lens, subject, unit);
}

void RowLimits(std::span<const LensTerms> lenses, const SubjectTerms& subject, DistanceUnit unit,
               DofLimits* limits) {
  if (subject.Infinite || subject.WithinFocal) {
    for (const LensTerms& lens : lenses) *limits++ = DofLimitsOf(lens, subject, unit);
    return;
  }
  // Nearly every cell of a table, with the row's terms at hand. On the
  // floating unit a cell is few instructions, and the processor overlaps
  // consecutive cells by itself; groups would only add the stores between
  // the steps.
  if constexpr (std::is_same_v<Quick, Extended>) {
    for (const LensTerms& lens : lenses) *limits++ = CellLimitsBeyondFocal(lens, subject, unit);
    return;
  }
  for (std::size_t start = 0; start < lenses.size(); start += kGroup)
    GroupLimitsBeyondFocal(lenses.subspan(start, std::min(kGroup, lenses.size() - start)), subject, unit,
                           limits + start);
}

DofLimits ComputeDofLimits(const Lens& lens, double distance, DistanceUnit unit) {
  // With the software type a lone cell is computed straight from the
  // doubles, to the same bits: the terms a row shares would only be built
  // and taken apart again. On the floating unit the terms hold nothing but
  // the doubles, and the general code is as fast.
  if constexpr (!std::is_same_v<Quick, Extended>) {
    if (!IsUndefined(distance)) {
      const double s = InMillimetres(distance, unit);
      if (CloserThanFocal(s, lens.Focal)) return {Undefined, Undefined};
      return Checked(LimitsBeyondFocal<Quick>(lens, s, unit), lens, s, unit);
    }
  }
  return CellLimits(TermsOfLens(lens), TermsOfSubject(distance, lens.Focal, unit), unit);
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
