#include <string>
#include <vector>

#include "numtext/number_settings.h"
#include "platform/os.h"
#include "run/run_sequence.h"

int main(int argc, char** argv) {
  velmo::HostPlatform platform;
  platform.PrepareProcess();
  velmo::InitNumberSettings();
  const std::vector<std::string> arguments = velmo::CommandLineArguments(argc, argv);
  auto in = velmo::StandardInput();
  auto out = velmo::StandardOutput();
  return velmo::RunVelmo(arguments, *in, *out, platform);
}
