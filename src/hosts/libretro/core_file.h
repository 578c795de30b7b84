// SPDX-License-Identifier: MIT
// Where the core's own file lies, asked of the system that loaded it: the
// data installed beside the core is found from there under any prefix.
#ifndef ZT_HOSTS_LIBRETRO_CORE_FILE_H
#define ZT_HOSTS_LIBRETRO_CORE_FILE_H

#include <string>

// The folder of the loaded core file, without a trailing separator; empty
// when the system cannot tell.
std::string zt_core_folder();

#endif
