// SPDX-License-Identifier: MIT
// The key name table.
#include "platform/keys.h"

#include <cstring>

const ZT_Platform_KeyName ZT_Platform_keys[ZT_KEY_COUNT] = {
    {ZT_KEY_UP, "up"},
    {ZT_KEY_DOWN, "down"},
    {ZT_KEY_LEFT, "left"},
    {ZT_KEY_RIGHT, "right"},
    {ZT_KEY_ENTER, "enter"},
    {ZT_KEY_BACK, "back"},
    {ZT_KEY_POWER, "power"},
    {ZT_KEY_ESCAPE, "escape"},
    {ZT_KEY_VOLUME_UP, "volume_up"},
    {ZT_KEY_VOLUME_DOWN, "volume_down"},
    {ZT_KEY_GAME_A, "game_a"},
    {ZT_KEY_GAME_B, "game_b"},
    {ZT_KEY_TIME, "time"},
    {ZT_KEY_LEFT_UP, "left_up"},
    {ZT_KEY_RIGHT_UP, "right_up"},
    {ZT_KEY_LEFT_DOWN, "left_down"},
    {ZT_KEY_RIGHT_DOWN, "right_down"},
    {ZT_KEY_ZOOM_0, "zoom_0"},
    {ZT_KEY_ZOOM_1, "zoom_1"},
    {ZT_KEY_ZOOM_2, "zoom_2"},
};

const ZT_Platform_BoardKey ZT_Platform_keyboard[] = {
    {ZT_KEYNUM_UP, ZT_KEY_UP},
    {ZT_KEYNUM_DOWN, ZT_KEY_DOWN},
    {ZT_KEYNUM_LEFT, ZT_KEY_LEFT},
    {ZT_KEYNUM_RIGHT, ZT_KEY_RIGHT},
    {ZT_KEYNUM_RETURN, ZT_KEY_ENTER},
    {ZT_KEYNUM_BACKSPACE, ZT_KEY_BACK},
    {ZT_KEYNUM_ESCAPE, ZT_KEY_ESCAPE},
    {'+', ZT_KEY_VOLUME_UP},
    {'=', ZT_KEY_VOLUME_UP},  // "+" is shifted "=" on US layouts, where SDL reports "="
    {'-', ZT_KEY_VOLUME_DOWN},
    {'1', ZT_KEY_GAME_A},
    {'2', ZT_KEY_GAME_B},
    {'3', ZT_KEY_TIME},
    {'q', ZT_KEY_LEFT_UP},
    {'p', ZT_KEY_RIGHT_UP},
    {'a', ZT_KEY_LEFT_DOWN},
    {'l', ZT_KEY_RIGHT_DOWN},
    {'7', ZT_KEY_ZOOM_0},
    {'9', ZT_KEY_ZOOM_1},
    {'8', ZT_KEY_ZOOM_2},
};
const int ZT_Platform_keyboard_count =
    static_cast<int>(sizeof ZT_Platform_keyboard / sizeof ZT_Platform_keyboard[0]);

int ZT_Platform_keyboard_find(int number) {
  for (const ZT_Platform_BoardKey& k : ZT_Platform_keyboard)
    if (k.number == number) return k.key;
  return -1;
}

int ZT_Platform_key_find(const char* name) {
  if (name == nullptr) return -1;
  for (const ZT_Platform_KeyName& k : ZT_Platform_keys)
    if (std::strcmp(k.name, name) == 0) return k.key;
  return -1;
}

const char* ZT_Platform_key_name(int key) {
  for (const ZT_Platform_KeyName& k : ZT_Platform_keys)
    if (k.key == key) return k.name;
  return nullptr;
}
