// The software extended type against the x87 unit on many drawn operand
// pairs, every operation and conversion compared bit for bit, with the
// count and the rate. Exit status 1 on the first difference.
//   ./build/default/tests/extended_proof [pairs] [seed]   (ctest -L proof runs it)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "x87_oracle.h"

int main(int argc, char** argv) {
  const std::uint64_t pairs = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 6500000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  velmo::test::Draw draw(seed);
  std::uint64_t count = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::uint64_t i = 0; i < pairs; ++i) {
    velmo::SoftExtended a = draw.Operand();
    std::string mismatch = velmo::test::CompareWithX87(a, draw.Partner(a), count);
    if (!mismatch.empty()) {
      std::printf("difference after %llu operations: %s\n", static_cast<unsigned long long>(count),
                  mismatch.c_str());
      return 1;
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%llu operations on %llu operand pairs agree bit for bit with the x87 unit (%.1f s)\n",
              static_cast<unsigned long long>(count), static_cast<unsigned long long>(pairs), seconds);
  return 0;
}
