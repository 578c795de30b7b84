// SPDX-License-Identifier: MIT
// The Condor engine: track, stations, decorations, difficulty and the six-phase
// tick that moves items lane by lane.
#include "engines/deveng_vtech_condor.h"

#include "framework/device.h"

typedef ZT_GameEngine_VTech_Condor Condor;

namespace {

// A segment of the engine's own: picture (id + 1, index), present only when
// the flags hold every bit of `need` and none of `refuse`.
struct Segment {
  int id;
  int index;
  int x;
  int y;
  const char* file;
  int need;
  int refuse;
};

// The point (210, 221) is a placeholder that every game using the flag moves.
// clang-format off
const Segment kSegments[] = {
    {Condor::PS_CHAR,        1, 206, 200, "char_1.bmp",        0,                      0},
    {Condor::PS_CHAR,        2, 250, 200, "char_2.bmp",        0,                      0},
    {Condor::PS_CHAR,        3, 315, 203, "char_3.bmp",        0,                      0},
    {Condor::PS_ITEM,        0, 352,  93, "item_00.bmp",       Condor::CF_TRACK_ZERO,  0},
    {Condor::PS_ITEM,        1, 345, 107, "item_01.bmp",       0,                      0},
    {Condor::PS_ITEM,        2, 342, 118, "item_02.bmp",       0,                      0},
    {Condor::PS_ITEM,        3, 342, 131, "item_03.bmp",       0,                      0},
    {Condor::PS_ITEM,        4, 342, 146, "item_04.bmp",       0,                      0},
    {Condor::PS_ITEM,        5, 341, 153, "item_05.bmp",       0,                      0},
    {Condor::PS_ITEM,        6, 337, 165, "item_06.bmp",       0,                      0},
    {Condor::PS_ITEM,        7, 335, 182, "item_07.bmp",       0,                      0},
    {Condor::PS_ITEM,        8, 318, 166, "item_08.bmp",       0,                      0},
    {Condor::PS_ITEM,        9, 307, 135, "item_09.bmp",       0,                      0},
    {Condor::PS_ITEM,       10, 297, 119, "item_10.bmp",       0,                      0},
    {Condor::PS_ITEM,       11, 295, 100, "item_11.bmp",       0,                      0},
    {Condor::PS_ITEM,       12, 277,  88, "item_12.bmp",       0,                      0},
    {Condor::PS_ITEM,       13, 274, 111, "item_13.bmp",       0,                      0},
    {Condor::PS_ITEM,       14, 272, 127, "item_14.bmp",       0,                      0},
    {Condor::PS_ITEM,       15, 275, 143, "item_15.bmp",       0,                      0},
    {Condor::PS_ITEM,       16, 278, 159, "item_16.bmp",       0,                      0},
    {Condor::PS_ITEM,       17, 255, 170, "item_17.bmp",       0,                      0},
    {Condor::PS_ITEM,       18, 246, 142, "item_18.bmp",       0,                      0},
    {Condor::PS_ITEM,       19, 240, 114, "item_19.bmp",       0,                      0},
    {Condor::PS_ITEM,       20, 225, 100, "item_20.bmp",       0,                      0},
    {Condor::PS_ITEM,       21, 222, 133, "item_21.bmp",       0,                      0},
    {Condor::PS_ITEM,       22, 217, 146, "item_22.bmp",       0,                      0},
    {Condor::PS_ITEM,       23, 220, 168, "item_23.bmp",       0,                      0},
    {Condor::PS_ITEM,       24, 198, 171, "item_24.bmp",       0,                      0},
    {Condor::PS_ITEM,       25, 194, 145, "item_25.bmp",       0,                      0},
    {Condor::PS_ITEM,       26, 196, 121, "item_26.bmp",       0,                      0},
    {Condor::PS_ITEM,       27, 188, 102, "item_27.bmp",       0,                      0},
    {Condor::PS_ITEM,       28, 167, 191, "miss_1.bmp",        0,                      0},
    {Condor::PS_ITEM,       29, 277, 186, "miss_2.bmp",        0,                      0},
    {Condor::PS_ITEM,       30, 354, 189, "miss_3.bmp",        0,                      0},
    {Condor::PS_ITEM_LEFT,   0, 210, 221, "item_left_0.bmp",   Condor::CF_LEFT_ZERO,   0},
    {Condor::PS_ITEM_LEFT,   1, 158, 144, "item_left_1.bmp",   0,                      0},
    {Condor::PS_ITEM_LEFT,   2, 159,  94, "item_left_2.bmp",   0,                      0},
    {Condor::PS_ITEM_RIGHT,  0, 210, 221, "item_right_1a.bmp", Condor::CF_RIGHT_AB,    0},
    {Condor::PS_ITEM_RIGHT,  1, 210, 221, "item_right_1b.bmp", Condor::CF_RIGHT_AB,    0},
    {Condor::PS_ITEM_RIGHT,  1, 374, 117, "item_right_1.bmp",  0,                      Condor::CF_RIGHT_AB},
    {Condor::PS_ITEM_RIGHT,  2, 389, 106, "item_right_2.bmp",  0,                      0},
    {Condor::PS_ITEM_RIGHT,  3, 384, 105, "item_right_3.bmp",  0,                      0},
    {Condor::PS_ITEM_RIGHT,  4, 375, 106, "item_right_4.bmp",  0,                      0},
    {Condor::PS_ITEM_RIGHT,  5, 210, 221, "item_right_5.bmp",  Condor::CF_RIGHT_EXTRA, 0},
    {Condor::PS_ITEM_RIGHT,  6, 210, 221, "item_right_6.bmp",  Condor::CF_RIGHT_EXTRA, 0},
};

// The watch engine's common items, moved to where this artwork has them.
const Condor::Layout kCommon[] = {
    {Condor::PS_NUMBER,          1, 248, 54},
    {Condor::PS_NUMBER,          2, 263, 54},
    {Condor::PS_NUMBER,          3, 283, 54},
    {Condor::PS_NUMBER,          4, 298, 54},
    {Condor::PS_TIME_SEMICOLON,  0, 278, 59},
    {Condor::PS_MISS,            1, 336, 51},
    {Condor::PS_MISS,            2, 349, 51},
    {Condor::PS_MISS,            3, 362, 51},
    {Condor::PS_MISS,            4, 375, 51},
    {Condor::PS_MISS,            5, 388, 51},
    {Condor::PS_MISS,            6, 336, 67},
    {Condor::PS_MISS,            7, 349, 67},
    {Condor::PS_MISS,            8, 362, 67},
    {Condor::PS_MISS,            9, 375, 67},
    {Condor::PS_MISS,           10, 388, 67},
    {Condor::PS_GAME_A,          0, 158, 54},
    {Condor::PS_GAME_B,          0, 158, 70},
    {Condor::PS_ALARM,           0, 200, 70},
    {Condor::PS_BELL,            0, 184, 56},
    {Condor::PS_CHRONO,          0, 218, 70},
    {Condor::PS_DATE,            0, 231, 70},
    {Condor::PS_TIME_1,          0, 224, 54},
    {Condor::PS_TIME_2,          0, 201, 54},
    {Condor::PS_TIME_AM,         0, 318, 54},
    {Condor::PS_TIME_PM,         0, 318, 69},
};

// Speed by score (taken modulo 200); scores 100 to 199 keep what 99 reached.
struct Level {
  int upto;
  uint16_t level_a;
  unsigned int tick_a;
  uint16_t level_b;
  unsigned int tick_b;
};

const Level kLevels[] = {
    { 3, 1, 215, 1, 180},
    {23, 3, 215, 4, 180},
    {29, 3, 215, 6, 180},
    {39, 5, 215, 6, 180},
    {69, 5, 185, 6, 155},
    {99, 5, 150, 6, 130},
};
// clang-format on

// Right decoration indices lit in each phase, as bits.
const unsigned int kRightShown[] = {
    1u << 0 | 1u << 1 | 1u << 3 | 1u << 4,  // phase 0 (game start)
    1u << 0 | 1u << 1 | 1u << 2 | 1u << 4,  // 1
    1u << 0 | 1u << 1 | 1u << 2 | 1u << 4,  // 2
    1u << 0 | 1u << 1 | 1u << 3 | 1u << 5,  // 3
    1u << 0 | 1u << 1 | 1u << 3 | 1u << 6,  // 4
    1u << 0 | 1u << 1 | 1u << 3 | 1u << 6,  // 5
    1u << 0 | 1u << 1 | 1u << 2 | 1u << 5,  // 6
};

enum { EMPTY = 0, MOVING = 1, CAUGHT = 2, MISSED = 3 };

void show(ZT_GameData& data, int id, int index, bool visible) {
  ZT_GameData_Position* position = data.position_get(id, index);
  position->visible = visible;
  position->Changed();
}

// A lane end, the station that catches there and the marker shown on a miss,
// in miss precedence: end 7 before end 16 before end 23.
struct LaneEnd {
  int end;
  int station;
  int marker;
};

const LaneEnd kEnds[] = {
    {Condor::TRACK_END_1, 3, Condor::TRACK_MISS_3},
    {Condor::TRACK_END_2, 2, Condor::TRACK_MISS_2},
    {Condor::TRACK_END_3, 1, Condor::TRACK_MISS_1},
};

}  // namespace

