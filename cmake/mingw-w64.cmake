# Cross-compiling for Windows with Debian's MinGW-w64 toolchains: the
# POSIX-threads variant, whose libstdc++ has std::thread and
# std::this_thread::sleep_for. The including toolchain file sets
# VENDRALITH_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VENDRALITH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VENDRALITH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VENDRALITH_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW sysroot only; programs that run
# during the build come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VENDRALITH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The release executables go to monitoring hosts: without symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
