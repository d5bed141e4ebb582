# Cross build for arm64 Linux with Debian's g++-aarch64-linux-gnu; programs
# built here run under qemu-aarch64 (Debian's qemu-user). They name the
# target's loader and libraries in /usr/aarch64-linux-gnu themselves, so
# that qemu needs no -L prefix: under one, the name "/" itself is the prefix
# directory, and an absolute path may name another file than on a real
# arm64 machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(VELMO_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,--dynamic-linker=/usr/aarch64-linux-gnu/lib/ld-linux-aarch64.so.1 -Wl,-rpath,/usr/aarch64-linux-gnu/lib")
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMO_QEMU_AARCH64})
