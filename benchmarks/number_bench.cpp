// The per-cell work of a table: the optics and the number texts.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "numtext/format_cell.h"
#include "numtext/undefined.h"
#include "numtext/write_real.h"
#include "optics/dof_limits.h"
#include "platform/byte_stream.h"

namespace {

/// `x` to `digits` significant digits, as printf's %g writes it.
double RoundedTo(int digits, double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*g", digits, x);
  return std::strtod(text, nullptr);
}

std::vector<double> Distances() {
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> metres(0.3, 2000);
  std::vector<double> values(4096);
  for (double& v : values) v = metres(random);
  return values;
}

void BM_ComputeDofLimits(benchmark::State& state) {
  std::vector<double> distances = Distances();
  std::size_t i = 0;
  for (auto _ : state) {
    const velmo::DofLimits limits = velmo::ComputeDofLimits({0.03, 5.6, 50}, distances[i++ & 4095]);
    benchmark::DoNotOptimize(limits);
  }
}
BENCHMARK(BM_ComputeDofLimits);

// The same calls, each waiting for the last one's result (its near limit
// times zero is added to the distance): the latency of a call, where the
// calls above may overlap in the processor as far as its window allows.
void BM_ComputeDofLimitsChained(benchmark::State& state) {
  std::vector<double> distances = Distances();
  std::size_t i = 0;
  double last = 0;
  for (auto _ : state) {
    last = velmo::ComputeDofLimits({0.03, 5.6, 50}, distances[i++ & 4095] + last * 0.0).Near;
  }
  benchmark::DoNotOptimize(last);
}
BENCHMARK(BM_ComputeDofLimitsChained);

// A block of the largest page of benchmarks/page-vs-cat as a table
// computes it, 64 apertures by 64 distances (0.6 m to 48.5 m and infinity,
// so that most cells have a far limit to divide for): the lens terms made
// once a block, the subject's once a row; the counter gives the time of a
// cell.
void BM_DofLimitsOfABlock(benchmark::State& state) {
  std::vector<double> distances(64, velmo::Undefined);
  for (int i = 0; i < 63; ++i) distances[i] = RoundedTo(4, 0.6 * std::pow(1.0722, i));
  std::vector<velmo::Lens> lenses(64);
  for (int i = 0; i < 64; ++i) lenses[i] = {0.03, 1 + i * 0.5, 50};
  std::vector<velmo::DofLimits> block(std::size_t{64} * 64);
  for (auto _ : state) {
    velmo::BlockLimits(lenses, distances, velmo::DistanceUnit::Metre, block.data());
    benchmark::DoNotOptimize(block.data());
  }
  state.counters["per_cell"] = benchmark::Counter(
      64 * 64, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DofLimitsOfABlock);

void BM_FormatCell(benchmark::State& state) {
  std::vector<double> distances = Distances();
  std::size_t i = 0;
  for (auto _ : state) {
    velmo::ShortText text = velmo::FormatCell('+', velmo::Markup::Text, distances[i++ & 4095]);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatCell);

class NullSink : public velmo::ByteSink {
 public:
  void Write(const char*, std::size_t size) override { bytes += size; }
  void Close() override {}
  std::size_t bytes = 0;
};

void BM_WriteReal(benchmark::State& state) {
  std::vector<double> distances = Distances();
  NullSink sink;
  velmo::TextWriter writer(sink);
  std::size_t i = 0;
  for (auto _ : state) velmo::WriteReal(writer, distances[i++ & 4095], 5, 1);
  writer.Flush();
  benchmark::DoNotOptimize(sink.bytes);
}
BENCHMARK(BM_WriteReal);

}  // namespace
