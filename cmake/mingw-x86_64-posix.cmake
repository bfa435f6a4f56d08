# The Windows test executables built for 64-bit Windows, for machines that cannot start 32-bit
# programs; -posix for GoogleTest's std::mutex, as in the 32-bit build.
set(TARNWICK_MINGW_ARCH x86_64)
set(TARNWICK_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
