// The software extended type on this build's compiler and processor: the
// results of many drawn operations, folded into digests taken where the
// x87 unit proved every one of them (x87_reference_test.cpp). An arm64
// build that computed one bit differently would fail here.
#include "numtext/soft_extended.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "extended_draw.h"
#include "numtext/bit_cast.h"
#include "test_support.h"

namespace velmo {
namespace {

/// A value's bits into the digest: significand, then sign and exponent.
void Add(test::Digest& digest, SoftExtended x) {
  digest.Add(x.Significand());
  digest.Add(std::uint64_t{(x.Negative() ? 0x8000u : 0u) | x.BiasedExponent()});
}

// Taken on the x87 build, one for every 10,000 draws.
constexpr std::uint64_t kChunkDigests[] = {
    0x4C35FB244A84D147ull, 0x0D810F1035688CC1ull, 0xA0DB167C82F34A0Bull, 0x30CB4448F3D8AD72ull,
    0x33F24D5A2EFA4B93ull, 0xE3A4855E3E9853E8ull, 0xE707DDE83FFE4A08ull, 0x4DA5DD63A7C95F63ull,
    0xCDDEFDE56A73AE83ull, 0xCB86D5FF1B09CFBAull, 0x11DBAC89C38446F5ull, 0x0B9C5C0387C14567ull,
    0x20732DF9FB08593Cull, 0x0E79265550366368ull, 0x154565AED5F9896Bull, 0x21D282F44E2977C9ull,
    0xBD695C0BF300BBC9ull, 0x0B741DFD2A179676ull, 0x99BB231F2F10E7D1ull, 0x91E709EDFDFB0A71ull,
};

TEST(SoftExtended, GivesTheResultsTheX87UnitGaveOnEveryBuild) {
  constexpr int kChunk = 10000;
  test::Draw draw(20070225);
  std::vector<std::uint64_t> chunks;
  test::Digest digest;
  for (int i = 0; i < 200000; ++i) {
    const SoftExtended a = draw.Operand();
    const SoftExtended b = draw.Partner(a);
    for (SoftExtended result : {a + b, a - b, a * b, a / b, -a}) Add(digest, result);
    digest.Add(static_cast<std::uint64_t>((a == b) | (a < b) << 1 | (a <= b) << 2 | (a > b) << 3 |
                                          (a >= b) << 4 | (a != b) << 5));
    const auto stored = static_cast<double>(a);
    digest.Add(BitCast<std::uint64_t>(stored));
    Add(digest, SoftExtended(test::AnyDouble(a, b)));
    Add(digest, SoftExtended(static_cast<unsigned long long>(test::AnyInteger(b))));
    Add(digest, SoftExtended(static_cast<long long>(test::AnyInteger(b))));
    if (i % kChunk == kChunk - 1) {
      chunks.push_back(digest.Value());
      digest = test::Digest();
    }
  }
  ASSERT_EQ(chunks.size(), std::size(kChunkDigests)) << "this build's digests:\n"
                                                     << test::ListedDigests(chunks);
  // On x86-64 the x87 reference test names the very operation; here the
  // first chunk that differs narrows it to 10,000 draws of this seed.
  const std::size_t i = test::FirstDifference(chunks, kChunkDigests);
  EXPECT_EQ(i, chunks.size()) << "the first draws that differ: " << i * kChunk << " to "
                              << (i + 1) * kChunk - 1 << "\nthis build's digests:\n"
                              << test::ListedDigests(chunks);
}

// The long division that arm64 uses for every quotient, checked here on
// every build against the compiler's 128-bit division: random operands and
// the corrections' edge cases (all-ones digits, a high half just below the
// divisor, the smallest and largest normalised divisors).
TEST(SoftExtended, LongDivisionOf128By64BitsGivesTheExactQuotientAndRemainder) {
  test::Draw draw(17);
  auto check = [](std::uint64_t high, std::uint64_t low, std::uint64_t divisor) {
    std::uint64_t rest = 0;
    const std::uint64_t quotient = LongDivideWide(high, low, divisor, rest);
    const UInt128 dividend = (static_cast<UInt128>(high) << 64) | low;
    ASSERT_EQ(quotient, static_cast<std::uint64_t>(dividend / divisor))
        << std::hex << high << ' ' << low << ' ' << divisor;
    ASSERT_EQ(rest, static_cast<std::uint64_t>(dividend % divisor))
        << std::hex << high << ' ' << low << ' ' << divisor;
  };
  const std::uint64_t edges[] = {SoftExtended::kIntegerBit, SoftExtended::kIntegerBit + 1, ~0ull, ~0ull - 1,
                                 0xFFFFFFFF00000000ull,     0x80000000FFFFFFFFull};
  for (std::uint64_t divisor : edges) {
    const std::uint64_t highs[] = {0, 1, divisor - 1, divisor >> 1, divisor & 0xFFFFFFFF00000000ull};
    for (std::uint64_t high : highs) {
      if (high >= divisor) continue;
      for (std::uint64_t low : {0ull, ~0ull, 0xFFFFFFFFull, 0xFFFFFFFF00000000ull}) check(high, low, divisor);
    }
  }
  for (int i = 0; i < 1000000; ++i) {
    const std::uint64_t divisor = draw.Significand();
    check(draw.Significand() % divisor, draw.Next(), divisor);
  }
}

}  // namespace
}  // namespace velmo
