# Shared by the cross toolchain files: programs (cmake, the host's tools) come
# from the build machine, headers and libraries from the target's sysroot.
# stb and libretro.h are portable headers found on the host with
# NO_CMAKE_FIND_ROOT_PATH where they are looked up.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
