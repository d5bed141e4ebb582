// The software extended type against the x87 unit: two operands taken from
// the input's first twenty bytes, then a run of drawn pairs seeded by the
// rest; any difference in any bit aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x87_oracle.h"

namespace {

void Expect(const std::string& mismatch) {
  if (mismatch.empty()) return;
  std::fprintf(stderr, "%s\n", mismatch.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 20) return 0;
  std::uint64_t count = 0;
  velmo::SoftExtended a = velmo::test::FromBytes(data);
  velmo::SoftExtended b = velmo::test::FromBytes(data + 10);
  Expect(velmo::test::CompareWithX87(a, b, count));
  Expect(velmo::test::CompareWithX87(b, a, count));
  std::uint64_t seed = 0;
  std::memcpy(&seed, data, 8);
  for (std::size_t i = 20; i < size; ++i) seed = seed * 131 + data[i];
  velmo::test::Draw draw(seed);
  for (int i = 0; i < 64; ++i) {
    velmo::SoftExtended x = draw.Operand();
    Expect(velmo::test::CompareWithX87(x, draw.Partner(x), count));
  }
  return 0;
}
