// SPDX-License-Identifier: MIT
// The three-lane catching game of Monkey, Pirate and Defendo: items advance
// down the lanes in turn and the character catches them at its stations.
#ifndef ZT_ENGINES_DEVENG_VTECH_MONKEY_H
#define ZT_ENGINES_DEVENG_VTECH_MONKEY_H

#include <cstddef>
#include <cstdint>

#include "engines/deveng_vtech.h"

class ZT_GameEngine_VTech_Monkey : public ZT_GameEngine_VTech {
 public:
  enum {
    MF_TARGET = 1,
  };
  enum {
    PS_CHAR = 13,
    PS_LANE = 16,
  };
  // Lane indices beyond the five steps.
  enum {
    LANE_GOT = 6,
    LANE_MISS = 7,
    LANE_TARGET = 8,
    LANE_CAUGHT = 9,
  };
  enum {
    TM_CATCH = 6,
  };

  ZT_GameEngine_VTech_Monkey(int display_flags, int flags);
  ~ZT_GameEngine_VTech_Monkey() override;

  void Event(ZT_Platform_Event* event) override;
  void do_timer(int id) override;
  void game_start(int mode) override;
  void game_reprise() override;
  void game_over() override;
  void level_update(int mode) override;
  void game_tick() override;
  void state_save(ZT_StateWriter& out) override;
  bool state_load(ZT_StateReader& in) override;

  void char_update(int pos, bool catching);
  void showall_miss(bool show);
  void showall_target(bool show);

  int flags;
  int char_pos;
  uint16_t move_lane;
  uint16_t level;
};

#endif
