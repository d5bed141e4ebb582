// The 80-bit extended format as the x87 unit computes it: where long double
// is that format, the fastest way to the same bytes.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

namespace velmo {

static_assert(LDBL_MANT_DIG == 64, "the hardware extended type needs the x87 long double");

/// The same interface as SoftExtended, each operation one instruction of
/// the floating unit.
class HardExtended {
 public:
  /// The type of a formula's short path: the floating unit's own, which
  /// has no longer path.
  using ShortPath = HardExtended;

  constexpr HardExtended() = default;
  constexpr HardExtended(double x) : value_(x) {}  // NOLINT: exact, as for long double
  constexpr HardExtended(int x) : value_(x) {}     // NOLINT
  constexpr HardExtended(long x) : value_(static_cast<long double>(x)) {}                // NOLINT
  constexpr HardExtended(long long x) : value_(static_cast<long double>(x)) {}           // NOLINT
  constexpr HardExtended(unsigned x) : value_(x) {}                                      // NOLINT
  constexpr HardExtended(unsigned long x) : value_(static_cast<long double>(x)) {}       // NOLINT
  constexpr HardExtended(unsigned long long x) : value_(static_cast<long double>(x)) {}  // NOLINT

  static HardExtended FromFields(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    // The x87 layout in memory: significand, then sign and exponent.
    unsigned char bytes[sizeof(long double)] = {};
    auto signExponent = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signExponent, 2);
    HardExtended x;
    std::memcpy(&x.value_, bytes, 10);
    return x;
  }

  bool Negative() const { return SignExponent() >> 15 != 0; }
  std::uint16_t BiasedExponent() const { return SignExponent() & 0x7FFF; }
  std::uint64_t Significand() const {
    std::uint64_t significand;
    std::memcpy(&significand, &value_, 8);
    return significand;
  }

  constexpr explicit operator double() const { return static_cast<double>(value_); }

  /// True for every infinity and NaN. Tested by comparison: a value whose
  /// exponent bits are all set is one of those, and only those fail to
  /// compare within the finite range (reading the bits back from memory
  /// would stall the floating unit on every table cell).
  constexpr bool AllExponentBitsSet() const { return !(value_ <= LDBL_MAX && value_ >= -LDBL_MAX); }

  /// `x`, hidden from the compiler: arithmetic on it is done at run time by
  /// the floating unit, in whatever precision it is set to.
  static HardExtended Opaque(HardExtended x) {
    volatile long double hidden = x.value_;
    return Of(hidden);
  }

  constexpr HardExtended operator-() const { return Of(-value_); }
  friend constexpr HardExtended operator+(HardExtended a, HardExtended b) { return Of(a.value_ + b.value_); }
  friend constexpr HardExtended operator-(HardExtended a, HardExtended b) { return Of(a.value_ - b.value_); }
  friend constexpr HardExtended operator*(HardExtended a, HardExtended b) { return Of(a.value_ * b.value_); }
  friend constexpr HardExtended operator/(HardExtended a, HardExtended b) { return Of(a.value_ / b.value_); }
  constexpr HardExtended& operator+=(HardExtended b) { return *this = *this + b; }
  constexpr HardExtended& operator-=(HardExtended b) { return *this = *this - b; }
  constexpr HardExtended& operator*=(HardExtended b) { return *this = *this * b; }
  constexpr HardExtended& operator/=(HardExtended b) { return *this = *this / b; }

  friend constexpr bool operator==(HardExtended a, HardExtended b) { return a.value_ == b.value_; }
  friend constexpr bool operator!=(HardExtended a, HardExtended b) { return a.value_ != b.value_; }
  friend constexpr bool operator<(HardExtended a, HardExtended b) { return a.value_ < b.value_; }
  friend constexpr bool operator>(HardExtended a, HardExtended b) { return a.value_ > b.value_; }
  friend constexpr bool operator<=(HardExtended a, HardExtended b) { return a.value_ <= b.value_; }
  friend constexpr bool operator>=(HardExtended a, HardExtended b) { return a.value_ >= b.value_; }

 private:
  static constexpr HardExtended Of(long double x) {
    HardExtended result;
    result.value_ = x;
    return result;
  }

  std::uint16_t SignExponent() const {
    std::uint16_t signExponent;
    std::memcpy(&signExponent, reinterpret_cast<const unsigned char*>(&value_) + 8, 2);
    return signExponent;
  }

  long double value_ = 0;
};

}  // namespace velmo
