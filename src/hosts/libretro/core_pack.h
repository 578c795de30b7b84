// SPDX-License-Identifier: MIT
// The data pack linked into the core at build time, so that the core file
// alone plays: a data folder the player gives still wins over it.
#ifndef ZT_HOSTS_LIBRETRO_CORE_PACK_H
#define ZT_HOSTS_LIBRETRO_CORE_PACK_H

#include <cstddef>
#include <cstdint>

// The pack's bytes, valid for the core's whole life, and their count in
// *size; nullptr and 0 for a core built without a pack.
const uint8_t* zt_core_pack(size_t* size);

#endif
