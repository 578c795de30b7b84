// SPDX-License-Identifier: MIT
// A game's numbered resources: images, positions, sounds and timers, always
// iterated in ascending key order (the drawing order and the timer order).
#ifndef ZT_FRAMEWORK_GAMEDATA_H
#define ZT_FRAMEWORK_GAMEDATA_H

#include <map>
#include <string>

#include "framework/linked_ptr.h"
#include "platform/platform.h"

class ZT_Game;
class ZT_GameData;

class ZT_GameData_Item {
 public:
  explicit ZT_GameData_Item(ZT_GameData* data) : data(data) {}
  virtual ~ZT_GameData_Item() {}
  // Mark the owning game for redraw.
  void Changed();
  // The platform, reached through registry, game and device.
  ZT_Platform* platform_get();

  ZT_GameData* data;
};

class ZT_GameData_Image : public ZT_GameData_Item {
 public:
  ZT_GameData_Image(ZT_GameData* data, const std::string& file, ZT_Platform_RGB* transparent);
  ~ZT_GameData_Image() override;
  void Load(const std::string& dir);

  std::string file;
  ZT_Platform_Image* image;
  bool has_transparent;
  ZT_Platform_RGB transparent;
};

class ZT_GameData_Sound : public ZT_GameData_Item {
 public:
  ZT_GameData_Sound(ZT_GameData* data, const std::string& file);
  ~ZT_GameData_Sound() override;
  void Load(const std::string& dir);

  std::string file;
  ZT_Platform_Sound* sound;
};

class ZT_GameData_Position : public ZT_GameData_Item {
 public:
  ZT_GameData_Position(ZT_GameData* data, int x, int y);

  int x;
  int y;
  int image_id;
  int image_index;
  int state;
  bool visible;
};

class ZT_GameData_Timer : public ZT_GameData_Item {
 public:
  ZT_GameData_Timer(ZT_GameData* data, int id, unsigned int interval, bool repeat);
  void start(unsigned int ms);
  void stop();
  bool started();
  bool finished();
  void loop();
  void delay(unsigned int ms);

  int id;
  uint32_t interval;  // ms
  bool repeat;
  uint32_t starttime;  // the platform's tick when the period began; 0: stopped
  uint32_t pending_delay;
};

class ZT_GameData {
 public:
  typedef std::map<int, linked_ptr<ZT_GameData_Image> > image_index_map;
  typedef std::map<int, linked_ptr<ZT_GameData_Position> > position_index_map;

  explicit ZT_GameData(ZT_Game* game) : game(game) {}
  ZT_GameData(const ZT_GameData&) = delete;
  ZT_GameData& operator=(const ZT_GameData&) = delete;
  ~ZT_GameData();

  void image_add(int id, int index, const std::string& file, ZT_Platform_RGB* transparent);
  void position_add(int id, int index, int x, int y, int image_id, int image_index,
                    const std::string& file, ZT_Platform_RGB* transparent);
  void position_change(int id, int index, int x, int y);
  void sound_add(int id, const std::string& file);
  void timer_add(int id, unsigned int interval, bool repeat);

  ZT_GameData_Image* image_get(int id, int index);
  ZT_GameData_Position* position_get(int id, int index);
  ZT_GameData_Sound* sound_get(int id);
  ZT_GameData_Timer* timer_get(int id);

  void Load(const std::string& path);
  void Unload();
  void Changed();

  ZT_Game* game;
  std::map<int, image_index_map> images;
  std::map<int, position_index_map> positions;
  std::map<int, linked_ptr<ZT_GameData_Sound> > sounds;
  std::map<int, linked_ptr<ZT_GameData_Timer> > timers;
};

#endif
