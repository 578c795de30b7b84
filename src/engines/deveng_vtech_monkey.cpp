// SPDX-License-Identifier: MIT
// The three-lane catching game of Monkey, Pirate and Defendo: its segments,
// sounds, movement keys, speed table and the tick that moves the items.
#include "engines/deveng_vtech_monkey.h"

#include <cstdio>
#include <string>

#include "framework/device.h"

namespace {

typedef ZT_GameEngine_VTech_Monkey Monkey;

// The Monkey handheld's points. Each lane lists index 8 (the target) last,
// because only the handhelds with targets declare it.
// clang-format off
const Monkey::Layout kLayout[] = {
    {13, 1, 240,  97}, {13, 2, 228,  92}, {13, 3, 213, 116},
    {14, 1, 273, 110}, {14, 2, 269, 102}, {14, 3, 260, 127},
    {15, 1, 297, 104}, {15, 2, 318, 100}, {15, 3, 319, 121},
    {16, 1, 210, 221}, {16, 2, 171, 216}, {16, 3, 171, 194}, {16, 4, 172, 169}, {16, 5, 174, 134},
    {16, 6, 207, 184}, {16, 7, 210, 150}, {16, 9, 174, 134}, {16, 8, 189, 126},
    {17, 1, 239, 221}, {17, 2, 269, 221}, {17, 3, 273, 194}, {17, 4, 269, 170}, {17, 5, 270, 142},
    {17, 6, 241, 187}, {17, 7, 238, 158}, {17, 9, 270, 142}, {17, 8, 277, 134},
    {18, 1, 328, 222}, {18, 2, 352, 221}, {18, 3, 354, 194}, {18, 4, 352, 171}, {18, 5, 342, 138},
    {18, 6, 310, 183}, {18, 7, 316, 145}, {18, 9, 342, 138}, {18, 8, 351, 130},
};

// Speed and crowding by score within a 200-point round; -1 keeps the value.
struct LevelRow {
  int low, high;
  int level_a, tick_a;
  int level_b, tick_b;
};

const LevelRow kLevels[] = {
    {  0,   3,  1, 250,  1, 215},
    {  4,  49,  3, 250,  4, 215},
    { 50,  50, -1, 250, -1, 215},
    { 51,  98,  4, 250,  5, 215},
    { 99,  99,  4,  -1,  5,  -1},
    {100, 198,  5, 215,  6, 185},
    {199, 199,  5,  -1,  6,  -1},
};
// clang-format on

std::string format(const char* pattern, int a, int b) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, a, b);
  return buffer;
}

std::string format(const char* pattern, int a) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, a);
  return buffer;
}

bool shown(ZT_GameData& data, int id, int index) { return data.position_get(id, index)->visible; }

void show(ZT_GameData& data, int id, int index, bool visible) {
  ZT_GameData_Position* position = data.position_get(id, index);
  if (position->visible != visible) {
    position->visible = visible;
    position->Changed();
  }
}

}  // namespace

ZT_GameEngine_VTech_Monkey::ZT_GameEngine_VTech_Monkey(int display_flags, int flags)
    : ZT_GameEngine_VTech(display_flags), flags(flags), char_pos(0), move_lane(0), level(0) {
  folder = "monkey";
  zoom_width = 561;
  zoom_height = 347;
  lcd_x = 152;
  lcd_y = 53;
  lcd_width = 257;
  lcd_height = 192;

  ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);
  for (const Layout& row : kLayout) {
    int image_id = row.id + 1;
    int image_index = row.index;
    std::string file;
    if (row.id < PS_LANE) {
      file = format("im_char_%d_%d.bmp", row.id - PS_CHAR + 1, row.index);
    } else {
      int lane = row.id - PS_LANE + 1;
      switch (row.index) {
        case LANE_GOT:
          file = format("im_item_%d_got.bmp", lane);
          break;
        case LANE_MISS:
          file = format("im_item_%d_miss.bmp", lane);
          break;
        case LANE_TARGET:
          if (!(flags & MF_TARGET)) continue;
          file = format("im_item_%d_target.bmp", lane);
          break;
        case LANE_CAUGHT:
          // The caught item is the step-5 picture held in place.
          image_index = 5;
          file = format("im_item_%d_%d.bmp", lane, 5);
          break;
        default:
          file = format("im_item_%d_%d.bmp", lane, row.index);
          break;
      }
    }
    data.position_add(row.id, row.index, row.x, row.y, image_id, image_index, file, &white);
  }

  sounds_add();

  data.timer_add(TM_CATCH, 100, false);
}

ZT_GameEngine_VTech_Monkey::~ZT_GameEngine_VTech_Monkey() {}

void ZT_GameEngine_VTech_Monkey::Event(ZT_Platform_Event* event) {
  ZT_GameEngine_VTech::Event(event);
  if (event->type != ZT_EVENT_KEY) return;
  if (mode != MODE_GAME_A && mode != MODE_GAME_B) return;
  if (!playing) return;
  if (event->key == ZT_KEY_LEFT) {
    if (char_pos > 0) char_pos--;
  } else if (event->key == ZT_KEY_RIGHT) {
    if (char_pos < 2) char_pos++;
  } else {
    return;
  }
  char_update(char_pos, false);
}

void ZT_GameEngine_VTech_Monkey::do_timer(int id) {
  ZT_GameEngine_VTech::do_timer(id);
  if (id == TM_CATCH) char_update(char_pos, false);
}

