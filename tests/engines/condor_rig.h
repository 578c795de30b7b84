// A Condor-family game on the fake platform, driven pass by pass like the
// device loop, with a probe that records every tick and game over.
#ifndef ZT_TESTS_ENGINES_CONDOR_RIG_H
#define ZT_TESTS_ENGINES_CONDOR_RIG_H

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engines/deveng_vtech_condor.h"
#include "framework/device.h"
#include "support/fake_platform.h"

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

template <class G>
class CondorRig {
 public:
  CondorRig() : device(&platform), game(new CondorProbe<G>) {
    device.game = game.get();
    device.Load();
  }
  ~CondorRig() { device.Unload(); }

  // Keys go through the device, which hands the handheld's keys on.
  void press(int key) {
    ZT_Platform_Event event = {ZT_EVENT_KEY, key};
    device.process_event(&event);
  }

  // Switch on and start a game: the first button press shows the time.
  void start(int key = ZT_KEY_GAME_A) {
    device.TurnOn();
    press(key);
    press(key);
  }

  // One pass of the device loop: timers and update, then a draw when changed.
  void pass() {
    if (game->turned_on) game->Update();
    if (game->CheckChanged()) device.draw_game();
  }

  void advance(unsigned int ms) {
    for (unsigned int i = 0; i < ms; i++) {
      platform.ticks++;
      pass();
    }
  }

  // Runs passes until one more tick has run; false if none came in time.
  bool next_tick(unsigned int limit = 10000) {
    size_t before = game->tick_phases.size();
    for (unsigned int i = 0; i < limit && game->tick_phases.size() == before; i++) advance(1);
    return game->tick_phases.size() > before;
  }

  ZT_GameData_Position* at(int id, int index) { return game->data.position_get(id, index); }
  ZT_GameData_Position* track(int index) { return at(Condor::PS_ITEM, index); }
  bool visible(int id, int index) { return at(id, index)->visible; }

  // Track indices that show an item.
  std::vector<int> items() {
    std::vector<int> shown;
    for (int i = game->spawn_pos; i <= Condor::TRACK_EXIT; i++)
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
    for (int i = 0; i < 3 && game->char_pos > station; i++) press(ZT_KEY_LEFT);
    for (int i = 0; i < 3 && game->char_pos < station; i++) press(ZT_KEY_RIGHT);
  }

  // Sounds played since the last call, by file name.
  std::vector<std::string> sounds() {
    std::vector<std::string> names;
    for (const std::string& path : platform.played)
      names.push_back(path.substr(path.rfind('/') + 1));
    platform.played.clear();
    return names;
  }

  // The last sound played since the last call, or "" for none.
  std::string last_sound() {
    std::vector<std::string> names = sounds();
    return names.empty() ? std::string() : names.back();
  }

  FakePlatform platform;
  ZT_Device device;
  std::unique_ptr<CondorProbe<G> > game;
};

// Keys of every declared position of a game.
inline std::set<std::pair<int, int> > declared_keys(ZT_Game* game) {
  std::set<std::pair<int, int> > keys;
  for (auto& outer : game->data.positions)
    for (auto& inner : outer.second) keys.insert(std::make_pair(outer.first, inner.first));
  return keys;
}

// Right decoration indices lit in a phase, as the handhelds show them.
inline bool right_lit(int phase, int index) {
  static const std::set<int> lit[] = {{0, 1, 3, 4}, {0, 1, 2, 4}, {0, 1, 2, 4}, {0, 1, 3, 5},
                                      {0, 1, 3, 6}, {0, 1, 3, 6}, {0, 1, 2, 5}};
  return phase >= 0 && phase <= 6 && lit[phase].count(index) > 0;
}

#endif
