// The handheld's body: runs one game, keeps the body's keys (power, volume,
// zoom, leave), polls the game's timers and draws its picture.
#ifndef ZT_FRAMEWORK_DEVICE_H
#define ZT_FRAMEWORK_DEVICE_H

#include <string>
#include <utility>

#include "framework/game.h"
#include "framework/gamedata.h"
#include "platform/platform.h"

class ZT_Device {
 public:
  explicit ZT_Device(ZT_Platform* platform);
  ~ZT_Device();

  void Run(ZT_Game* game);
  void Load();
  void Unload();
  void TurnOn();
  bool process_event(ZT_Platform_Event* event);
  void draw_game();
  void Volume(int volume);
  void ZoomChanged();
  void MoveBGCenter();
  void MoveBGOffset(int dx, int dy);
  void MoveBG(int x, int y);
  std::pair<int, int> position(ZT_GameData_Position* position);

  ZT_Platform* platform;
  ZT_Game* game;
  std::string datapath;
  int bg_x;
  int bg_y;
  int volume;
  int zoom;
  int view_width;
  int view_height;
};

#endif
