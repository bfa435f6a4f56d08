# What every cross-build for Windows shares; each toolchain file sets TARNWICK_MINGW_ARCH (i686
# or x86_64) and TARNWICK_MINGW_THREADS (win32 or posix), the thread model of the compilers,
# first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARNWICK_MINGW_ARCH})
set(triplet ${TARNWICK_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-${TARNWICK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triplet}-g++-${TARNWICK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Each function and object in a section of its own, so that the linker leaves out what a program
# never calls: Tarnwick.exe's window does not use the command line's routines, nor the other way.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections")
