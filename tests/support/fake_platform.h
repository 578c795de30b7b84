// SPDX-License-Identifier: MIT
// An in-memory ZT_Platform for tests: a scripted clock and calendar, an event
// queue (optionally fed by "at tick T press key K" steps), and logs of what was
// drawn, loaded and played.
#ifndef ZT_TESTS_SUPPORT_FAKE_PLATFORM_H
#define ZT_TESTS_SUPPORT_FAKE_PLATFORM_H

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class FakeImage : public ZT_Platform_Image {
 public:
  FakeImage(const std::string& path, int width, int height, bool has_transparent,
            ZT_Platform_RGB transparent);
  ~FakeImage() override;
  int width_get() override { return width; }
  int height_get() override { return height; }
  bool resize_fit(int width, int height) override;

  std::string path;
  int width;
  int height;
  bool has_transparent;
  ZT_Platform_RGB transparent;
  static int live;  // images alive right now, to catch leaks and double deletes
};

class FakeSound : public ZT_Platform_Sound {
 public:
  explicit FakeSound(const std::string& path);
  ~FakeSound() override;

  std::string path;
  static int live;
};

// One call to a drawing operation.
struct DrawCall {
  enum Kind { CLEAR, IMAGE, LINE, RECTANGLE, FLIP, TEXT } kind;
  std::string path;  // IMAGE: the picture's file; TEXT: the text
  int x = 0, y = 0, x2 = 0, y2 = 0;
  bool has_colour = false;  // LINE, TEXT: colour; RECTANGLE: border
  ZT_Platform_RGB colour = {0, 0, 0};
  bool has_fill = false;
  ZT_Platform_RGB fill = {0, 0, 0};
  int alpha = 0;
};

class FakePlatform : public ZT_Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  void initialize() override { ++initialize_calls; }
  void finalize() override { ++finalize_calls; }
  int width_get() override { return width; }
  int height_get() override { return height; }
  unsigned int ticks_get() override { return ticks; }
  unsigned int time_ms_get() override;
  ZT_Platform_Time time_get() override { return now; }
  bool event(ZT_Platform_GameType type, ZT_Platform_Event* event) override;
  void draw_clear() override;
  void draw_image(ZT_Platform_Image* image, int x, int y) override;
  void draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) override;
  void draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                      ZT_Platform_RGB* fill, int alpha) override;
  void draw_flip(int width, int height) override;
  void text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) override;
  int text_fontheight() override { return font_height; }
  int text_width(const std::string& text) override;
  int text_height(const std::string& text) override;
  void sound_play(ZT_Platform_Sound* sound) override;
  int sound_volume(unsigned short volume) override;
  void sound_stop_all() override { ++stop_all_calls; }
  ZT_Platform_Image* image_load(const std::string& path, ZT_Platform_RGB* transparent) override;
  ZT_Platform_Sound* sound_load(const std::string& path) override;

  // Test controls.
  void push_key(int key);
  void push_quit();
  // At tick T (or later), the key is pressed; the clock moves by tick_step on
  // every poll that finds the queue empty, so a scripted Run reaches its end.
  void at(unsigned int tick, int key);
  void at_quit(unsigned int tick);
  void set_time(int hour, int minute, int second, int day = 1, int month = 1, int year = 126);
  // Loading a path that ends with this name throws the platform's error.
  void fail_on(const std::string& name) { failing.insert(name); }
  // Drawing calls since the last clear_log(); flips within them.
  std::vector<DrawCall> flips() const;
  void clear_log() { draws.clear(); }

  int width = 640;
  int height = 480;
  unsigned int ticks = 1000;
  unsigned int tick_step = 0;  // ms added per empty poll; at() sets it to 1 if 0
  ZT_Platform_Time now = {1, 1, 126, 0, 0, 0};
  std::deque<ZT_Platform_Event> queue;
  std::multimap<unsigned int, ZT_Platform_Event> script;
  std::vector<int> event_types;  // game type passed to each event() call
  std::vector<DrawCall> draws;
  std::vector<std::string> loaded;  // every path handed to image_load or sound_load
  std::vector<std::string> played;  // path of every sound played
  std::set<std::string> failing;
  std::map<std::string, std::pair<int, int> > image_sizes;  // by file name suffix
  int default_image_width = 10;
  int default_image_height = 10;
  int char_width = 8;
  int font_height = 18;
  int text_h = 16;
  int volume = 75;
  std::vector<unsigned short> volume_requests;  // every value handed to sound_volume
  int initialize_calls = 0;
  int finalize_calls = 0;
  int stop_all_calls = 0;
  long idle_polls = 0;
  long max_idle_polls = 50000000;  // a Run that never ends fails the test instead of hanging
};

#endif
