# What both macOS toolchains share: zig as the compiler (cmake/zig-c++,
# installed by `npm ci` in cmake/zig) for VELMO_MACOS_TARGET, and LLVM's
# tools for archives and install names. Nothing built here runs here, so
# the presets turn the tests and benchmarks off.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-c++)
set(CMAKE_CXX_FLAGS_INIT "-target ${VELMO_MACOS_TARGET}")
set(CMAKE_AR /usr/bin/llvm-ar-14)
set(CMAKE_RANLIB /usr/bin/llvm-ranlib-14)
set(CMAKE_INSTALL_NAME_TOOL /usr/bin/llvm-install-name-tool-14)
# Shipped as it is linked: without its symbol table.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-s")
