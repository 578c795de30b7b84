// SPDX-License-Identifier: MIT
// The oldest symbol version of this system's glibc: references bound to it
// with .symver load on every glibc since, where the build machine's headers
// and libraries would ask for the newest one.
#ifndef ZT_HOSTS_LIBRETRO_GLIBC_FLOOR_H
#define ZT_HOSTS_LIBRETRO_GLIBC_FLOOR_H

#if defined(__x86_64__)
#define ZT_GLIBC_BASE "GLIBC_2.2.5"
#elif defined(__aarch64__)
#define ZT_GLIBC_BASE "GLIBC_2.17"
#elif defined(__arm__)
#define ZT_GLIBC_BASE "GLIBC_2.4"
#else
#error "the oldest glibc symbol version of this system is unknown"
#endif

// Declares `name`, a reference to the glibc function `symbol` at that version.
#define ZT_GLIBC_OLD(name, symbol) __asm__(".symver " #name "," #symbol "@" ZT_GLIBC_BASE)

#endif
