# SPDX-License-Identifier: MIT
# Linux on x86-64 with Debian's own compiler under its triple's name, built
# as the other Linux cores are (glibc 2.17 and no C++ run-time needed), for
# systems older than the build machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZT_CROSS_TRIPLE x86_64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
