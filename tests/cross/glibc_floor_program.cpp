// SPDX-License-Identifier: MIT
// The test frontend for other systems runs on glibc 2.17, as the core it
// links loads there (src/hosts/libretro/glibc_floor.cpp): glibc 2.34 gave
// the program's start-up and libdl's calls, now in libc, new versions, and
// -Wl,--wrap sends the program's references here, to the versions every
// glibc has. Before 2.34 those of libdl are in libdl.so.2, which the
// program therefore needs.
#include <dlfcn.h>

#include "hosts/libretro/glibc_floor.h"

extern "C" {

typedef int (*ZtMain)(int, char**, char**);
typedef void (*ZtInit)(int, char**, char**);
int zt_libc_start_main(ZtMain main, int argc, char** argv, ZtInit init, void (*fini)(),
                       void (*rtld_fini)(), void* stack_end);
ZT_GLIBC_OLD(zt_libc_start_main, __libc_start_main);

void* zt_dlopen(const char* file, int mode);
ZT_GLIBC_OLD(zt_dlopen, dlopen);
void* zt_dlsym(void* library, const char* name);
ZT_GLIBC_OLD(zt_dlsym, dlsym);
int zt_dlclose(void* library);
ZT_GLIBC_OLD(zt_dlclose, dlclose);
char* zt_dlerror();
ZT_GLIBC_OLD(zt_dlerror, dlerror);

// The program's constructors, in the linker's table.
extern ZtInit __init_array_start[] __attribute__((visibility("hidden")));
extern ZtInit __init_array_end[] __attribute__((visibility("hidden")));
void _init();

// glibc 2.34's crt1.o passes no initializer and leaves the constructors to
// libc, which older ones do not run for the program: the old start-up
// (__libc_csu_init) is this one. Every glibc runs an initializer it is
// given instead of its own.
static void program_init(int argc, char** argv, char** env) {
  _init();
  for (ZtInit* init = __init_array_start; init != __init_array_end; ++init)
    (*init)(argc, argv, env);
}

int __wrap___libc_start_main(ZtMain main, int argc, char** argv, ZtInit, void (*fini)(),
                             void (*rtld_fini)(), void* stack_end) {
  return zt_libc_start_main(main, argc, argv, program_init, fini, rtld_fini, stack_end);
}

void* __wrap_dlopen(const char* file, int mode) { return zt_dlopen(file, mode); }
void* __wrap_dlsym(void* library, const char* name) { return zt_dlsym(library, name); }
int __wrap_dlclose(void* library) { return zt_dlclose(library); }
char* __wrap_dlerror() { return zt_dlerror(); }

}  // extern "C"
