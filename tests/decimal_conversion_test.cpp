// The decimal conversions against MPFR held to the extended format (a
// 64-bit significand and the extended exponent range, denormals included),
// and, where long double is that format, against the C library as well.
#include "numtext/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <mpfr.h>

#include "extended_draw.h"
#include "extended_support.h"
#include "numtext/bit_cast.h"
#include "numtext/digits.h"
#include "numtext/undefined.h"
#if LDBL_MANT_DIG == 64
#include "x87_oracle.h"
#endif

namespace velmo {
namespace {

/// An MPFR number, freed when it goes.
class Big {
 public:
  explicit Big(mpfr_prec_t precision) { mpfr_init2(value_, precision); }
  ~Big() { mpfr_clear(value_); }
  Big(const Big&) = delete;
  Big& operator=(const Big&) = delete;
  mpfr_ptr get() { return value_; }

 private:
  mpfr_t value_;
};

/// MPFR's exponent range set to the extended format's for one scope: a
/// normal x = 0.1b... x 2^e with e up to 16384, denormals down to 2^-16445.
class ExtendedRange {
 public:
  ExtendedRange() : emin_(mpfr_get_emin()), emax_(mpfr_get_emax()) {
    mpfr_set_emin(-16444);
    mpfr_set_emax(16384);
  }
  ~ExtendedRange() {
    mpfr_set_emin(emin_);
    mpfr_set_emax(emax_);
  }

