# SPDX-License-Identifier: MIT
# Shared by the cross toolchain files: programs (cmake, the host's tools) come
# from the build machine, headers and libraries from the target's sysroot.
# stb and libretro.h are portable headers found on the host with
# NO_CMAKE_FIND_ROOT_PATH where they are looked up.
# Each file names ZT_CROSS_TRIPLE (and ZT_CROSS_COMPILER_SUFFIX where Debian
# has several variants of the compiler).
set(CMAKE_C_COMPILER ${ZT_CROSS_TRIPLE}-gcc${ZT_CROSS_COMPILER_SUFFIX})
set(CMAKE_CXX_COMPILER ${ZT_CROSS_TRIPLE}-g++${ZT_CROSS_COMPILER_SUFFIX})
set(CMAKE_FIND_ROOT_PATH /usr/${ZT_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
