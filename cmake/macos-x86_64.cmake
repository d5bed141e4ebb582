# Intel Macs: the x87 unit.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELMO_MACOS_TARGET x86_64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/macos.cmake)
