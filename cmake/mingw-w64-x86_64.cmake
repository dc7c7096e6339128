# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX thread model,
# which gives std::thread and std::mutex). scripts/windows-deps.sh builds the libraries with it
# and make windows the game; VANTRESKA_WINDOWS_DEPS names the prefix those libraries are in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTRESKA_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${VANTRESKA_WINDOWS_DEPS})
set(CMAKE_PREFIX_PATH ${VANTRESKA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static libraries only, the C++ runtime, libgcc and winpthreads included, so that a program
# needs nothing but the DLLs every Windows has. (zlib, for the tests' libpng, comes built by
# Debian both ways.)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(ZLIB_USE_STATIC_LIBS ON)
