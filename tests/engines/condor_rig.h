// SPDX-License-Identifier: MIT
// A Condor-family game on the watch rig, with a probe that records every tick
// and game over.
#ifndef ZT_TESTS_ENGINES_CONDOR_RIG_H
#define ZT_TESTS_ENGINES_CONDOR_RIG_H

#include <set>
#include <string>
#include <vector>

#include "engines/deveng_vtech_condor.h"
#include "vtech_rig.h"

typedef ZT_GameEngine_VTech_Condor Condor;

// The bare engine with chosen variant flags.
template <int F>
class Flagged : public Condor {
 public:
  Flagged() : Condor(0, F) {}
};

template <class G>
class CondorProbe : public G {
 public:
  void game_tick() override {
    tick_phases.push_back(this->phase);
    tick_times.push_back(this->platform_get()->ticks_get());
    G::game_tick();
  }
  void game_over() override {
    ++game_overs;
    G::game_over();
  }

  std::vector<int> tick_phases;          // phase at the start of each tick
  std::vector<unsigned int> tick_times;  // clock at each tick
  int game_overs = 0;
};

// The watch rig with what the Condor tests need: ticks, the track and the player.
template <class G>
class CondorRig : public VTechRig<CondorProbe<G> > {
 public:
  // Switch on and start a game: the first button press shows the time.
  void start(int key = ZT_KEY_GAME_A) {
    this->on();
    this->press(key);
    this->press(key);
  }

  // Runs passes until one more tick has run; false if none came in time.
  bool next_tick(unsigned int limit = 10000) {
    size_t before = this->game->tick_phases.size();
    for (unsigned int i = 0; i < limit && this->game->tick_phases.size() == before; i++)
      this->advance(1);
    return this->game->tick_phases.size() > before;
  }

  ZT_GameData_Position* at(int id, int index) { return this->game->data.position_get(id, index); }
  ZT_GameData_Position* track(int index) { return at(Condor::PS_ITEM, index); }

  // Track indices that show an item.
  std::vector<int> items() {
    std::vector<int> shown;
    for (int i = this->game->spawn_pos; i <= Condor::TRACK_EXIT; i++)
      if (track(i)->visible) shown.push_back(i);
    return shown;
  }

  // The station that catches an item at this index, 0 on the exit run.
  int station_for(int index) {
    if (index <= Condor::TRACK_END_1) return 3;
    if (index <= Condor::TRACK_END_2) return 2;
    if (index <= Condor::TRACK_END_3) return 1;
    return 0;
  }

  void go_to(int station) {
    for (int i = 0; i < 3 && this->game->char_pos > station; i++) this->press(ZT_KEY_LEFT);
    for (int i = 0; i < 3 && this->game->char_pos < station; i++) this->press(ZT_KEY_RIGHT);
  }

  // The last sound played since the sounds were last read, or "" for none.
  std::string last_sound() {
    std::vector<std::string> names = this->sounds();
    return names.empty() ? std::string() : names.back();
  }
};

// Right decoration indices lit in a phase, as the handhelds show them.
inline bool right_lit(int phase, int index) {
  static const std::set<int> lit[] = {{0, 1, 3, 4}, {0, 1, 2, 4}, {0, 1, 2, 4}, {0, 1, 3, 5},
                                      {0, 1, 3, 6}, {0, 1, 3, 6}, {0, 1, 2, 5}};
  return phase >= 0 && phase <= 6 && lit[phase].count(index) > 0;
}

#endif
