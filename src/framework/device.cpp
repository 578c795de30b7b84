// SPDX-License-Identifier: MIT
// The handheld's body: the run loop, the keys the body keeps, drawing, zoom
// and the placement of the background picture.
#include "framework/device.h"

namespace {
const int kVolumeStep = 5;
const int kVolumeMax = ZT_Platform_MaxVolume;
const int kScrollStep = 15;
const double kLcdZoomMargin = 1.1;

// Switching off: the game hears it while still on, then the picture changes.
void turn_off(ZT_Game* game) {
  game->do_turnoff();
  game->Changed();
  game->turned_on = false;
}
}  // namespace

ZT_Device::ZT_Device(ZT_Platform* platform)
    : platform(platform),
      game(nullptr),
      datapath(platform->datapath_get()),
      bg_x(0),
      bg_y(0),
      volume(ZT_Platform_StartVolume),
      zoom(0),
      view_width(0),
      view_height(0),
      random(&own_random) {}

ZT_Device::~ZT_Device() {}

void ZT_Device::Run(ZT_Game* game) {
  Start(game);
  while (Step()) {
  }
  Finish();
}

void ZT_Device::Start(ZT_Game* game) {
  if (game == nullptr) return;
  this->game = game;
  Load();
  MoveBGCenter();
}

bool ZT_Device::Step() {
  if (game == nullptr) return false;
  ZT_Platform_Event event = {ZT_EVENT_KEY, -1};
  while (platform->event(game->turned_on ? game->do_gametype_get() : ZT_GAMETYPE_NONE, &event)) {
    if (!process_event(&event)) return false;
    event.type = ZT_EVENT_KEY;
    event.key = -1;
  }
  if (game->turned_on) game->Update();
  if (game->CheckChanged()) {
    platform->draw_clear();
    int bg = game->bgimage_get();
    if (bg >= 0) {
      ZT_GameData_Image* image = game->data.image_get(bg, 0);
      if (image != nullptr && image->image != nullptr)
        platform->draw_image(image->image, bg_x, bg_y);
    }
    draw_game();
    platform->draw_flip(view_width, view_height);
  }
  return true;
}

void ZT_Device::Finish() { Unload(); }

void ZT_Device::Load() {
  if (game != nullptr) game->Load(this, datapath);
}

void ZT_Device::Unload() {
  if (game != nullptr) game->Unload();
  game = nullptr;
}

void ZT_Device::TurnOn() {
  if (game == nullptr) return;
  MoveBGCenter();
  if (game->turned_on) return;
  game->turned_on = true;
  game->do_turnon();
  game->Changed();
}

bool ZT_Device::process_event(ZT_Platform_Event* event) {
  if (event->type == ZT_EVENT_QUIT) return false;
  if (game == nullptr) return true;
  if (event->type == ZT_EVENT_KEY) {
    switch (event->key) {
      case ZT_KEY_ENTER:
        TurnOn();
        return true;
      case ZT_KEY_BACK:
        if (game->turned_on) turn_off(game);
        return true;
      case ZT_KEY_POWER:
        if (game->turned_on)
          turn_off(game);
        else
          TurnOn();
        return true;
      case ZT_KEY_ESCAPE:
        return false;
      case ZT_KEY_VOLUME_UP:
        Volume(volume + kVolumeStep);
        return true;
      case ZT_KEY_VOLUME_DOWN:
        Volume(volume - kVolumeStep);
        return true;
      case ZT_KEY_ZOOM_0:
      case ZT_KEY_ZOOM_1:
      case ZT_KEY_ZOOM_2:
        zoom = event->key - ZT_KEY_ZOOM_0;
        ZoomChanged();
        break;  // the game sees the zoom key as well
      default:
        break;
    }
  }
  game->Event(event);
  if (game->turned_on || event->type != ZT_EVENT_KEY) return true;
  switch (event->key) {
    case ZT_KEY_UP:
      MoveBGOffset(0, kScrollStep);
      break;
    case ZT_KEY_DOWN:
      MoveBGOffset(0, -kScrollStep);
      break;
    case ZT_KEY_LEFT:
      MoveBGOffset(kScrollStep, 0);
      break;
    case ZT_KEY_RIGHT:
      MoveBGOffset(-kScrollStep, 0);
      break;
    case ZT_KEY_GAME_A:
    case ZT_KEY_GAME_B:
    case ZT_KEY_TIME:
      MoveBGCenter();
      break;
    default:
      break;
  }
  return true;
}

