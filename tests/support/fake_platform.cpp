// SPDX-License-Identifier: MIT
// The in-memory platform used by every test above the SDL layer.
#include "support/fake_platform.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

int FakeImage::live = 0;
int FakeSound::live = 0;

namespace {
bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}
}  // namespace

FakeImage::FakeImage(const std::string& path, int width, int height, bool has_transparent,
                     ZT_Platform_RGB transparent)
    : path(path),
      width(width),
      height(height),
      has_transparent(has_transparent),
      transparent(transparent) {
  ++live;
}

FakeImage::~FakeImage() { --live; }

bool FakeImage::resize_fit(int w, int h) {
  if (width <= 0 || height <= 0) return false;
  float scale = std::min(static_cast<float>(w) / width, static_cast<float>(h) / height);
  width = static_cast<int>(width * scale);
  height = static_cast<int>(height * scale);
  return true;
}

FakeSound::FakeSound(const std::string& path) : path(path) { ++live; }
FakeSound::~FakeSound() { --live; }

FakePlatform::FakePlatform() {}
FakePlatform::~FakePlatform() {}

unsigned int FakePlatform::time_ms_get() {
  return (now.hour * 3600u + now.minute * 60u + now.second) * 1000u;
}

bool FakePlatform::event(ZT_Platform_GameType type, ZT_Platform_Event* out) {
  event_types.push_back(type);
  while (!script.empty() && script.begin()->first <= ticks) {
    queue.push_back(script.begin()->second);
    script.erase(script.begin());
  }
  if (queue.empty()) {
    ticks += tick_step;
    if (script.empty() && ++idle_polls > max_idle_polls)
      throw std::runtime_error("FakePlatform: polled with nothing left to happen");
    return false;
  }
  idle_polls = 0;
  ZT_Platform_Event e = queue.front();
  queue.pop_front();
  out->type = e.type;
  if (e.type == ZT_EVENT_KEY) out->key = e.key;
  return true;
}

void FakePlatform::draw_clear() {
  DrawCall c;
  c.kind = DrawCall::CLEAR;
  draws.push_back(c);
}

void FakePlatform::draw_image(ZT_Platform_Image* image, int x, int y) {
  DrawCall c;
  c.kind = DrawCall::IMAGE;
  FakeImage* fake = dynamic_cast<FakeImage*>(image);
  c.path = fake ? fake->path : std::string();
  c.x = x;
  c.y = y;
  draws.push_back(c);
}

void FakePlatform::draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) {
  DrawCall c;
  c.kind = DrawCall::LINE;
  c.x = x1;
  c.y = y1;
  c.x2 = x2;
  c.y2 = y2;
  if (colour) {
    c.has_colour = true;
    c.colour = *colour;
  }
  draws.push_back(c);
}

void FakePlatform::draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                                  ZT_Platform_RGB* fill, int alpha) {
  DrawCall c;
  c.kind = DrawCall::RECTANGLE;
  c.x = x1;
  c.y = y1;
  c.x2 = x2;
  c.y2 = y2;
  if (border) {
    c.has_colour = true;
    c.colour = *border;
  }
  if (fill) {
    c.has_fill = true;
    c.fill = *fill;
  }
  c.alpha = alpha;
  draws.push_back(c);
}

void FakePlatform::draw_flip(int w, int h) {
  DrawCall c;
  c.kind = DrawCall::FLIP;
  c.x2 = w;
  c.y2 = h;
  draws.push_back(c);
}

void FakePlatform::text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) {
  DrawCall c;
  c.kind = DrawCall::TEXT;
  c.path = text;
  c.x = x;
  c.y = y;
  if (colour) {
    c.has_colour = true;
    c.colour = *colour;
  }
  draws.push_back(c);
}

int FakePlatform::text_width(const std::string& text) {
  return static_cast<int>(text.size()) * char_width;
}

int FakePlatform::text_height(const std::string&) { return text_h; }

void FakePlatform::sound_play(ZT_Platform_Sound* sound) {
  FakeSound* fake = dynamic_cast<FakeSound*>(sound);
  played.push_back(fake ? fake->path : std::string());
}

int FakePlatform::sound_volume(unsigned short v) {
  volume_requests.push_back(v);
  volume = v > 100 ? 100 : v;
  return volume;
}

ZT_Platform_Image* FakePlatform::image_load(const std::string& path, ZT_Platform_RGB* transparent) {
  loaded.push_back(path);
  for (const std::string& name : failing)
    if (ends_with(path, name))
      throw ZT_Exception("Unable to load image " + path + ": fake failure");
  int w = default_image_width, h = default_image_height;
  for (const auto& size : image_sizes)
    if (ends_with(path, size.first)) {
      w = size.second.first;
      h = size.second.second;
    }
  ZT_Platform_RGB key = {0, 0, 0};
  if (transparent) key = *transparent;
  return new FakeImage(path, w, h, transparent != nullptr, key);
}

ZT_Platform_Sound* FakePlatform::sound_load(const std::string& path) {
  loaded.push_back(path);
  for (const std::string& name : failing)
    if (ends_with(path, name))
      throw ZT_Exception("Unable to load sound sample " + path + ": fake failure");
  return new FakeSound(path);
}

void FakePlatform::push_key(int key) {
  ZT_Platform_Event e = {ZT_EVENT_KEY, key};
  queue.push_back(e);
}

void FakePlatform::push_quit() {
  ZT_Platform_Event e = {ZT_EVENT_QUIT, -1};
  queue.push_back(e);
}

void FakePlatform::at(unsigned int tick, int key) {
  ZT_Platform_Event e = {ZT_EVENT_KEY, key};
  script.insert(std::make_pair(tick, e));
  if (tick_step == 0) tick_step = 1;
}

void FakePlatform::at_quit(unsigned int tick) {
  ZT_Platform_Event e = {ZT_EVENT_QUIT, -1};
  script.insert(std::make_pair(tick, e));
  if (tick_step == 0) tick_step = 1;
}

void FakePlatform::set_time(int hour, int minute, int second, int day, int month, int year) {
  now.hour = static_cast<int16_t>(hour);
  now.minute = static_cast<int16_t>(minute);
  now.second = static_cast<int16_t>(second);
  now.day = static_cast<int16_t>(day);
  now.month = static_cast<int16_t>(month);
  now.year = static_cast<int16_t>(year);
}

std::vector<DrawCall> FakePlatform::flips() const {
  std::vector<DrawCall> out;
  for (const DrawCall& c : draws)
    if (c.kind == DrawCall::FLIP) out.push_back(c);
  return out;
}
