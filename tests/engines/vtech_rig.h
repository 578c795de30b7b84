// SPDX-License-Identifier: MIT
// A game on the fake platform, driven pass by pass like the device loop does,
// with the clock moved by the test; shared by the watch and Monkey-family tests.
#ifndef ZT_TESTS_ENGINES_VTECH_RIG_H
#define ZT_TESTS_ENGINES_VTECH_RIG_H

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engines/deveng_vtech.h"
#include "engines/deveng_vtech_monkey.h"
#include "framework/device.h"
#include "support/fake_platform.h"

template <class G>
class VTechRig {
 public:
  VTechRig() : device(&platform), game(new G) {
    device.game = game.get();
    device.Load();
  }
  ~VTechRig() { device.Unload(); }

  void on() { device.TurnOn(); }
  void off() { press(ZT_KEY_BACK); }

  // A key goes through the device, which hands the handheld's keys on.
  void press(int key) {
    ZT_Platform_Event event = {ZT_EVENT_KEY, key};
    device.process_event(&event);
  }

  // One pass of the device loop: timers, update, and a draw when changed.
  void pass() {
    if (game->turned_on) game->Update();
    if (game->CheckChanged()) device.draw_game();
  }

  // Moves the clock one millisecond at a time, with a pass after each.
  void advance(unsigned int ms) {
    for (unsigned int i = 0; i < ms; i++) {
      platform.ticks++;
      pass();
    }
  }

  bool visible(int id, int index) { return game->data.position_get(id, index)->visible; }
  int picture(int id, int index) { return game->data.position_get(id, index)->image_index; }

  // Sounds played since the last call, by file name.
  std::vector<std::string> sounds() {
    std::vector<std::string> names;
    for (const std::string& path : platform.played)
      names.push_back(path.substr(path.rfind('/') + 1));
    platform.played.clear();
    return names;
  }

  // The four digits as text: ' ' for a dark digit, else the digit its picture shows.
  std::string digits() {
    std::string text;
    for (int p = 1; p <= 4; p++) {
      if (!visible(ZT_GameEngine_VTech::PS_NUMBER, p)) {
        text += ' ';
        continue;
      }
      int index = picture(ZT_GameEngine_VTech::PS_NUMBER, p);
      text += static_cast<char>('0' + index % 10);
    }
    return text;
  }

  // Paths of every picture file the registry declared.
  std::set<std::string> declared_files() {
    std::set<std::string> files;
    for (auto& outer : game->data.images)
      for (auto& inner : outer.second)
        files.insert(device.datapath + "/" + game->folder + "/image/" + inner.second->file);
    return files;
  }

  // Every picture drawn since the log was cleared is a declared file, and
  // every visible position names a declared picture.
  bool only_declared_pictures_drawn(const std::set<std::string>& files, std::string* why) {
    for (const DrawCall& call : platform.draws)
      if (call.kind == DrawCall::IMAGE && files.count(call.path) == 0) {
        *why = "drew " + call.path;
        return false;
      }
    for (auto& outer : game->data.positions)
      for (auto& inner : outer.second) {
        ZT_GameData_Position* position = inner.second.get();
        if (position->visible && position->image_id >= 0 &&
            game->data.image_get(position->image_id, position->image_index) == nullptr) {
          *why = "position " + std::to_string(outer.first) + "," + std::to_string(inner.first) +
                 " shows an undeclared picture";
          return false;
        }
      }
    return true;
  }

  FakePlatform platform;
  ZT_Device device;
  std::unique_ptr<G> game;
};

// Counts the ticks so that a test can wait for the next one.
template <class G>
class Counted : public G {
 public:
  void game_tick() override {
    ++ticks;
    G::game_tick();
  }
  int ticks = 0;
};

// A Monkey-family player that stands in front of the item furthest down its lane.
// The lane whose item is nearest its station, or -1 when the lanes are empty.
inline int furthest_item_lane(ZT_GameEngine_VTech_Monkey* game) {
  int lane = -1, furthest = 0;
  for (int k = 0; k < 3; k++)
    for (int s = 5; s > furthest; s--)
      if (game->data.position_get(ZT_GameEngine_VTech_Monkey::PS_LANE + k, s)->visible) {
        furthest = s;
        lane = k;
      }
  return lane;
}

template <class G>
void autopilot(VTechRig<G>& rig) {
  typedef ZT_GameEngine_VTech_Monkey M;
  if (!rig.game->playing || (rig.game->mode != M::MODE_GAME_A && rig.game->mode != M::MODE_GAME_B))
    return;
  const int target = furthest_item_lane(rig.game.get());
  if (target < 0) return;
  while (rig.game->char_pos < target) rig.press(ZT_KEY_RIGHT);
  while (rig.game->char_pos > target) rig.press(ZT_KEY_LEFT);
}

// Keys of every declared position of a game.
inline std::set<std::pair<int, int> > position_keys(ZT_Game* game) {
  std::set<std::pair<int, int> > keys;
  for (auto& outer : game->data.positions)
    for (auto& inner : outer.second) keys.insert(std::make_pair(outer.first, inner.first));
  return keys;
}

#endif