 private:
  mpfr_exp_t emin_, emax_;
};

/// `text` read by MPFR, rounded to the extended format; false on overflow.
bool MpfrRead(const std::string& text, Extended& value) {
  ExtendedRange range;
  Big x(64);
  int inexact = mpfr_strtofr(x.get(), text.c_str(), nullptr, 10, MPFR_RNDN);
  inexact = mpfr_check_range(x.get(), inexact, MPFR_RNDN);
  mpfr_subnormalize(x.get(), inexact, MPFR_RNDN);
  if (mpfr_inf_p(x.get())) return false;
  const bool negative = mpfr_signbit(x.get()) != 0;
  if (mpfr_zero_p(x.get())) {
    value = test::Fields(negative, 0, 0);
    return true;
  }
  // The significand as a 64-bit integer, and the exponent of its top bit.
  const mpfr_exp_t e = mpfr_get_exp(x.get());
  Big scaled(64);
  mpfr_mul_2si(scaled.get(), x.get(), 64 - e, MPFR_RNDN);
  mpfr_abs(scaled.get(), scaled.get(), MPFR_RNDN);
  std::uint64_t significand = mpfr_get_uj(scaled.get(), MPFR_RNDN);
  long biased = e - 1 + SoftExtended::kBias;
  if (biased <= 0) {
    significand >>= 1 - biased;
    biased = 0;
  }
  value = test::Fields(negative, static_cast<std::uint16_t>(biased), significand);
  return true;
}

/// `x` (finite, nonzero) exactly, as MPFR holds it.
void MpfrSet(mpfr_ptr out, Extended x) {
  const int biased = x.BiasedExponent() == 0 ? 1 : x.BiasedExponent();
  mpfr_set_uj(out, x.Significand(), MPFR_RNDN);
  mpfr_mul_2si(out, out, biased - SoftExtended::kBias - 63, MPFR_RNDN);
  if (x.Negative()) mpfr_neg(out, out, MPFR_RNDN);
}

/// Random texts, many of them within a unit of the last place of a
/// midpoint between two neighbouring extended values.
std::string DrawText(test::Draw& draw) {
  const char* sign = draw.Below(4) == 0 ? "-" : "";
  if (draw.Below(3) == 0) {
    // As settings files write numbers: up to 19 digits and a power of ten
    // within 10^20 either way, round the one-rounding way's bounds.
    std::string digits = std::to_string(draw.Next() >> 1) + std::to_string(draw.Next());
    digits.resize(1 + draw.Below(21));
    return sign + digits + "E" + std::to_string(static_cast<long>(draw.Below(41)) - 20);
  }
  if (draw.Below(3) == 0) {
    // Any digits, any exponent within reach of the range.
    std::string digits = std::to_string(draw.Next()) + std::to_string(draw.Next());
    digits.resize(1 + draw.Below(digits.size()));
    const long exponent = static_cast<long>(draw.Below(9900)) - 4970;
    return sign + digits + "E" + std::to_string(exponent);
  }
  // The midpoint above a drawn value, written with 17 to 40 digits and
  // nudged by one unit in the last of them.
  Extended x = test::FromSoft(draw.Operand());
  if (IsUndefined(x) || x.Significand() == 0) x = 1;
  Big midpoint(67);
  MpfrSet(midpoint.get(), Abs(x));
  Big half(67);
  const int biased = x.BiasedExponent() == 0 ? 1 : x.BiasedExponent();
  mpfr_set_ui_2exp(half.get(), 1, biased - SoftExtended::kBias - 64, MPFR_RNDN);
  mpfr_add(midpoint.get(), midpoint.get(), half.get(), MPFR_RNDN);
  const auto count = static_cast<std::size_t>(17 + draw.Below(24));
  static const mpfr_rnd_t kModes[] = {MPFR_RNDN, MPFR_RNDD, MPFR_RNDU};
  mpfr_exp_t exponent;
  char* text = mpfr_get_str(nullptr, &exponent, 10, count, midpoint.get(), kModes[draw.Below(3)]);
  std::string digits(text);
  mpfr_free_str(text);
  const auto nudge = draw.Below(3);
  if (nudge == 1 && digits.back() < '9') ++digits.back();
  if (nudge == 2 && digits.back() > '0') --digits.back();
  return sign + ("0." + digits) + "E" + std::to_string(exponent);
}

/// The digits and exponent of a text such as "-0.123E45", for the converter.
bool ReadOurs(const std::string& text, Extended& value) {
  const bool negative = text[0] == '-';
  std::string body = text.substr(negative ? 1 : 0);
  const std::size_t e = body.find('E');
  long exponent = std::strtol(body.c_str() + e + 1, nullptr, 10);
  std::string digits = body.substr(0, e);
  if (digits.rfind("0.", 0) == 0) {
    digits.erase(0, 2);
    exponent -= static_cast<long>(digits.size());
  }
  return ExtendedFromDecimal(digits, exponent, negative, value);
}

TEST(ExtendedFromDecimal, IsCorrectlyRoundedLikeMpfr) {
  test::Draw draw(1);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = DrawText(draw);
    Extended ours = 7;
    Extended reference = 7;
    const bool oursAccepted = ReadOurs(text, ours);
    ASSERT_EQ(oursAccepted, MpfrRead(text, reference)) << text;
    if (oursAccepted) {
      ASSERT_TRUE(test::SameBits(ours, reference)) << text;
    }
#if LDBL_MANT_DIG == 64
    // The C library agrees, and overflows where we refuse.
    long double library = std::strtold(text.c_str(), nullptr);
    if (oursAccepted) {
      ASSERT_TRUE(test::SameBits(ours, test::FromSoft(test::FromNative(library)))) << text;
    } else {
      ASSERT_TRUE(library > LDBL_MAX || library < -LDBL_MAX) << text;
    }
#endif
  }
}

TEST(ExactEighteenDigits, AreMpfrsNearestEighteenDigits) {
  test::Draw draw(2);
  for (int i = 0; i < 20000; ++i) {
    Extended x = Abs(test::FromSoft(draw.Operand()));
    if (IsUndefined(x) || x == 0) continue;
    Big exact(64);
    MpfrSet(exact.get(), x);
    mpfr_exp_t exponent;
    char* text = mpfr_get_str(nullptr, &exponent, 10, 18, exact.get(), MPFR_RNDN);
    EighteenDigitInteger ours = ExactEighteenDigits(x);
    ASSERT_EQ(std::to_string(ours.Significand), text);
    ASSERT_EQ(ours.Exponent, exponent) << text;
    mpfr_free_str(text);
#if LDBL_MANT_DIG == 64
    // glibc's printf, a second and independent opinion.
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.17Le", test::NativeOf(x));
    ASSERT_EQ(std::to_string(ours.Significand), std::string(1, printed[0]) + std::string(printed + 2, 17));
#endif
  }
}

TEST(EighteenDigits, AgreeWithMpfrForDoublesOfEveryRange) {
  // Table doubles go the integer path; the rest go the exact one.
  test::Draw draw(3);
  for (int i = 0; i < 20000; ++i) {
    double x = i % 2 == 0 ? BitCast<double>(draw.Next() >> 1)
                          : std::ldexp(static_cast<double>(draw.Next() >> 11),
                                       static_cast<int>(draw.Below(94)) - 86);
    if (IsUndefined(x) || x == 0) continue;
    Big exact(64);
    mpfr_set_d(exact.get(), x, MPFR_RNDN);
    mpfr_exp_t exponent;
    char* text = mpfr_get_str(nullptr, &exponent, 10, 18, exact.get(), MPFR_RNDN);
    DecimalDigits ours = EighteenDigits(x);
    ASSERT_EQ(std::to_string(ours.Significand), text) << x;
    ASSERT_EQ(ours.Exponent, exponent) << x;
    mpfr_free_str(text);
  }
}

TEST(ScaledToInteger, RoundsTheScaledValueToEven) {
  test::Draw draw(4);
  for (int i = 0; i < 20000; ++i) {
    // Values below 1 to 17 places, as fixed text shows them, ties among them.
    const std::uint64_t places = draw.Below(100000000000000000ull);
    Extended x =
        i % 2 == 0 ? Extended(places) / Extended(100000000000000000ull)
                   : test::Fields(false, static_cast<std::uint16_t>(SoftExtended::kBias - 1 - draw.Below(70)),
                                  draw.Significand());
    Big scaled(200);
    MpfrSet(scaled.get(), x);
    mpfr_mul_ui(scaled.get(), scaled.get(), 100000000000000000ull, MPFR_RNDN);
    mpfr_rint(scaled.get(), scaled.get(), MPFR_RNDN);
    ASSERT_EQ(ScaledToInteger(x, 17), mpfr_get_uj(scaled.get(), MPFR_RNDN));
  }
}

}  // namespace
}  // namespace velmo