ZT_GameEngine_VTech_Condor::ZT_GameEngine_VTech_Condor(int display_flags, int flags)
    : ZT_GameEngine_VTech(display_flags),
      flags(flags),
      char_pos(3),
      items_left(1),
      spawn_pos(1),
      spawn_phase(1),
      start_phase(2),
      phase(0),
      level(0) {
  folder = "condor";
  zoom_width = 562;
  zoom_height = 373;
  lcd_x = 151;
  lcd_y = 52;
  lcd_width = 257;
  lcd_height = 192;

  ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);
  for (const Segment& s : kSegments) {
    if ((flags & s.need) != s.need || (flags & s.refuse) != 0) continue;
    data.position_add(s.id, s.index, s.x, s.y, s.id + 1, s.index, s.file, &white);
  }
  layout_apply(kCommon, sizeof kCommon / sizeof kCommon[0]);

  sounds_add();

  data.timer_add(TM_REPRISE, 800, false);
  data.timer_add(TM_GAMEOVER, 2000, false);

  if (flags & CF_TRACK_ZERO) {
    spawn_pos = 0;
    spawn_phase = 4;
    start_phase = 6;
  }
}

ZT_GameEngine_VTech_Condor::~ZT_GameEngine_VTech_Condor() {}

void ZT_GameEngine_VTech_Condor::Event(ZT_Platform_Event* event) {
  ZT_GameEngine_VTech::Event(event);
  if (event->type != ZT_EVENT_KEY) return;
  if (mode != MODE_GAME_A && mode != MODE_GAME_B) return;
  if (!playing) return;
  if (event->key == ZT_KEY_LEFT) {
    if (char_pos > 1) char_pos--;
    char_update(char_pos);
  } else if (event->key == ZT_KEY_RIGHT) {
    if (char_pos < 3) char_pos++;
    char_update(char_pos);
  }
}

