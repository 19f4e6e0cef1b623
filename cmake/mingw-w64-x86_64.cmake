# Cross-compiles for 64-bit Windows with the MinGW-w64 tool chain.
# cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELTRO_MINGW_PREFIX x86_64-w64-mingw32)
# The POSIX-threads variant: the other one has no std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${VELTRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRO_MINGW_PREFIX}-windres)

# Headers and libraries come from the target's sysroot only; programs
# (code generators and the like) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELTRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
