# Apple Silicon Macs: the software extended type, as long double is double there.
# Cross-compiled by zig (cmake/zig-c++, installed by `npm ci` in cmake/zig);
# nothing built here runs here, so the tests and benchmarks are off.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-c++)
set(CMAKE_CXX_FLAGS_INIT "-target aarch64-macos")
set(CMAKE_AR /usr/bin/llvm-ar-14)
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14)
set(CMAKE_INSTALL_NAME_TOOL /usr/bin/llvm-install-name-tool-14)
