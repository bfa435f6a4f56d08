# Cross-build of the Windows test executables. GoogleTest needs std::mutex, which only the
# -posix thread-model runtime has; these executables only ever run under Wine.
set(TARNWICK_MINGW_ARCH i686)
set(TARNWICK_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
