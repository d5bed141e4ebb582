// The software extended type against the x87 unit, bit for bit.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(NormalExtended, ItsStepsGiveTheX87UnitsBitsOrAStoredNaN) {
  // The steps of the cells' short path: where a step keeps to it, its
  // fields are the x87 unit's result; where it gives up, the double it is
  // stored as is a NaN, which sends the cell to be computed in full.
  Draw draw(19700101);
  std::uint64_t agreed = 0, gaveUp = 0;
  for (int i = 0; i < 200000; ++i) {
    const SoftExtended a = draw.Operand(), b = draw.Partner(a);
    const volatile long double x = Native(a), y = Native(b);
    const auto p = static_cast<NormalExtended>(a), q = static_cast<NormalExtended>(b);
    const struct {
      const char* name;
      NormalExtended quick;
      long double hard;
    } steps[] = {
        {"+", p + q, x + y},
        {"-", p - q, x - y},
        {"*", p * q, x * y},
        {"/", p / q, x / y},
        {"OnePlus", OnePlus(p), 1 + x},
        {"OneMinus", OneMinus(p), 1 - x},
        {"RoundedToDouble", RoundedToDouble(p), static_cast<long double>(static_cast<double>(x))},
    };
    for (const auto& step : steps) {
      if (!step.quick.OnShortPath()) {
        ++gaveUp;
        ASSERT_TRUE(std::isnan(static_cast<double>(step.quick)))
            << step.name << " of " << Show(a) << ", " << Show(b);
        continue;
      }
      ++agreed;
      const SoftExtended hard = FromNative(step.hard);
      ASSERT_TRUE(step.quick.Negative() == hard.Negative() &&
                  step.quick.BiasedExponent() == hard.BiasedExponent() &&
                  step.quick.Significand() == hard.Significand())
          << step.name << " of " << Show(a) << ", " << Show(b) << ": x87 " << Show(hard);
    }
    if (p.OnShortPath()) {
      ASSERT_EQ(AboveOne(p), x > 1 && x < 0x1p996L) << Show(a);
    }
  }
  // Both kinds are met many times over.
  EXPECT_GT(agreed, 500000u);
  EXPECT_GT(gaveUp, 50000u);
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
