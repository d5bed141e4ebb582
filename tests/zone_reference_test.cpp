// Every cell of a grid of zones against the formula worked out exactly, in
// rational numbers (GMP), apart from the code under test: the focus's text
// must be the exact focus written with the table's rounding, the f-number's
// text the exact f-number rounded up to the table's three digits.
#include <gmp.h>
#include <gtest/gtest.h>
#include <mpfr.h>

#include <string>

#include "numtext/format_cell.h"
#include "numtext/round_up.h"
#include "numtext/undefined.h"
#include "optics/zone_focus.h"

namespace velmo {
namespace {

/// A rational number that frees itself.
class Rational {
 public:
  Rational() { mpq_init(q_); }
  /// A decimal as written ("0.3"), exactly.
  explicit Rational(const char* decimal) : Rational() {
    const std::string text(decimal);
    const std::size_t point = text.find('.');
    std::string digits = text, denominator = "1";
    if (point != std::string::npos) {
      digits.erase(point, 1);
      denominator += std::string(text.size() - point - 1, '0');
    }
    mpq_set_str(q_, (digits + "/" + denominator).c_str(), 10);
    mpq_canonicalize(q_);
  }
  Rational(const Rational& other) : Rational() { mpq_set(q_, other.q_); }
  Rational& operator=(const Rational& other) {
    mpq_set(q_, other.q_);
    return *this;
  }
  ~Rational() { mpq_clear(q_); }

  friend Rational operator+(const Rational& a, const Rational& b) { return Apply(mpq_add, a, b); }
  friend Rational operator-(const Rational& a, const Rational& b) { return Apply(mpq_sub, a, b); }
  friend Rational operator*(const Rational& a, const Rational& b) { return Apply(mpq_mul, a, b); }
  friend Rational operator/(const Rational& a, const Rational& b) { return Apply(mpq_div, a, b); }
  friend bool operator<(const Rational& a, const Rational& b) { return mpq_cmp(a.q_, b.q_) < 0; }

  /// The double nearest.
  double Nearest() const {
    mpfr_t x;
    mpfr_init2(x, 53);
    mpfr_set_q(x, q_, MPFR_RNDN);
    const double d = mpfr_get_d(x, MPFR_RNDN);
    mpfr_clear(x);
    return d;
  }

  /// The least decimal of three significant digits not below this
  /// (positive) number, as the double nearest it.
  double UpToThreeDigits() const {
    Rational scale("1");
    const Rational ten("10"), tenth("0.1"), hundred("100"), thousand("1000");
    while (*this / scale < hundred) scale = scale * tenth;
    while (!(*this / scale < thousand)) scale = scale * ten;
    Rational k = *this / scale;
    mpz_t up;
    mpz_init(up);
    mpz_cdiv_q(up, mpq_numref(k.q_), mpq_denref(k.q_));
    mpq_set_z(k.q_, up);
    mpz_clear(up);
    return (k * scale).Nearest();
  }

 private:
  template <typename Operation>
  static Rational Apply(Operation operation, const Rational& a, const Rational& b) {
    Rational result;
    operation(result.q_, a.q_, b.q_);
    return result;
  }

  mpq_t q_;
};

std::string Text(double x) {
  return std::string(FormatCell(kNoSign, Markup::Text, x).View());
}

TEST(ZoneFocus, EveryCellOfAGridIsTheExactZoneInTheTablesDigits) {
  // The settings as a user writes them: the exact zone is the one of these
  // decimals, the program's of the doubles nearest them.
  const char* focals[] = {"14", "21", "28", "35", "50", "85", "135", "200", "300", "400", "600"};
  const char* cocs[] = {"0.005", "0.01", "0.015", "0.02", "0.03", "0.05", "0.1"};
  const char* distances[] = {"0.3", "0.5", "0.7", "1",  "1.5", "2",   "3",   "5",    "7", "10",
                             "15",  "20",  "30",  "50", "100", "200", "500", "1000", "N"};
  const auto value = [](const char* decimal) { return decimal[0] == 'N' ? Undefined : std::stod(decimal); };
  int cells = 0, zones = 0;
  for (const DistanceUnit unit : {DistanceUnit::Metre, DistanceUnit::Foot}) {
    const Rational millimetres = unit == DistanceUnit::Foot ? Rational("304.8") : Rational("1000");
    for (const char* focal : focals) {
      const Rational f(focal);
      for (const char* coc : cocs) {
        const Rational c(coc);
        for (const char* near : distances) {
          if (near[0] == 'N') continue;
          const Rational n = Rational(near) * millimetres;
          for (const char* far : distances) {
            if (far[0] != 'N' && !(value(near) < value(far))) continue;
            ++cells;
            const ZoneFocus zone = ComputeZoneFocus(value(focal), value(coc), value(near), value(far), unit);
            // The exact zone, where one exists: its focus beyond the focal
            // length.
            Rational s, fNumber;
            const Rational two("2");
            const Rational d = far[0] == 'N' ? Rational("0") : Rational(far) * millimetres;
            s = far[0] == 'N' ? two * n : two * n * d / (n + d);
            const std::string where = std::string(focal) + " mm, c " + coc + ", " + near + " to " + far +
                                      (unit == DistanceUnit::Foot ? " ft" : " m");
            if (!(f < s)) {
              EXPECT_TRUE(IsUndefined(zone.Focus) && IsUndefined(zone.FNumber)) << where;
              continue;
            }
            fNumber = far[0] == 'N' ? f * f / (c * (two * n - f))
                                    : f * f * (d - n) / (c * (two * n * d - f * (n + d)));
            ++zones;
            EXPECT_EQ(Text(zone.Focus), Text((s / millimetres).Nearest())) << where;
            EXPECT_EQ(Text(RoundUpComputed(zone.FNumber, 3)), Text(fNumber.UpToThreeDigits())) << where;
          }
        }
      }
    }
  }
  EXPECT_GT(zones, cells * 9 / 10);
}

}  // namespace
}  // namespace velmo
