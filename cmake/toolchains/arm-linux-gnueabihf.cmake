# SPDX-License-Identifier: MIT
# Linux on 32-bit ARM, hard-float (many handhelds), with Debian's
# g++-arm-linux-gnueabihf.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ZT_CROSS_TRIPLE arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
# GCC notes that an old ABI passed some arguments differently: nothing here
# links code built before GCC 7.1.
string(APPEND CMAKE_CXX_FLAGS_INIT " -Wno-psabi")
