// SPDX-License-Identifier: MIT
// The watch engine shared by every "Time & Fun" handheld: modes, clock, score,
// miss marks and the timers that sequence a game's start, pauses and end.
#ifndef ZT_ENGINES_DEVENG_VTECH_H
#define ZT_ENGINES_DEVENG_VTECH_H

#include <cstddef>

#include "framework/game.h"

class ZT_GameEngine_VTech : public ZT_Game {
 public:
  enum {
    MODE_OFF = 0,
    MODE_ON = 1,
    MODE_GAME_A = 3,
    MODE_GAME_B = 4,
    MODE_TIME_1 = 5,
    MODE_TIME_2 = 6,
    MODE_ALARM = 7,
    MODE_CHRONO = 8,
    MODE_DATE = 9,
  };
  enum {
    PS_NUMBER = 0,
    PS_TIME_SEMICOLON = 1,
    PS_MISS = 2,
    PS_GAME_A = 3,
    PS_GAME_B = 4,
    PS_ALARM = 5,
    PS_BELL = 6,
    PS_CHRONO = 7,
    PS_DATE = 8,
    PS_TIME_1 = 9,
    PS_TIME_2 = 10,
    PS_TIME_AM = 11,
    PS_TIME_PM = 12,
  };
  enum {
    IM_BG = 0,
    IM_NUMBER = 1,
    IM_MISS = 3,
  };
  enum {
    TM_GAME = 0,
    TM_START = 1,
    TM_REPRISE = 2,
    TM_GAMEOVER = 3,
    TM_IDLE = 4,
    TM_TIMEOUT = 5,
  };
  // The sounds every game engine declares, with sounds_add.
  enum {
    SND_GAMEOVER = 0,
    SND_GOT = 1,
    SND_MISS = 2,
    SND_MOVE = 3,
    SND_START = 4,
  };
  enum {
    VTF_NUMBER_PER_DIGIT = 1,
    VTF_MISS_PER_MARK = 2,
  };

  explicit ZT_GameEngine_VTech(int display_flags);
  ~ZT_GameEngine_VTech() override;

  void Event(ZT_Platform_Event* event) override;
  int bgimage_get() override;
  ZT_Platform_GameType do_gametype_get() override;
  void do_turnon() override;
  void do_turnoff() override;
  int do_modecount() override;
  bool do_setmode(int mode) override;
  void do_timer(int id) override;
  void do_update() override;
  void state_save(ZT_StateWriter& out) override;
  bool state_load(ZT_StateReader& in) override;

  // Place the game's own segments at the end of a game start.
  virtual void game_start(int mode);
  // Undo the miss display before play resumes.
  virtual void game_reprise();
  // The game has ended: play its sound.
  virtual void game_over();
  // Set the speed for a game mode, or for the current one when mode is -1.
  virtual void level_update(int mode);
  // One step of the game, on each expiry of TM_GAME.
  virtual void game_tick();

  void score_add(int n);
  void score_update();
  void misses_add(int n);
  void miss_update();
  void display_number(int pos, int digit, bool show);
  void setnumber(int value, int pos_tens, int pos_units, bool leading_zero);
  void clock_update(int mode);
  void do_game_start(int mode);

  // Declares the five sounds of the game engines; this engine plays none itself.
  void sounds_add();

  // One row of a layout table: where a declared position goes.
  struct Layout {
    int id;
    int index;
    int x;
    int y;
  };
  // Moves the positions of a layout table, in the table's order.
  void layout_apply(const Layout* rows, size_t count);

  int display_flags;
  int score;
  int misses;
  bool playing;
  bool game_idle;
};

#endif
