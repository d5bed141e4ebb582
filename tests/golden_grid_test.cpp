// A golden grid shared by every build: settings numbers read from text,
// the stored near and far limits and hyperfocal distances, and the texts
// of their cells, over some 350,000 cells, folded into one digest kept
// here. A build whose arithmetic drifts by one bit anywhere fails at once.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/format_cell.h"
#include "numtext/format_compact.h"
#include "optics/dof_limits.h"
#include "settings/number_text.h"

namespace velmo {
namespace {

/// FNV-1a over every byte and every double's bits.
class Digest {
 public:
  void Add(std::string_view text) {
    for (char c : text) Byte(static_cast<unsigned char>(c));
    Byte(0);
  }
  void Add(double x) {
    auto bits = std::bit_cast<std::uint64_t>(x);
    for (int i = 0; i < 8; ++i, bits >>= 8) Byte(static_cast<unsigned char>(bits));
  }
  std::uint64_t Value() const { return hash_; }

 private:
  void Byte(unsigned char c) {
    hash_ ^= c;
    hash_ *= 0x100000001B3ull;
  }
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

/// Each text read as a settings file's list item and stored.
std::vector<double> Read(std::initializer_list<const char*> texts) {
  std::vector<double> values;
  for (const char* text : texts) values.push_back(StoreDouble(ParseNumber(text)));
  return values;
}

TEST(GoldenGrid, EveryBuildComputesTheSameBits) {
  const std::vector<double> cocs = Read({"0.005", "0.015", "0.02", "0.025", "0.03", "0.0333"});
  const std::vector<double> apertures =
      Read({"0.95", "1", "1.2", "1.4", "1.8", "2",  "2.8", "3.5", "4",    "4.5", "5.6", "6.3",
            "7.1",  "8", "9.5", "11",  "13",  "16", "19",  "22",  "22.6", "32",  "45",  "64"});
  const std::vector<double> focals =
      Read({"4.5", "6",   "8",   "10.5", "12",  "14",  "16",    "17.5", "20",   "24",
            "28",  "31",  "35",  "40",   "43",  "50",  "50.05", "55",   "58",   "70",
            "77",  "85",  "90",  "100",  "105", "120", "135",   "150",  "180",  "200",
            "210", "250", "300", "400",  "500", "600", "800",   "1000", "1200", "2.5E3"});
  const std::vector<double> distances =
      Read({"0.01", "0.02", "0.025", "0.03", "0.04", "0.05", "0.06",  "0.08", "0.1",  "0.12", "0.15", "0.2",
            "0.25", "0.3",  "0.35",  "0.4",  "0.45", "0.5",  "0.6",   "0.7",  "0.75", "0.8",  "0.9",  "1",
            "1.2",  "1.5",  "1.75",  "2",    "2.5",  "3",    "3.5",   "4",    "5",    "6",    "7",    "8",
            "9.95", "10",   "12",    "15",   "20",   "25",   "25.05", "30",   "40",   "50",   "60",   "75",
            "100",  "150",  "200",   "300",  "500",  "750",  "1000",  "2000", "5000", "1E4",  "2E4",  "?"});
  Digest digest;
  std::size_t cells = 0;
  for (double coc : cocs) {
    digest.Add(FormatCompact(coc, 5).View());
    for (double focal : focals) {
      for (double aperture : apertures) {
        const Lens lens{.CoC = coc, .Aperture = aperture, .Focal = focal};
        const double hyperfocal = HyperfocalDistance(lens);
        digest.Add(hyperfocal);
        digest.Add(FormatCell(kNoSign, Markup::Html, hyperfocal).View());
        for (double distance : distances) {
          const auto [near, far] = ComputeDofLimits(lens, distance);
          digest.Add(near);
          digest.Add(far);
          digest.Add(FormatCell(kNoSign, Markup::Text, near).View());
          digest.Add(FormatCell('+', Markup::Html, far).View());
          ++cells;
        }
      }
    }
  }
  EXPECT_EQ(cells, 345600u);
  EXPECT_EQ(digest.Value(), 0xC04287183D19579Dull) << std::hex << "digest 0x" << digest.Value();
}

}  // namespace
}  // namespace velmo
