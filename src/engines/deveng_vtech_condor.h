// SPDX-License-Identifier: MIT
// The game logic of Condor, Pancake and Roller Coaster: items travel three
// lanes and an exit run while the player hands them on from station to station.
#ifndef ZT_ENGINES_DEVENG_VTECH_CONDOR_H
#define ZT_ENGINES_DEVENG_VTECH_CONDOR_H

#include <cstdint>

#include "engines/deveng_vtech.h"

class ZT_GameEngine_VTech_Condor : public ZT_GameEngine_VTech {
 public:
  enum {
    PS_CHAR = 13,        // the player at stations 1 to 3
    PS_ITEM = 14,        // the track; indices 28 to 30 are the miss markers
    PS_ITEM_LEFT = 15,   // left decoration
    PS_ITEM_RIGHT = 16,  // right decoration
  };
  enum {
    IM_CHAR = 14,
    IM_ITEM = 15,
    IM_ITEM_LEFT = 16,
    IM_ITEM_RIGHT = 17,
  };
  // Variant flags.
  enum {
    CF_TRACK_ZERO = 1,   // track index 0 exists; items appear there in phase 4
    CF_LEFT_ZERO = 2,    // left decoration index 0 exists and is always shown
    CF_RIGHT_AB = 4,     // right decoration 0 and 1 are "1a"/"1b"; index 0 always shown
    CF_RIGHT_EXTRA = 8,  // right decoration indices 5 and 6 exist
  };
  // Track indices of the lane ends and the miss markers.
  enum {
    TRACK_END_1 = 7,
    TRACK_END_2 = 16,
    TRACK_END_3 = 23,
    TRACK_EXIT = 27,
    TRACK_MISS_1 = 28,
    TRACK_MISS_2 = 29,
    TRACK_MISS_3 = 30,
  };

  ZT_GameEngine_VTech_Condor(int display_flags, int flags);
  ~ZT_GameEngine_VTech_Condor() override;

  void Event(ZT_Platform_Event* event) override;
  void do_timer(int id) override;
  void game_start(int mode) override;
  void game_reprise() override;
  void game_over() override;
  void level_update(int mode) override;
  void game_tick() override;
  void state_save(ZT_StateWriter& out) override;
  bool state_load(ZT_StateReader& in) override;

  void char_update(int pos);
  void items_left_update(int frame);
  void items_right_update(int phase);
  void showall_miss(bool show);

  int flags;
  int char_pos;
  int items_left;
  int spawn_pos;
  int spawn_phase;
  int start_phase;
  uint16_t phase;
  uint16_t level;

 private:
  void track_copy(int from, int to);
  void track_clear(int index);
  void track_set(int index, int state);
  bool track_holds(int index, int state);
  int track_count_moving(int first, int last);
  void miss_handle(int end, int marker);
};

#endif
