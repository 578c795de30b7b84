// SPDX-License-Identifier: MIT
// The registry of a game's numbered images, positions, sounds and timers, and
// the items themselves (loading, timer arithmetic).
#include "framework/gamedata.h"

#include "framework/device.h"
#include "framework/game.h"

void ZT_GameData_Item::Changed() {
  if (data != nullptr) data->Changed();
}

ZT_Platform* ZT_GameData_Item::platform_get() {
  if (data == nullptr || data->game == nullptr) return nullptr;
  return data->game->platform_get();
}

ZT_GameData_Image::ZT_GameData_Image(ZT_GameData* data, const std::string& file,
                                     ZT_Platform_RGB* transparent)
    : ZT_GameData_Item(data),
      file(file),
      image(nullptr),
      has_transparent(transparent != nullptr),
      transparent(ZT_Platform_RGB_create(0, 0, 0)) {
  if (transparent != nullptr) this->transparent = *transparent;
}

ZT_GameData_Image::~ZT_GameData_Image() { delete image; }

void ZT_GameData_Image::Load(const std::string& dir) {
  ZT_Platform* platform = platform_get();
  if (platform == nullptr) return;  // not attached: there is nothing to load with
  delete image;
  image = nullptr;  // a failing load must not leave a dangling picture behind
  image = platform->image_load(dir + "/" + file, has_transparent ? &transparent : nullptr);
  Changed();
}

ZT_GameData_Sound::ZT_GameData_Sound(ZT_GameData* data, const std::string& file)
    : ZT_GameData_Item(data), file(file), sound(nullptr) {}

ZT_GameData_Sound::~ZT_GameData_Sound() { delete sound; }

void ZT_GameData_Sound::Load(const std::string& dir) {
  ZT_Platform* platform = platform_get();
  if (platform == nullptr) return;
  delete sound;
  sound = nullptr;
  sound = platform->sound_load(dir + "/" + file);
}

ZT_GameData_Position::ZT_GameData_Position(ZT_GameData* data, int x, int y)
    : ZT_GameData_Item(data),
      x(x),
      y(y),
      image_id(-1),
      image_index(-1),
      state(-1),
      visible(false) {}

ZT_GameData_Timer::ZT_GameData_Timer(ZT_GameData* data, int id, unsigned int interval, bool repeat)
    : ZT_GameData_Item(data),
      id(id),
      interval(interval),
      repeat(repeat),
      starttime(0),
      pending_delay(0) {}

namespace {
// A start tick of 0 would read as "stopped"; a clock standing at 0 (or a
// re-arm that wraps to 0) starts the period one millisecond later instead.
uint32_t running_start(uint32_t tick) { return tick == 0 ? 1 : tick; }

// The clock reads 0 while the game is not attached to a device.
uint32_t timer_ticks(ZT_GameData_Timer* timer) {
  ZT_Platform* platform = timer->platform_get();
  return platform != nullptr ? platform->ticks_get() : 0;
}
}  // namespace

void ZT_GameData_Timer::start(unsigned int ms) {
  if (ms != 0) interval = ms;
  pending_delay = 0;
  starttime = running_start(timer_ticks(this));
}

void ZT_GameData_Timer::stop() { starttime = 0; }

bool ZT_GameData_Timer::started() { return interval != 0 && starttime != 0; }

bool ZT_GameData_Timer::finished() {
  if (interval == 0 || starttime == 0) return false;
  // By the signed difference, so that the clock's wrap after 49.7 days is
  // harmless: a period begins at most a minute ahead (a delayed re-arm), and
  // its end is seen long before it lies 2^31 ms (24.8 days) back.
  const int32_t since = static_cast<int32_t>(timer_ticks(this) - starttime);
  if (since < 0) return false;  // a delayed period that has not begun yet
  return static_cast<uint32_t>(since) > interval;
}

void ZT_GameData_Timer::loop() {
  if (!finished()) return;
  if (!repeat) {
    starttime = 0;
    pending_delay = 0;
    return;
  }
  // Counts from now, not from the expiry: missed periods are never caught up.
  starttime = running_start(timer_ticks(this) + pending_delay);
  pending_delay = 0;
}

void ZT_GameData_Timer::delay(unsigned int ms) {
  if (interval != 0 && starttime != 0) pending_delay += ms;
}

ZT_GameData::~ZT_GameData() {
  images.clear();
  sounds.clear();
  timers.clear();
  positions.clear();
}

void ZT_GameData::image_add(int id, int index, const std::string& file,
                            ZT_Platform_RGB* transparent) {
  if (file.empty()) throw ZT_Exception("Image cannot be blank");
  linked_ptr<ZT_GameData_Image> item(new ZT_GameData_Image(this, file, transparent));
  images[id][index] = item;
  Changed();
}

void ZT_GameData::position_add(int id, int index, int x, int y, int image_id, int image_index,
                               const std::string& file, ZT_Platform_RGB* transparent) {
  linked_ptr<ZT_GameData_Position> item(new ZT_GameData_Position(this, x, y));
  positions[id][index] = item;
  if (image_id >= 0) {
    // The first declaration of an image key supplies its file; later ones share it.
    if (image_get(image_id, image_index) == nullptr)
      image_add(image_id, image_index, file, transparent);
    item->image_id = image_id;
    item->image_index = image_index;
    Changed();
  }
  Changed();
}

void ZT_GameData::position_change(int id, int index, int x, int y) {
  ZT_GameData_Position* position = position_get(id, index);
  if (position == nullptr) return;
  position->x = x;
  position->y = y;
  Changed();
}

void ZT_GameData::sound_add(int id, const std::string& file) {
  if (file.empty()) throw ZT_Exception("Sound cannot be blank");
  linked_ptr<ZT_GameData_Sound> item(new ZT_GameData_Sound(this, file));
  sounds[id] = item;
  Changed();
}

void ZT_GameData::timer_add(int id, unsigned int interval, bool repeat) {
  linked_ptr<ZT_GameData_Timer> item(new ZT_GameData_Timer(this, id, interval, repeat));
  timers[id] = item;
  Changed();
}

ZT_GameData_Image* ZT_GameData::image_get(int id, int index) {
  auto outer = images.find(id);
  if (outer == images.end()) return nullptr;
  auto inner = outer->second.find(index);
  return inner == outer->second.end() ? nullptr : inner->second.get();
}

ZT_GameData_Position* ZT_GameData::position_get(int id, int index) {
  auto outer = positions.find(id);
  if (outer == positions.end()) return nullptr;
  auto inner = outer->second.find(index);
  return inner == outer->second.end() ? nullptr : inner->second.get();
}

ZT_GameData_Sound* ZT_GameData::sound_get(int id) {
  auto it = sounds.find(id);
  return it == sounds.end() ? nullptr : it->second.get();
}

ZT_GameData_Timer* ZT_GameData::timer_get(int id) {
  auto it = timers.find(id);
  return it == timers.end() ? nullptr : it->second.get();
}

void ZT_GameData::Load(const std::string& path) {
  const std::string image_dir = path + "/" + "image";
  const std::string sound_dir = path + "/" + "sound";
  for (auto& outer : images)
    for (auto& inner : outer.second)
      if (inner.second.get() != nullptr) inner.second->Load(image_dir);
  for (auto& entry : sounds)
    if (entry.second.get() != nullptr) entry.second->Load(sound_dir);
  Changed();
}

void ZT_GameData::Unload() {
  images.clear();
  sounds.clear();
  timers.clear();
  positions.clear();
  Changed();
}

void ZT_GameData::Changed() {
  if (game != nullptr) game->Changed();
}
