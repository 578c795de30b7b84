// SPDX-License-Identifier: MIT
// The simulator's keys by name: the one table that hosts translate from (the
// page sends names, a frontend's buttons and keyboards name their keys), so
// that no host depends on the numbering of the ZT_KEY_ codes.
#ifndef ZT_PLATFORM_KEYS_H
#define ZT_PLATFORM_KEYS_H

#include "platform/platform.h"

struct ZT_Platform_KeyName {
  int key;
  const char* name;
};

// Every key code once, in code order.
extern const ZT_Platform_KeyName ZT_Platform_keys[ZT_KEY_COUNT];

// The code of a key name ("game_a"), -1 for a name that is none.
int ZT_Platform_key_find(const char* name);
// The name of a key code, null for a code that is none.
const char* ZT_Platform_key_name(int key);

#endif
