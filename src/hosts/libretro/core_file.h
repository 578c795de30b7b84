// SPDX-License-Identifier: MIT
// Where the core's own file lies, asked of the system that loaded it: the
// data installed beside the core is found from there under any prefix.
#ifndef ZT_HOSTS_LIBRETRO_CORE_FILE_H
#define ZT_HOSTS_LIBRETRO_CORE_FILE_H

#include <string>

#ifndef _WIN32
#include <link.h>
#endif

// The folder of the loaded core file, without a trailing separator; empty
// when the system cannot tell.
std::string zt_core_folder();

#ifndef _WIN32
// The loaded object (the core, the program, a library) whose loaded
// segments hold `address`, as dl_iterate_phdr describes it; false for none.
// dl_iterate_phdr rather than dladdr or _dl_find_object, symbols of newer
// glibc: the cores load on glibc 2.17.
bool zt_object_at(const void* address, dl_phdr_info* out);
#endif

#endif
