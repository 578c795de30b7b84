// SPDX-License-Identifier: MIT
// The watch engine shared by every "Time & Fun" handheld: the LCD items every
// model has, the buttons and modes, the clock, the score and the game sequence.
#include "engines/deveng_vtech.h"

#include <cstdio>

namespace {

// Points of the common items on the reference background; games move them.
struct Point {
  int index;
  int x;
  int y;
};

const Point kDigits[] = {
    {1, 250, 61},
    {2, 265, 61},
    {3, 284, 61},
    {4, 299, 61},
};

const Point kMissMarks[] = {
    {1, 330, 62}, {2, 343, 62}, {3, 356, 62}, {4, 371, 62}, {5, 385, 62},
    {6, 329, 80}, {7, 344, 80}, {8, 356, 80}, {9, 371, 80}, {10, 383, 80},
};

struct Symbol {
  int id;
  int x;
  int y;
  const char* file;
};

// clang-format off
const Symbol kSymbols[] = {
    {ZT_GameEngine_VTech::PS_GAME_A,  153, 61, "im_game_a.bmp"},
    {ZT_GameEngine_VTech::PS_GAME_B,  153, 76, "im_game_b.bmp"},
    {ZT_GameEngine_VTech::PS_ALARM,   200, 77, "im_alarm.bmp"},
    {ZT_GameEngine_VTech::PS_BELL,    179, 63, "im_bell.bmp"},
    {ZT_GameEngine_VTech::PS_CHRONO,  217, 77, "im_chrono.bmp"},
    {ZT_GameEngine_VTech::PS_DATE,    232, 77, "im_date.bmp"},
    {ZT_GameEngine_VTech::PS_TIME_1,  223, 61, "im_time_1.bmp"},
    {ZT_GameEngine_VTech::PS_TIME_2,  200, 61, "im_time_2.bmp"},
    {ZT_GameEngine_VTech::PS_TIME_AM, 315, 61, "im_time_am.bmp"},
    {ZT_GameEngine_VTech::PS_TIME_PM, 314, 76, "im_time_pm.bmp"},
};
// clang-format on

std::string format(const char* pattern, int a) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, a);
  return buffer;
}

std::string format(const char* pattern, int a, int b) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, a, b);
  return buffer;
}

// Reports only real changes, so that a steady watch display costs no redraw.
void show(ZT_GameData& data, int id, int index, bool visible) {
  ZT_GameData_Position* position = data.position_get(id, index);
  if (position->visible != visible) {
    position->visible = visible;
    position->Changed();
  }
}

void picture(ZT_GameData& data, int id, int index, int image_id, int image_index) {
  ZT_GameData_Position* position = data.position_get(id, index);
  if (position->image_id != image_id || position->image_index != image_index) {
    position->image_id = image_id;
    position->image_index = image_index;
    position->Changed();
  }
}

}  // namespace

ZT_GameEngine_VTech::ZT_GameEngine_VTech(int display_flags)
    : display_flags(display_flags), score(0), misses(0), playing(false), game_idle(true) {
  ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);

  data.image_add(IM_BG, 0, "bg.bmp", &magenta);

  for (const Point& p : kDigits)
    data.position_add(PS_NUMBER, p.index, p.x, p.y, -1, -1, "", nullptr);
  data.position_add(PS_TIME_SEMICOLON, 0, 280, 67, PS_TIME_SEMICOLON + 1, 0,
                    "im_time_semicolon.bmp", &white);

  if (display_flags & VTF_NUMBER_PER_DIGIT) {
    for (int p = 1; p <= 4; p++)
      for (int d = 0; d <= 9; d++)
        data.image_add(IM_NUMBER, (p - 1) * 10 + d, format("im_number_%d_%d.bmp", p, d), &white);
  } else {
    for (int d = 0; d <= 9; d++)
      data.image_add(IM_NUMBER, d, format("im_number_%d.bmp", d), &white);
  }
  for (int p = 1; p <= 4; p++) display_number(p, 8, false);

  for (const Point& p : kMissMarks)
    data.position_add(PS_MISS, p.index, p.x, p.y, -1, -1, "", nullptr);
  if (display_flags & VTF_MISS_PER_MARK) {
    for (int i = 1; i <= 10; i++) {
      data.image_add(IM_MISS, i, format("im_miss_%02d.bmp", i), &white);
      picture(data, PS_MISS, i, IM_MISS, i);
    }
  } else {
    data.image_add(IM_MISS, 0, "im_miss.bmp", &white);
    for (int i = 1; i <= 10; i++) picture(data, PS_MISS, i, IM_MISS, 0);
  }

  for (const Symbol& s : kSymbols)
    data.position_add(s.id, 0, s.x, s.y, s.id + 1, 0, s.file, &white);

  data.timer_add(TM_GAME, 250, true);
  data.timer_add(TM_START, 1800, false);
  data.timer_add(TM_REPRISE, 1100, false);
  data.timer_add(TM_GAMEOVER, 100, false);
  data.timer_add(TM_IDLE, 3500, false);
  data.timer_add(TM_TIMEOUT, 30000, false);
}

