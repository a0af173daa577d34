# 64-bit Windows programs, with Debian's MinGW-w64 x86-64 toolchain (package
# g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VENDRALITH_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
