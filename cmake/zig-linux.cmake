# The compiler and C++ library of the macOS builds (zig's clang and libc++)
# building for this machine, so that their code runs its tests here: as a
# Mac's programs are, position-independent. GoogleTest is built from
# Debian's sources with that library (the installed one is built for
# libstdc++). Against zig's default glibc (2.28) libc++'s std::filesystem
# takes every missing file for one of unknown type, which the tests' helpers
# rely on: 2.34 is the newest zig 0.11 builds, and older than Debian 12's.
set(CMAKE_CXX_COMPILER ${CMAKE_CURRENT_LIST_DIR}/zig-c++)
set(CMAKE_CXX_FLAGS_INIT "-target x86_64-linux-gnu.2.34 -fPIE")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-pie")
set(VELMO_GOOGLETEST_FROM_SOURCE ON)
