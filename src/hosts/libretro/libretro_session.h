// SPDX-License-Identifier: MIT
// The core's running session, for programs that link the core in rather than
// loading it (the test frontend pins the watch through it). Not exported from
// the core's shared library.
#ifndef ZT_HOSTS_LIBRETRO_LIBRETRO_SESSION_H
#define ZT_HOSTS_LIBRETRO_LIBRETRO_SESSION_H

#include "session/session.h"

extern "C" {
// Null between retro_unload_game and the next retro_load_game.
ZT_Session* zt_libretro_session();
}

#endif
