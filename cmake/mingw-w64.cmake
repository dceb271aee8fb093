# Cross-build for 64-bit Windows with Debian's mingw-w64 (POSIX threading
# model, so std::thread and std::mutex work), linked statically so that the
# programs run on a bare Windows and under Wine without a DLL beside them.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FWU_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FWU_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FWU_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FWU_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FWU_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the test programs through Wine. The caller gives the prefix
# (WINEPREFIX) and quiets Wine's own log (WINEDEBUG=-all).
find_program(FWU_WINE NAMES wine wine64 wine-stable)
if(FWU_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FWU_WINE})
endif()
