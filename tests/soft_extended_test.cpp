// The software extended type on this build's compiler and processor: the
// results of many drawn operations, folded into a digest taken where the
// x87 unit proved every one of them (x87_reference_test.cpp). An arm64
// build that computed one bit differently would fail here.
#include "numtext/soft_extended.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "extended_draw.h"

namespace velmo {
namespace {

class Digest {
 public:
  void Add(std::uint64_t bits) {
    for (int i = 0; i < 8; ++i, bits >>= 8) {
      hash_ ^= bits & 0xFF;
      hash_ *= 0x100000001B3ull;
    }
  }
  void Add(SoftExtended x) {
    Add(x.Significand());
    Add((x.Negative() ? 0x8000u : 0u) | x.BiasedExponent());
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

TEST(SoftExtended, GivesTheResultsTheX87UnitGaveOnEveryBuild) {
  test::Draw draw(20070225);
  Digest digest;
  for (int i = 0; i < 200000; ++i) {
    const SoftExtended a = draw.Operand();
    const SoftExtended b = draw.Partner(a);
    for (SoftExtended result : {a + b, a - b, a * b, a / b, -a}) digest.Add(result);
    digest.Add((a == b) | (a < b) << 1 | (a <= b) << 2 | (a > b) << 3 | (a >= b) << 4 | (a != b) << 5);
    const auto stored = static_cast<double>(a);
    digest.Add(std::bit_cast<std::uint64_t>(stored));
    digest.Add(SoftExtended(test::AnyDouble(a, b)));
    digest.Add(SoftExtended(static_cast<unsigned long long>(test::AnyInteger(b))));
    digest.Add(SoftExtended(static_cast<long long>(test::AnyInteger(b))));
  }
  EXPECT_EQ(digest.Value(), 0xF7DA4AE90353B6A8ull) << std::hex << "digest 0x" << digest.Value();
}

}  // namespace
}  // namespace velmo
