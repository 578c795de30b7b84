# SPDX-License-Identifier: MIT
# Windows x64 with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZT_CROSS_TRIPLE x86_64-w64-mingw32)
set(ZT_CROSS_COMPILER_SUFFIX -posix)  # the variant with C++ threads
set(CMAKE_RC_COMPILER ${ZT_CROSS_TRIPLE}-windres)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