void ZT_GameEngine_VTech_Monkey::game_start(int) {
  char_pos = 1;
  move_lane = 0;
  showall_target(true);
  level = 1;
  char_update(1, false);
  data_playsound(SND_START);
}

void ZT_GameEngine_VTech_Monkey::game_reprise() {
  showall_miss(false);
  showall_target(true);
}

void ZT_GameEngine_VTech_Monkey::game_over() { data_playsound(SND_GAMEOVER); }

void ZT_GameEngine_VTech_Monkey::level_update(int game_mode) {
  if (game_mode == -1) game_mode = mode;
  int s = score;
  while (s >= 200) s -= 200;
  if (game_mode != MODE_GAME_A && game_mode != MODE_GAME_B) return;
  for (const LevelRow& row : kLevels) {
    if (s < row.low || s > row.high) continue;
    int new_level = game_mode == MODE_GAME_A ? row.level_a : row.level_b;
    int tick = game_mode == MODE_GAME_A ? row.tick_a : row.tick_b;
    if (new_level >= 0) level = static_cast<uint16_t>(new_level);
    if (tick >= 0) data.timer_get(TM_GAME)->interval = static_cast<uint32_t>(tick);
    return;
  }
}

void ZT_GameEngine_VTech_Monkey::game_tick() {
  // Flash: a caught item becomes the got segment for one tick, then goes.
  for (int k = 0; k < 3; k++) {
    int lane = PS_LANE + k;
    bool caught = shown(data, lane, LANE_CAUGHT);
    show(data, lane, LANE_CAUGHT, false);
    show(data, lane, LANE_GOT, caught);
  }

  int missed = -1;
  for (int k = 0; k < 3; k++) {
    if (shown(data, PS_LANE + k, 5) && char_pos != k) {
      show(data, PS_LANE + k, 5, false);
      show(data, PS_LANE + k, LANE_MISS, false);
      missed = k;
    }
  }
  if (missed >= 0) {
    playing = false;
    data_stopalltimers();
    show(data, PS_LANE + missed, LANE_MISS, true);
    if (flags & MF_TARGET) show(data, PS_LANE + missed, LANE_TARGET, false);
    misses_add(1);
    if (misses > 4) {
      move_lane = 0;
      data_starttimer(TM_GAMEOVER, 0);
    } else {
      data_starttimer(TM_REPRISE, 0);
    }
    data_playsound(SND_MISS);
    return;
  }

  bool caught = false;
  int station = PS_LANE + char_pos;
  if (shown(data, station, 5)) {
    char_update(char_pos, true);
    data_starttimer(TM_CATCH, 0);
    show(data, station, 5, false);
    show(data, station, LANE_GOT, false);
    show(data, station, LANE_CAUGHT, true);
    score_add(1);
    caught = true;
    data_delaytimer(TM_GAME, 60);
  }

  int lane = PS_LANE + move_lane;
  for (int s = 5; s >= 2; s--) show(data, lane, s, shown(data, lane, s - 1));
  show(data, lane, 1, false);

  int n = 0;
  for (int k = 0; k < 3; k++)
    for (int s = 1; s <= 5; s++) n += shown(data, PS_LANE + k, s);

  // Later rules override earlier ones; the draw is made on every tick.
  int previous = PS_LANE + (move_lane == 0 ? 2 : move_lane - 1);
  bool spawn = (device->random->next() & 3) == 0;
  if (n == 0) spawn = true;
  if (shown(data, lane, 2)) spawn = false;
  if (shown(data, previous, 1)) spawn = false;
  if (n >= level) spawn = false;
  show(data, lane, 1, spawn);

  int m = 0;
  for (int s = 1; s <= 5; s++) m += shown(data, lane, s);

  move_lane = static_cast<uint16_t>(move_lane == 2 ? 0 : move_lane + 1);

  if (caught)
    data_playsound(SND_GOT);
  else if (m > 0)
    data_playsound(SND_MOVE);
}

void ZT_GameEngine_VTech_Monkey::char_update(int pos, bool catching) {
  for (int k = 0; k < 3; k++) {
    bool here = k == pos;
    show(data, PS_CHAR + k, 1, here);
    show(data, PS_CHAR + k, 2, here && !catching);
    show(data, PS_CHAR + k, 3, here && catching);
  }
}

void ZT_GameEngine_VTech_Monkey::showall_miss(bool visible) {
  for (int k = 0; k < 3; k++) show(data, PS_LANE + k, LANE_MISS, visible);
}

void ZT_GameEngine_VTech_Monkey::showall_target(bool visible) {
  if (!(flags & MF_TARGET)) return;
  for (int k = 0; k < 3; k++) show(data, PS_LANE + k, LANE_TARGET, visible);
}

void ZT_GameEngine_VTech_Monkey::state_save(ZT_StateWriter& out) {
  ZT_GameEngine_VTech::state_save(out);
  out.i32(flags);
  out.i32(char_pos);
  out.u32(move_lane);
  out.u32(level);
}

bool ZT_GameEngine_VTech_Monkey::state_load(ZT_StateReader& in) {
  if (!ZT_GameEngine_VTech::state_load(in)) return false;
  if (in.i32() != flags) in.fail();
  // Stations and lanes index the registry: only 0 to 2 are declared.
  int32_t new_char = in.i32_in(0, 2);
  uint32_t new_lane = in.u32();
  uint32_t new_level = in.u32();
  if (new_lane > 2 || new_level > 0xffff) in.fail();
  if (!in.ok()) return false;
  char_pos = new_char;
  move_lane = static_cast<uint16_t>(new_lane);
  level = static_cast<uint16_t>(new_level);
  return true;
}