void ZT_Device::draw_game() {
  if (game == nullptr) return;
  for (auto& outer : game->data.positions)
    for (auto& inner : outer.second) {
      ZT_GameData_Position* item = inner.second.get();
      if (item == nullptr || !item->visible || item->image_id < 0) continue;
      ZT_GameData_Image* image = game->data.image_get(item->image_id, item->image_index);
      if (image == nullptr || image->image == nullptr) continue;
      std::pair<int, int> at = position(item);
      platform->draw_image(image->image, at.first, at.second);
    }
}

void ZT_Device::Volume(int v) {
  // The platform takes an unsigned 16-bit value: never hand it a negative one.
  if (v < 0) v = 0;
  if (v > kVolumeMax) v = kVolumeMax;
  volume = platform->sound_volume(static_cast<unsigned short>(v));
}

void ZT_Device::ZoomChanged() {
  if (game == nullptr) return;
  if (zoom == 1) {
    view_width = static_cast<int>(game->lcd_width * kLcdZoomMargin);
    view_height = static_cast<int>(game->lcd_height * kLcdZoomMargin);
  } else if (zoom == 2) {
    view_width = game->zoom_width;
    view_height = game->zoom_height;
  } else {
    view_width = 0;
    view_height = 0;
  }
  game->Changed();
}

int ZT_Device::ZoomNext(int step) {
  // Zoom 1 is the LCD, the closest view; 2 the handheld's box.
  static const int kByMagnification[] = {0, 2, 1};
  int rank = 0;
  while (rank < 2 && kByMagnification[rank] != zoom) ++rank;
  rank += step;
  if (rank < 0) rank = 0;
  if (rank > 2) rank = 2;
  return kByMagnification[rank];
}

void ZT_Device::MoveBGCenter() {
  if (game == nullptr) return;
  bg_x = (platform->width_get() - game->lcd_width) / 2 - game->lcd_x;
  bg_y = (platform->height_get() - game->lcd_height) / 2 - game->lcd_y;
  game->Changed();
}

void ZT_Device::MoveBGOffset(int dx, int dy) {
  bg_x += dx;
  bg_y += dy;
  if (game != nullptr) game->Changed();
}

void ZT_Device::MoveBG(int x, int y) {
  bg_x = x;
  bg_y = y;
  if (game != nullptr) game->Changed();
}

std::pair<int, int> ZT_Device::position(ZT_GameData_Position* position) {
  return std::make_pair(bg_x + position->x, bg_y + position->y);
}

void ZT_Device::state_save(ZT_StateWriter& out) {
  out.i32(bg_x);
  out.i32(bg_y);
  out.i32(volume);
  out.i32(zoom);
  out.i32(view_width);
  out.i32(view_height);
}

bool ZT_Device::state_load(ZT_StateReader& in) {
  const int32_t limit = 1 << 20;
  int32_t x = in.i32_in(-limit, limit);
  int32_t y = in.i32_in(-limit, limit);
  int32_t v = in.i32_in(0, kVolumeMax);
  int32_t z = in.i32_in(0, 2);
  int32_t w = in.i32_in(0, limit);
  int32_t h = in.i32_in(0, limit);
  if (!in.ok()) return false;
  bg_x = x;
  bg_y = y;
  zoom = z;
  view_width = w;
  view_height = h;
  // The platform's volume is its owner's to restore: setting it here would
  // overwrite one that differs from the device's (keys pressed in an earlier game).
  volume = v;
  if (game != nullptr) game->Changed();
  return true;
}
