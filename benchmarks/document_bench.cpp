// A whole run on the largest table Velmo writes: 64 focal lengths, 64
// distances and 64 apertures, in each of the three forms, through the real
// file system. The viewer is left out; everything else is the program's.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "numtext/number_settings.h"
#include "platform/os.h"
#include "run/run_sequence.h"

namespace {

class QuietPlatform : public velmo::HostPlatform {
 public:
  void OpenInViewer(const std::string&) override {}
};

class Input : public velmo::ByteSource {
 public:
  std::size_t Read(char*, std::size_t) override { return 0; }
};

class Console : public velmo::ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
  void Close() override {}
};

std::string List(double first, double step) {
  std::string list;
  for (int i = 0; i < 64; ++i) list += std::to_string(first + i * step) + " ";
  return list;
}

void RunLargest(benchmark::State& state, const char* options, const char* extension) {
  velmo::InitNumberSettings();
  std::string dir =
      (std::filesystem::temp_directory_path() / ("velmo-bench-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  std::string ini = dir + "/largest.ini";
  std::ofstream(ini) << "[VELMO]\n"
                     << options << "\nDistance=" << List(0.5, 1.5) << "\nAperture=" << List(1, 0.5)
                     << "\nFocal=" << List(14, 9) << "\n";
  QuietPlatform platform;
  Input in;
  Console out;
  const std::vector<std::string> arguments{ini};
  for (auto _ : state) {
    if (velmo::RunVelmo(arguments, in, out, platform) != 0) state.SkipWithError("the run failed");
  }
  std::string document = dir + "/largest" + extension;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(document));
  std::filesystem::remove_all(dir);
}

void BM_LargestText(benchmark::State& state) {
  RunLargest(state, "HTML=0", ".txt");
}
void BM_LargestFragment(benchmark::State& state) {
  RunLargest(state, "TableOnly=1", ".i");
}
void BM_LargestPage(benchmark::State& state) {
  RunLargest(state, "Comment=Largest", ".html");
}
// The page with a chart after every block, distances in feet.
void BM_LargestChartedPage(benchmark::State& state) {
  RunLargest(state, "Chart=1\nUnits=ft", ".html");
}
BENCHMARK(BM_LargestText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestFragment)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestChartedPage)->Unit(benchmark::kMillisecond);

}  // namespace
