# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, for std::thread): apt-get install g++-mingw-w64-x86-64-posix.
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LMQ_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${LMQ_MINGW_TRIPLE}-gcc-posix ${LMQ_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${LMQ_MINGW_TRIPLE}-g++-posix ${LMQ_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${LMQ_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LMQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry the compiler's run-time libraries, so that a copied .exe
# runs on a station without the compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under wine when it is there.
find_program(LMQ_WINE NAMES wine wine64)
if(LMQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LMQ_WINE})
endif()
