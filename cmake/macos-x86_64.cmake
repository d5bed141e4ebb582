# Intel Macs: the x87 unit.
# Cross-compiled by zig (cmake/zig-c++, installed by `npm ci` in cmake/zig);
# nothing built here runs here, so the tests and benchmarks are off.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-c++)
set(CMAKE_CXX_FLAGS_INIT "-target x86_64-macos")
set(CMAKE_AR /usr/bin/llvm-ar-14)
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14)
set(CMAKE_INSTALL_NAME_TOOL /usr/bin/llvm-install-name-tool-14)