void ZT_GameEngine_VTech_Condor::do_timer(int id) { ZT_GameEngine_VTech::do_timer(id); }

void ZT_GameEngine_VTech_Condor::char_update(int pos) {
  for (int i = 1; i <= 3; i++) show(data, PS_CHAR, i, i == pos);
}

void ZT_GameEngine_VTech_Condor::items_left_update(int frame) {
  if (flags & CF_LEFT_ZERO) show(data, PS_ITEM_LEFT, 0, true);
  show(data, PS_ITEM_LEFT, 1, frame == 1);
  show(data, PS_ITEM_LEFT, 2, frame == 2);
}

void ZT_GameEngine_VTech_Condor::items_right_update(int shown_phase) {
  int first = (flags & CF_RIGHT_AB) ? 0 : 1;
  int last = (flags & (CF_RIGHT_AB | CF_RIGHT_EXTRA)) ? 6 : 4;
  unsigned int lit = (shown_phase >= 0 && shown_phase <= 6) ? kRightShown[shown_phase] : 0;
  for (int i = first; i <= last; i++) {
    // Flag 4 without flag 8 names indices 5 and 6, which were never declared.
    ZT_GameData_Position* position = data.position_get(PS_ITEM_RIGHT, i);
    if (position == nullptr) continue;
    position->visible = (lit >> i) & 1u;
    position->Changed();
  }
}

