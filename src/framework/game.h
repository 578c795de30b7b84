// SPDX-License-Identifier: MIT
// The base of every simulated handheld: registry, power, mode, LCD geometry,
// redraw flag, and the hooks through which the device drives a game.
#ifndef ZT_FRAMEWORK_GAME_H
#define ZT_FRAMEWORK_GAME_H

#include <string>

#include "framework/gamedata.h"
#include "framework/state.h"
#include "platform/platform.h"

class ZT_Device;

class ZT_Game {
 public:
  ZT_Game();
  ZT_Game(const ZT_Game&) = delete;
  ZT_Game& operator=(const ZT_Game&) = delete;
  virtual ~ZT_Game();

  // Number of modes the game has.
  virtual int ModeCount();
  // An input event the device did not keep for itself.
  virtual void Event(ZT_Platform_Event* event);
  // Image id of the background picture, -1 for none.
  virtual int bgimage_get();
  // Game type handed to the platform's event translation while on.
  virtual ZT_Platform_GameType do_gametype_get();
  // The handheld is being switched on.
  virtual void do_turnon();
  // The handheld is being switched off.
  virtual void do_turnoff();
  // Number of modes; the base has none.
  virtual int do_modecount();
  // Asked to enter a mode; true accepts it.
  virtual bool do_setmode(int mode);
  // Timer id has expired.
  virtual void do_timer(int id);
  // Once per device loop pass while on, after the timers.
  virtual void do_update();
  // Save states: power, mode and the registry's positions and timers (timers
  // relative to the clock). Engines extend both with their own fields, base
  // first. Loading checks that the state fits this game's declarations; on
  // false the game may be half loaded and the caller restores it.
  virtual void state_save(ZT_StateWriter& out);
  virtual bool state_load(ZT_StateReader& in);

  void Load(ZT_Device* device, const std::string& path);
  void Unload();
  void SetMode(int mode);
  void Changed();
  bool CheckChanged();
  ZT_Platform* platform_get();
  void Update();

  void data_playsound(int id);
  void data_stopallsounds();
  void data_starttimer(int id, unsigned int ms);
  void data_delaytimer(int id, unsigned int ms);
  void data_stopalltimers();
  void data_hideall(bool reset);
  void data_showall();

  ZT_GameData data;
  std::string folder;
  int zoom_width;
  int zoom_height;
  bool turned_on;
  int mode;
  int lcd_x;
  int lcd_y;
  int lcd_width;
  int lcd_height;
  ZT_Device* device;
  bool changed;
};

#endif
