#include <string>
#include <vector>

#include "numtext/number_settings.h"
#include "platform/os.h"
#include "run/run_sequence.h"

int main(int argc, char** argv) {
  velmo::HostPlatform platform;
  platform.PrepareProcess();
  velmo::InitNumberSettings();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  auto in = velmo::StandardInput();
  auto out = velmo::StandardOutput();
  return velmo::RunVelmo(arguments, *in, *out, platform);
}