ZT_GameEngine_VTech::~ZT_GameEngine_VTech() {}

void ZT_GameEngine_VTech::Event(ZT_Platform_Event* event) {
  if (event->type != ZT_EVENT_KEY) return;
  switch (event->key) {
    case ZT_KEY_GAME_A:
      SetMode(mode == MODE_ON ? MODE_TIME_1 : MODE_GAME_A);
      break;
    case ZT_KEY_GAME_B:
      SetMode(mode == MODE_ON ? MODE_TIME_1 : MODE_GAME_B);
      break;
    case ZT_KEY_TIME:
      switch (mode) {
        case MODE_TIME_1:
          SetMode(MODE_TIME_2);
          break;
        case MODE_TIME_2:
          SetMode(MODE_ALARM);
          break;
        case MODE_ALARM:
          SetMode(MODE_CHRONO);
          break;
        case MODE_CHRONO:
          SetMode(MODE_DATE);
          break;
        case MODE_DATE:
          SetMode(MODE_TIME_1);
          break;
        default:
          if (game_idle) SetMode(MODE_TIME_1);
          break;
      }
      break;
    default:
      break;
  }
}

int ZT_GameEngine_VTech::bgimage_get() { return IM_BG; }

ZT_Platform_GameType ZT_GameEngine_VTech::do_gametype_get() { return ZT_GAMETYPE_VTECH; }

void ZT_GameEngine_VTech::do_turnon() { SetMode(MODE_ON); }

void ZT_GameEngine_VTech::do_turnoff() { SetMode(MODE_OFF); }

int ZT_GameEngine_VTech::do_modecount() { return 10; }

bool ZT_GameEngine_VTech::do_setmode(int new_mode) {
  switch (new_mode) {
    case MODE_OFF:
      data_stopalltimers();
      data_stopallsounds();
      data_hideall(true);
      return true;
    case MODE_ON:
      data_stopalltimers();
      data_showall();
      for (int p = 1; p <= 4; p++) display_number(p, 8, false);
      game_idle = true;
      return true;
    case MODE_GAME_A:
    case MODE_GAME_B:
      // A game in progress keeps its mode: taking the other button's mode would
      // change its speed under the first game's indicator.
      if ((mode == MODE_GAME_A || mode == MODE_GAME_B) && !game_idle) return false;
      do_game_start(new_mode);
      return true;
    case MODE_TIME_1:
    case MODE_TIME_2:
    case MODE_ALARM:
    case MODE_CHRONO:
    case MODE_DATE: {
      static const int symbol[] = {PS_TIME_1, PS_TIME_2, PS_ALARM, PS_CHRONO, PS_DATE};
      data_stopalltimers();
      data_hideall(true);
      show(data, symbol[new_mode - MODE_TIME_1], 0, true);
      clock_update(new_mode);
      return true;
    }
    default:
      return false;
  }
}

void ZT_GameEngine_VTech::do_timer(int id) {
  switch (id) {
    case TM_GAME:
      game_tick();
      break;
    case TM_START:
      data_starttimer(TM_GAME, 0);
      break;
    case TM_REPRISE:
      game_reprise();
      playing = true;
      data_starttimer(TM_GAME, 0);
      break;
    case TM_GAMEOVER:
      game_over();
      data_starttimer(TM_IDLE, 0);
      data_starttimer(TM_TIMEOUT, 0);
      break;
    case TM_IDLE:
      game_idle = true;
      break;
    case TM_TIMEOUT:
      SetMode(MODE_TIME_1);
      break;
    default:
      break;
  }
}

void ZT_GameEngine_VTech::do_update() {
  switch (mode) {
    case MODE_TIME_1:
    case MODE_TIME_2:
    case MODE_ALARM:
    case MODE_DATE:
      clock_update(-1);
      break;
    default:
      break;
  }
}

void ZT_GameEngine_VTech::game_start(int) {}

void ZT_GameEngine_VTech::game_reprise() {}

void ZT_GameEngine_VTech::game_over() {}

void ZT_GameEngine_VTech::level_update(int) {}

void ZT_GameEngine_VTech::game_tick() {}

void ZT_GameEngine_VTech::score_add(int n) {
  score += n;
  if (score > 9999) score -= 10000;
  score_update();
  level_update(-1);
}

void ZT_GameEngine_VTech::score_update() {
  int value = score;
  while (value >= 10000) value -= 10000;
  for (int p = 1; p <= 4; p++) show(data, PS_NUMBER, p, false);
  if (value < 0) return;
  if (value >= 1000) display_number(1, value / 1000, true);
  if (value >= 100) display_number(2, value / 100 % 10, true);
  if (value >= 10) display_number(3, value / 10 % 10, true);
  display_number(4, value % 10, true);
}

void ZT_GameEngine_VTech::misses_add(int n) {
  misses += n;
  miss_update();
}

