# Apple Silicon Macs: the software extended type, as long double is double
# there.
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(VELMO_MACOS_TARGET aarch64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/macos.cmake)
