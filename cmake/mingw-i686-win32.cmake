# Cross-build of the shipped 32-bit Windows executable. The -win32 thread-model runtime imports
# nothing that Windows XP lacks (the -posix one pulls in GetTickCount64).
set(TARNWICK_MINGW_ARCH i686)
set(TARNWICK_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
