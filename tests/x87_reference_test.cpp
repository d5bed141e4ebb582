// The software extended type against the x87 unit, bit for bit.
#include <gtest/gtest.h>

#include "x87_oracle.h"

namespace velmo::test {
namespace {

TEST(SoftExtended, AgreesWithTheX87UnitBitForBit) {
  Draw draw(20070225);
  std::uint64_t count = 0;
  for (int i = 0; i < 400000; ++i) {
    SoftExtended a = draw.Operand();
    SoftExtended b = draw.Partner(a);
    std::string mismatch = CompareWithX87(a, b, count);
    ASSERT_TRUE(mismatch.empty()) << mismatch;
  }
  EXPECT_EQ(count, 16u * 400000u);
}

TEST(SoftExtended, PassesOnTheNaNsAsTheX87UnitDoes) {
  // Quiet before signalling, then the larger significand, then the
  // positive sign; an invalid operation gives the negative indefinite NaN.
  const std::uint64_t quiet = 0xC000000000000000ull;
  const SoftExtended cases[][2] = {
      {SoftExtended::FromFields(false, 0x7FFF, quiet | 1), SoftExtended::FromFields(true, 0x7FFF, quiet | 2)},
      {SoftExtended::FromFields(false, 0x7FFF, quiet | 1), SoftExtended::FromFields(true, 0x7FFF, quiet | 1)},
      {SoftExtended::FromFields(false, 0x7FFF, 0x8000000000000005ull),
       SoftExtended::FromFields(true, 0x7FFF, quiet | 5)},
      {SoftExtended::FromFields(false, 0x7FFF, 0x8000000000000005ull), SoftExtended(1)},
      {SoftExtended::FromFields(false, 0x7FFF, 1ull << 63),
       SoftExtended::FromFields(true, 0x7FFF, 1ull << 63)},
      {SoftExtended(0.0), SoftExtended::FromFields(false, 0x7FFF, 1ull << 63)},
  };
  std::uint64_t count = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(CompareWithX87(c[0], c[1], count), "");
    EXPECT_EQ(CompareWithX87(c[1], c[0], count), "");
  }
}

}  // namespace
}  // namespace velmo::test
