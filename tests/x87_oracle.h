// The x87 unit as the judge of the software extended type: every operation
// done both ways on drawn operands, and the results compared bit for bit.
// Shared by the unit test, the fuzz target and the proof
// (tests/extended_proof.cpp); only where long double is the x87 format.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "extended_draw.h"
#include "numtext/extended.h"
#include "numtext/soft_extended.h"

static_assert(LDBL_MANT_DIG == 64, "the x87 unit is the reference");

namespace velmo::test {

inline long double Native(SoftExtended x) {
  long double value = 0;
  std::uint64_t significand = x.Significand();
  auto signExponent = static_cast<std::uint16_t>((x.Negative() ? 0x8000 : 0) | x.BiasedExponent());
  std::memcpy(&value, &significand, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&value) + 8, &signExponent, 2);
  return value;
}

/// This build's extended value as the x87 unit holds it.
inline long double NativeOf(Extended x) {
  return Native(SoftExtended::FromFields(x.Negative(), x.BiasedExponent(), x.Significand()));
}

inline SoftExtended FromNative(long double x) {
  std::uint64_t significand;
  std::uint16_t signExponent;
  std::memcpy(&significand, &x, 8);
  std::memcpy(&signExponent, reinterpret_cast<const unsigned char*>(&x) + 8, 2);
  return SoftExtended::FromFields((signExponent >> 15) != 0, signExponent & 0x7FFF, significand);
}

inline std::string Show(SoftExtended x) {
  std::ostringstream out;
  out << (x.Negative() ? '-' : '+') << std::hex << std::uppercase << x.BiasedExponent() << ':'
      << x.Significand();
  return out.str();
}

/// Every operation on `a` and `b`, done by the software type and by the
/// x87 unit; empty when all agree bit for bit, else what differed. Counts
/// the operations done in `count`.
inline std::string CompareWithX87(SoftExtended a, SoftExtended b, std::uint64_t& count) {
  // volatile: the x87 unit must do every operation at run time.
  volatile long double x = Native(a);
  volatile long double y = Native(b);
  auto same = [](SoftExtended soft, long double hard) {
    SoftExtended h = FromNative(hard);
    return h.Negative() == soft.Negative() && h.BiasedExponent() == soft.BiasedExponent() &&
           h.Significand() == soft.Significand();
  };
  std::string what;
  auto check = [&](const char* name, SoftExtended soft, long double hard) {
    ++count;
    if (!same(soft, hard))
      what += std::string(name) + " gave " + Show(soft) + ", x87 " + Show(FromNative(hard)) + "; ";
  };
  check("+", a + b, x + y);
  check("-", a - b, x - y);
  check("*", a * b, x * y);
  check("/", a / b, x / y);
  check("negate", -a, -x);
  auto compare = [&](const char* name, bool soft, bool hard) {
    ++count;
    if (soft != hard) what += std::string(name) + " differs; ";
  };
  compare("==", a == b, x == y);
  compare("!=", a != b, x != y);
  compare("<", a < b, x < y);
  compare("<=", a <= b, x <= y);
  compare(">", a > b, x > y);
  compare(">=", a >= b, x >= y);
  // Rounding to double, and the double back to the extended format.
  double softDouble = static_cast<double>(a);
  volatile double hardDouble = static_cast<double>(x);
  ++count;
  if (std::memcmp(&softDouble, const_cast<double*>(&hardDouble), sizeof softDouble) != 0)
    what += "to double; ";
  check("from double", SoftExtended(softDouble), static_cast<long double>(hardDouble));
  // Any double at all, signalling NaNs and denormals among them.
  volatile double hardAny = AnyDouble(a, b);
  const double anyDouble = hardAny;
  check("any double", SoftExtended(anyDouble), static_cast<long double>(hardAny));
  // Integers from the significand's bits.
  const std::uint64_t bits = AnyInteger(b);
  check("from unsigned", SoftExtended(static_cast<unsigned long long>(bits)),
        static_cast<long double>(static_cast<unsigned long long>(bits)));
  check("from signed", SoftExtended(static_cast<long long>(bits)),
        static_cast<long double>(static_cast<long long>(bits)));
  if (!what.empty()) what = "a = " + Show(a) + ", b = " + Show(b) + ": " + what;
  return what;
}

}  // namespace velmo::test
