// SPDX-License-Identifier: MIT
// The handheld's body: runs one game, keeps the body's keys (power, volume,
// zoom, leave), polls the game's timers and draws its picture.
#ifndef ZT_FRAMEWORK_DEVICE_H
#define ZT_FRAMEWORK_DEVICE_H

#include <string>
#include <utility>

#include "framework/game.h"
#include "framework/gamedata.h"
#include "framework/random.h"
#include "framework/state.h"
#include "platform/platform.h"

class ZT_Device {
 public:
  explicit ZT_Device(ZT_Platform* platform);
  ~ZT_Device();

  // Runs the game until the user leaves it: Start, Step until false, Finish.
  void Run(ZT_Game* game);
  // Attaches and loads the game and centres its picture; throws what Load throws.
  void Start(ZT_Game* game);
  // One pass of the run loop: events, timers, and a frame when the game changed.
  // False when the user left the game (Escape or a quit event).
  bool Step();
  // Unloads the game after its last step.
  void Finish();
  void Load();
  void Unload();
  void TurnOn();
  bool process_event(ZT_Platform_Event* event);
  void draw_game();
  void Volume(int volume);
  void ZoomChanged();
  // The zoom level `step` places from the current one in order of
  // magnification (none, the handheld, the LCD), stopping at either end.
  int ZoomNext(int step);
  void MoveBGCenter();
  void MoveBGOffset(int dx, int dy);
  void MoveBG(int x, int y);
  std::pair<int, int> position(ZT_GameData_Position* position);
  // Save states: picture placement, volume and zoom (the game saves itself).
  void state_save(ZT_StateWriter& out);
  bool state_load(ZT_StateReader& in);

  ZT_Platform* platform;
  ZT_Game* game;
  std::string datapath;
  int bg_x;
  int bg_y;
  int volume;
  int zoom;
  int view_width;
  int view_height;
  // The engines' pseudo-random numbers: the device's own unless the one who
  // runs it (the menu) shares a generator of its own.
  ZT_Random* random;

 private:
  ZT_Random own_random;
};

#endif
