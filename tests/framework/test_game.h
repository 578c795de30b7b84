// SPDX-License-Identifier: MIT
// A small game for the framework tests: it records every hook the device and
// the base class call, and lets a test decide what do_setmode and do_timer do.
#ifndef ZT_TESTS_FRAMEWORK_TEST_GAME_H
#define ZT_TESTS_FRAMEWORK_TEST_GAME_H

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/device.h"
#include "framework/game.h"

class TestGame : public ZT_Game {
 public:
  TestGame() { folder = "testgame"; }

  void Event(ZT_Platform_Event* event) override {
    events.push_back(*event);
    view_at_event.push_back(device != nullptr ? device->view_width : -1);
  }
  int bgimage_get() override { return bgimage; }
  ZT_Platform_GameType do_gametype_get() override { return ZT_GAMETYPE_VTECH; }
  void do_turnon() override {
    log.push_back("turnon");
    if (on_turnon) on_turnon();
  }
  void do_turnoff() override {
    log.push_back(turned_on ? "turnoff while on" : "turnoff while off");
  }
  int do_modecount() override { return 3; }
  bool do_setmode(int m) override {
    log.push_back("setmode " + std::to_string(m) + " from " + std::to_string(mode));
    return accepted.count(m) != 0;
  }
  void do_timer(int id) override {
    log.push_back("timer " + std::to_string(id));
    if (on_timer) on_timer(id);
  }
  void do_update() override { log.push_back("update"); }

  // Keys (not quits) the game received.
  std::vector<int> keys() const {
    std::vector<int> out;
    for (const ZT_Platform_Event& e : events)
      if (e.type == ZT_EVENT_KEY) out.push_back(e.key);
    return out;
  }

  int bgimage = -1;
  std::set<int> accepted;
  std::function<void(int)> on_timer;
  std::function<void()> on_turnon;
  std::vector<std::string> log;
  std::vector<ZT_Platform_Event> events;
  std::vector<int> view_at_event;  // the device's view width when each event arrived
};

// A Monkey-sized handheld: LCD 152,53 257x192, zoom box 561x347, background
// image 0 and a few segments.
class LcdGame : public TestGame {
 public:
  LcdGame() {
    lcd_x = 152;
    lcd_y = 53;
    lcd_width = 257;
    lcd_height = 192;
    zoom_width = 561;
    zoom_height = 347;
    bgimage = 0;
    data.image_add(0, 0, "bg.bmp", nullptr);
    data.position_add(13, 0, 10, 20, 14, 0, "seg14.bmp", nullptr);
    data.position_add(13, 1, 30, 20, 14, 0, "", nullptr);  // shares image (14, 0)
    data.position_add(2, 0, 5, 6, 3, 0, "seg3.bmp", nullptr);
    data.position_add(20, 0, 1, 1, -1, -1, "", nullptr);  // no picture
  }
};

#endif