void ZT_GameEngine_VTech::miss_update() {
  for (int i = 1; i <= 10; i++) show(data, PS_MISS, i, misses >= i);
}

void ZT_GameEngine_VTech::display_number(int pos, int digit, bool show_it) {
  if (digit < 0 || digit > 9) {
    if (show_it) show(data, PS_NUMBER, pos, false);
    return;
  }
  int index = (display_flags & VTF_NUMBER_PER_DIGIT) ? (pos - 1) * 10 + digit : digit;
  if (show_it) show(data, PS_NUMBER, pos, true);
  picture(data, PS_NUMBER, pos, IM_NUMBER, index);
}

void ZT_GameEngine_VTech::setnumber(int value, int pos_tens, int pos_units, bool leading_zero) {
  if (static_cast<unsigned int>(value) > 99) return;
  if (value < 10) {
    display_number(pos_tens, leading_zero ? 0 : -1, true);
    display_number(pos_units, value, true);
  } else {
    display_number(pos_tens, value / 10, true);
    display_number(pos_units, value % 10, true);
  }
}

void ZT_GameEngine_VTech::clock_update(int clock_mode) {
  if (clock_mode == -1) clock_mode = mode;
  // The watch modes below set all four digits themselves (shown or blanked),
  // so lighting them first would only toggle a blank digit on every pass.
  bool sets_digits = clock_mode == MODE_TIME_1 || clock_mode == MODE_TIME_2 ||
                     clock_mode == MODE_ALARM || clock_mode == MODE_CHRONO ||
                     clock_mode == MODE_DATE;
  if (!sets_digits)
    for (int p = 1; p <= 4; p++) show(data, PS_NUMBER, p, true);
  ZT_Platform_Time now = platform_get()->time_get();
  if (clock_mode == MODE_CHRONO) {
    show(data, PS_TIME_SEMICOLON, 0, true);
    setnumber(0, 1, 2, true);
    setnumber(0, 3, 4, true);
    return;
  }
  show(data, PS_TIME_SEMICOLON, 0, now.second % 2 == 0);
  switch (clock_mode) {
    case MODE_TIME_1:
    case MODE_TIME_2: {
      show(data, PS_TIME_AM, 0, now.hour <= 11);
      show(data, PS_TIME_PM, 0, now.hour > 11);
      int hour = now.hour > 12 ? now.hour - 12 : now.hour;
      setnumber(hour, 1, 2, false);
      setnumber(now.minute, 3, 4, true);
      break;
    }
    case MODE_ALARM:
      show(data, PS_TIME_AM, 0, true);
      setnumber(12, 1, 2, true);
      setnumber(0, 3, 4, true);
      break;
    case MODE_DATE:
      setnumber(now.day, 1, 2, false);
      setnumber(now.month, 3, 4, false);
      break;
    default:
      break;
  }
}

void ZT_GameEngine_VTech::do_game_start(int game_mode) {
  data_hideall(true);
  score = 0;
  show(data, game_mode == MODE_GAME_A ? PS_GAME_A : PS_GAME_B, 0, true);
  score_update();
  playing = true;
  game_idle = false;
  misses = 0;
  miss_update();
  level_update(game_mode);
  game_start(game_mode);
  // The previous game's idle and timeout timers would otherwise end this one.
  data.timer_get(TM_IDLE)->stop();
  data.timer_get(TM_TIMEOUT)->stop();
  data_starttimer(TM_START, 0);
}

void ZT_GameEngine_VTech::layout_apply(const Layout* rows, size_t count) {
  for (size_t i = 0; i < count; i++)
    data.position_change(rows[i].id, rows[i].index, rows[i].x, rows[i].y);
}

void ZT_GameEngine_VTech::sounds_add() {
  data.sound_add(SND_GAMEOVER, "Gameover.wav");
  data.sound_add(SND_GOT, "Got.wav");
  data.sound_add(SND_MISS, "Miss.wav");
  data.sound_add(SND_MOVE, "Move.wav");
  data.sound_add(SND_START, "Start.wav");
}

void ZT_GameEngine_VTech::state_save(ZT_StateWriter& out) {
  ZT_Game::state_save(out);
  out.i32(display_flags);
  out.i32(score);
  out.i32(misses);
  out.b(playing);
  out.b(game_idle);
}

bool ZT_GameEngine_VTech::state_load(ZT_StateReader& in) {
  if (!ZT_Game::state_load(in)) return false;
  if (in.i32() != display_flags) in.fail();  // the layout, fixed by the game class
  int32_t new_score = in.i32_in(0, 9999);
  int32_t new_misses = in.i32_in(0, 1 << 20);
  bool new_playing = in.b();
  bool new_idle = in.b();
  // Switching on always enters a mode: a handheld on without one never was.
  if (turned_on && mode < 0) in.fail();
  if (!in.ok()) return false;
  score = new_score;
  misses = new_misses;
  playing = new_playing;
  game_idle = new_idle;
  return true;
}