void ZT_GameEngine_VTech_Condor::showall_miss(bool show_it) {
  for (int i = TRACK_MISS_1; i <= TRACK_MISS_3; i++) show(data, PS_ITEM, i, show_it);
}

void ZT_GameEngine_VTech_Condor::game_start(int) {
  char_pos = 3;
  items_left = 1;
  phase = static_cast<uint16_t>(start_phase);
  char_update(3);
  items_left_update(1);
  items_right_update(0);
  data_playsound(SND_START);
}

void ZT_GameEngine_VTech_Condor::game_reprise() { showall_miss(false); }

void ZT_GameEngine_VTech_Condor::game_over() { data_playsound(SND_GAMEOVER); }

void ZT_GameEngine_VTech_Condor::level_update(int level_mode) {
  if (level_mode == -1) level_mode = mode;
  if (level_mode != MODE_GAME_A && level_mode != MODE_GAME_B) return;
  int s = score;
  while (s > 199) s -= 200;
  for (const Level& row : kLevels) {
    if (s > row.upto) continue;
    bool a = level_mode == MODE_GAME_A;
    level = a ? row.level_a : row.level_b;
    data.timer_get(TM_GAME)->interval = a ? row.tick_a : row.tick_b;
    return;
  }
}

void ZT_GameEngine_VTech_Condor::track_copy(int from, int to) {
  ZT_GameData_Position* source = data.position_get(PS_ITEM, from);
  ZT_GameData_Position* target = data.position_get(PS_ITEM, to);
  target->visible = source->visible;
  target->state = source->state;
  target->Changed();
}

void ZT_GameEngine_VTech_Condor::track_clear(int index) {
  ZT_GameData_Position* position = data.position_get(PS_ITEM, index);
  position->visible = false;
  position->state = EMPTY;
  position->Changed();
}

void ZT_GameEngine_VTech_Condor::track_set(int index, int state) {
  ZT_GameData_Position* position = data.position_get(PS_ITEM, index);
  position->visible = true;
  position->state = state;
  position->Changed();
}

bool ZT_GameEngine_VTech_Condor::track_holds(int index, int state) {
  return data.position_get(PS_ITEM, index)->state == state;
}

int ZT_GameEngine_VTech_Condor::track_count_moving(int first, int last) {
  int n = 0;
  for (int i = first; i <= last; i++)
    if (track_holds(i, MOVING)) n++;
  return n;
}

