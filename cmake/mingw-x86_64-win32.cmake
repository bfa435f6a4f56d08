# The program built for 64-bit Windows (XP x64 and later), with the same -win32 runtime as the
# shipped 32-bit one. Not shipped: it runs the end-to-end test under 64-bit Wine on machines
# that cannot start 32-bit programs.
set(TARNWICK_MINGW_ARCH x86_64)
set(TARNWICK_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
