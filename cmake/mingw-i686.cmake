# What both cross-builds for 32-bit Windows share; each toolchain file sets
# TARNWICK_MINGW_THREADS (win32 or posix), the thread model of the compilers, first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${TARNWICK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${TARNWICK_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