void ZT_GameEngine_VTech_Condor::game_tick() {
  // 1. Decorations.
  items_right_update(phase);
  items_left = 1;
  items_left_update(1);

  // 2. Miss check: a moving item at a lane end whose station is empty.
  const LaneEnd* missed = nullptr;
  for (const LaneEnd& e : kEnds) {
    if (!track_holds(e.end, MOVING) || char_pos == e.station) continue;
    data.position_get(PS_ITEM, e.end)->state = MISSED;
    if (missed == nullptr) missed = &e;
  }
  if (missed != nullptr) {
    miss_handle(missed->end, missed->marker);
    return;
  }

  // 3. Late catch: the player reached the station after the item did.
  bool caught = false;
  for (const LaneEnd& e : kEnds) {
    if (!track_holds(e.end, MOVING) || char_pos != e.station) continue;
    track_set(e.end, CAUGHT);
    caught = true;
  }
  if (caught) data_delaytimer(TM_GAME, 60);

  // 4. Movement by phase; each part of the track moves every third tick.
  int moving = 0;
  switch (phase) {
    case 1:
    case 4: {
      if (track_holds(TRACK_EXIT, MOVING)) {
        score_add(1);
        items_left = 2;
        items_left_update(2);
      }
      if (track_holds(TRACK_END_3, CAUGHT)) track_set(TRACK_END_3, MOVING);
      for (int i = TRACK_EXIT; i > TRACK_END_3; i--) track_copy(i - 1, i);
      track_clear(TRACK_END_3);
      for (int i = TRACK_END_1; i > spawn_pos; i--) track_copy(i - 1, i);
      if (phase != spawn_phase) track_clear(spawn_pos);
      if (track_holds(TRACK_END_1, MOVING) && char_pos == 3) {
        track_set(TRACK_END_1, CAUGHT);
        caught = true;
      }
      if (phase == spawn_phase) {
        int shown = 0;
        for (int i = spawn_pos; i <= TRACK_EXIT; i++)
          if (data.position_get(PS_ITEM, i)->visible) shown++;
        if ((device->random->next() & 3) != 0)
          track_clear(spawn_pos);
        else
          track_set(spawn_pos, MOVING);
        if (shown == 0) track_set(spawn_pos, MOVING);
        if (level <= shown) track_clear(spawn_pos);
      }
      moving = track_count_moving(spawn_pos, TRACK_END_1) +
               track_count_moving(TRACK_END_3 + 1, TRACK_EXIT);
      break;
    }
    case 2:
    case 5:
      if (track_holds(TRACK_END_2, CAUGHT)) track_set(TRACK_END_2, MOVING);
      for (int i = TRACK_END_3; i > TRACK_END_2; i--) track_copy(i - 1, i);
      track_clear(TRACK_END_2);
      if (track_holds(TRACK_END_3, MOVING) && char_pos == 1) {
        track_set(TRACK_END_3, CAUGHT);
        caught = true;
      }
      moving = track_count_moving(TRACK_END_2 + 1, TRACK_END_3);
      break;
    case 3:
    case 6:
      if (track_holds(TRACK_END_1, CAUGHT)) track_set(TRACK_END_1, MOVING);
      for (int i = TRACK_END_2; i > TRACK_END_1; i--) track_copy(i - 1, i);
      track_clear(TRACK_END_1);
      if (track_holds(TRACK_END_2, MOVING) && char_pos == 2) {
        track_set(TRACK_END_2, CAUGHT);
        caught = true;
      }
      moving = track_count_moving(TRACK_END_1 + 1, TRACK_END_2);
      break;
    default:
      break;
  }

  // 5. Sound.
  if (caught)
    data_playsound(SND_GOT);
  else if (moving != 0)
    data_playsound(SND_MOVE);

  // 6. Advance.
  phase = static_cast<uint16_t>(phase % 6 + 1);
}

void ZT_GameEngine_VTech_Condor::miss_handle(int end, int marker) {
  playing = false;
  data_stopalltimers();
  track_clear(end);
  show(data, PS_ITEM, marker, true);
  misses_add(1);
  if (misses > 4) {
    phase = 0;
    data_starttimer(TM_GAMEOVER, 0);
  } else {
    data_starttimer(TM_REPRISE, 0);
  }
  data_playsound(SND_MISS);
  phase = static_cast<uint16_t>(phase % 6 + 1);
}

void ZT_GameEngine_VTech_Condor::state_save(ZT_StateWriter& out) {
  ZT_GameEngine_VTech::state_save(out);
  out.i32(flags);
  out.i32(char_pos);
  out.i32(items_left);
  out.i32(spawn_pos);
  out.i32(spawn_phase);
  out.i32(start_phase);
  out.u32(phase);
  out.u32(level);
}

bool ZT_GameEngine_VTech_Condor::state_load(ZT_StateReader& in) {
  if (!ZT_GameEngine_VTech::state_load(in)) return false;
  // The flags and what follows from them are fixed by the game class.
  if (in.i32() != flags) in.fail();
  int32_t new_char = in.i32_in(1, 3);
  int32_t new_left = in.i32_in(1, 2);
  if (in.i32() != spawn_pos || in.i32() != spawn_phase || in.i32() != start_phase) in.fail();
  uint32_t new_phase = in.u32();
  uint32_t new_level = in.u32();
  if (new_phase > 6 || new_level > 0xffff) in.fail();
  if (!in.ok()) return false;
  char_pos = new_char;
  items_left = new_left;
  phase = static_cast<uint16_t>(new_phase);
  level = static_cast<uint16_t>(new_level);
  return true;
}
