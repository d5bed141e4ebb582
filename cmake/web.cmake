# Debian's emscripten. Its JavaScript optimiser needs acorn, which Debian
# keeps in /usr/share/nodejs, where a node from outside Debian does not look:
# every link step is told.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
