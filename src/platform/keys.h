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

// SDL 1.2's numbers of the desktop's keys that are no character (SDLK_UP,
// ...); libretro's RETROK_ codes are the same numbers. A character key's
// number is its character ('1', 'q', '+').
constexpr int ZT_KEYNUM_BACKSPACE = 8;
constexpr int ZT_KEYNUM_RETURN = 13;
constexpr int ZT_KEYNUM_ESCAPE = 27;
constexpr int ZT_KEYNUM_UP = 273;
constexpr int ZT_KEYNUM_DOWN = 274;
constexpr int ZT_KEYNUM_RIGHT = 275;
constexpr int ZT_KEYNUM_LEFT = 276;

// The desktop program's keyboard, the one table every host maps keys with:
// a key by its number, and the code it presses. The main keyboard only: the
// keypad's keys have numbers of their own and press nothing.
struct ZT_Platform_BoardKey {
  int number;
  int key;
};
extern const ZT_Platform_BoardKey ZT_Platform_keyboard[];
extern const int ZT_Platform_keyboard_count;
// The code a key number presses, -1 for none.
int ZT_Platform_keyboard_find(int number);

// The code of a key name ("game_a"), -1 for a name that is none.
int ZT_Platform_key_find(const char* name);
// The name of a key code, null for a code that is none.
const char* ZT_Platform_key_name(int key);

#endif
