#include "platform/os.h"
#include "run/run_sequence.h"

int main(int argc, char** argv) {
  velmo::HostPlatform platform;
  auto in = velmo::StandardInput();
  auto out = velmo::StandardOutput();
  return velmo::RunProgram(platform, velmo::CommandLineArguments(argc, argv), *in, *out);
}
