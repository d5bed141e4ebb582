// The whole run in-process on settings files of realistic keys mixed with
// anything, writing into a temporary directory.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/number_settings.h"
#include "platform/os.h"
#include "run/run_sequence.h"
#include "xml_check.h"

namespace {

class QuietPlatform : public velmo::HostPlatform {
 public:
  void OpenInViewer(const std::string&) override {}
};

class Input : public velmo::ByteSource {
 public:
  std::size_t Read(char* buffer, std::size_t capacity) override {
    if (done_ || capacity == 0) return 0;
    done_ = true;
    buffer[0] = '\n';
    return 1;
  }

 private:
  bool done_ = false;
};

class Console : public velmo::ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
  void Close() override {}
};

constexpr const char* kDocuments[] = {".txt", ".html", ".i"};

void AbortUnlessChartsParse(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (std::string_view svg : velmo::test::ChartsIn(page)) {
    if (!velmo::test::XmlProblem(svg).empty() || svg.find(" d=\"\"") != std::string_view::npos) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = [] {
    velmo::InitNumberSettings();
    std::string d = "/tmp/velmo-run-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(d);
    return d;
  }();
  // Keys a settings file holds, each followed by fuzzed text; what the
  // fuzzer adds may also open sections, end lines or repeat keys.
  static const char* const kKeys[] = {
      "[VELMO]\n", "HTML=",       "Relative=",    "TableOnly=",  "CoC=",   "Multiplier=",
      "Comment=",  "Distance=",   "Aperture=",    "Focal=",      "Units=", "Chart=",
      "Format=",   "CoCDivisor=", "Diffraction=", "Wavelength=", "Stack=", "\n"};
  std::string content;
  std::size_t key = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '|') {
      content += kKeys[key++ % (sizeof kKeys / sizeof *kKeys)];
    } else {
      content += static_cast<char>(data[i]);
    }
  }
  std::ofstream(dir + "/fuzz.ini", std::ios::binary | std::ios::trunc) << content;
  for (const char* extension : kDocuments) std::filesystem::remove(dir + "/fuzz" + extension);
  QuietPlatform platform;
  Input in;
  Console out;
  const std::vector<std::string> arguments{dir + "/fuzz.ini"};
  int status = velmo::RunVelmo(arguments, in, out, platform);
  if (status != 0 && status != 1) std::abort();
  // On a sample of the runs, every chart written must be well-formed XML. A
  // comment reaches the page unchanged, so one that carries markup of its
  // own may well break a chart's; that is the author's markup, not ours.
  if (status == 0 && size % 8 == 0 && content.find("<svg") == std::string::npos) {
    for (const char* extension : {".html", ".i"}) AbortUnlessChartsParse(dir + "/fuzz" + extension);
  }
  return 0;
}
