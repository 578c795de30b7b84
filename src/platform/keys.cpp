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
