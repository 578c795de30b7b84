// SPDX-License-Identifier: MIT
// What lets a Linux core built on Debian 12 (glibc 2.36, GCC 12's static
// libstdc++ and libgcc) load on glibc 2.17: each symbol of a newer glibc that
// the static run-time asks for is answered here, inside the core. The rest
// is done elsewhere: --gc-sections drops libstdc++'s random device (arc4random,
// getentropy), the folder finder uses opendir rather than stat, the core's
// file comes from dl_iterate_phdr rather than dladdr. tests/cross/glibc_floor.sh
// checks the result.
#include "hosts/libretro/glibc_floor.h"

#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <sys/single_threaded.h>

#include <cerrno>
#include <cstdint>

#include "hosts/libretro/core_file.h"

extern "C" {

// glibc 2.32: libstdc++'s reference counts skip their atomic operations
// while this says the process has one thread. Never saying so is always
// right (a frontend runs threads of its own), and costs a few atomic
// increments.
char __libc_single_threaded = 0;

// glibc 2.34 moved libpthread into libc under new versions. libgcc's
// unwinder takes __pthread_key_create's address to learn whether threads
// are there and then guards its one-time set-up with pthread_once, both weak
// (-Wl,--wrap sends its references here): the versions every glibc has,
// found where libpthread is loaded (always from glibc 2.34 on); without it
// there are no threads, and the unwinder sets up by itself when
// pthread_once fails, as in a program without threads.
int zt_pthread_once(pthread_once_t* once, void (*init)()) __attribute__((weak));
ZT_GLIBC_OLD(zt_pthread_once, pthread_once);
int zt_pthread_key_create(pthread_key_t* key, void (*destroy)(void*)) __attribute__((weak));
ZT_GLIBC_OLD(zt_pthread_key_create, __pthread_key_create);

int __wrap_pthread_once(pthread_once_t* once, void (*init)()) {
  return zt_pthread_once != nullptr ? zt_pthread_once(once, init) : -1;
}

int __wrap___pthread_key_create(pthread_key_t* key, void (*destroy)(void*)) {
  return zt_pthread_key_create != nullptr ? zt_pthread_key_create(key, destroy) : EAGAIN;
}

}  // extern "C"

// glibc 2.35: the unwinder finds the object a return address lies in, to
// throw an exception through it, with _dl_find_object where glibc has it; a
// local one answers from dl_iterate_phdr, as libgcc did before.
extern "C" int _dl_find_object(void* address, dl_find_object* result) noexcept {
  dl_phdr_info object;
  if (!zt_object_at(address, &object)) return -1;
  // What libgcc's unwinder reads: the object's mapping and its
  // exception-handling segment.
  uintptr_t low = UINTPTR_MAX, high = 0;
  const ElfW(Phdr)* handling = nullptr;
  for (int i = 0; i < object.dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = object.dlpi_phdr[i];
    if (segment.p_type == DLFO_EH_SEGMENT_TYPE) handling = &segment;
    if (segment.p_type != PT_LOAD) continue;
    const uintptr_t start = object.dlpi_addr + segment.p_vaddr;
    if (start < low) low = start;
    if (start + segment.p_memsz > high) high = start + segment.p_memsz;
  }
  *result = dl_find_object();
  result->dlfo_map_start = reinterpret_cast<void*>(low);
  result->dlfo_map_end = reinterpret_cast<void*>(high);
  result->dlfo_link_map = nullptr;  // not read by the unwinder
  if (handling != nullptr)
    result->dlfo_eh_frame = reinterpret_cast<void*>(object.dlpi_addr + handling->p_vaddr);
#if DLFO_STRUCT_HAS_EH_COUNT
  // ARM's index table: entries of two words.
  if (handling != nullptr) result->dlfo_eh_count = static_cast<int>(handling->p_memsz / 8);
#endif
#if DLFO_STRUCT_HAS_EH_DBASE
#error "dlfo_eh_dbase (the object's data base) is not filled in on this system"
#endif
  return 0;
}
