// The software platform shows what the desktop program shows: the menu and the
// six handhelds are driven through the same scripted keys and clock on the SDL
// platform (dummy video driver) and on the software platform, and every
// presented frame is compared pixel for pixel in RGB565.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/plat_soft.h"
#include "support/sdl_checks.h"

namespace {

const ZT_Platform_Time kNoon = {7, 12, 126, 12, 34, 56};

// The SDL platform with the software platform's scripted inputs: its own
// clocks and event queue are replaced, its drawing is untouched.
class ScriptedSDL : public ZT_PlatformSDL {
 public:
  ScriptedSDL() : ZT_PlatformSDL(640, 480, false, true) {}
  unsigned int ticks_get() override { return ticks; }
  ZT_Platform_Time time_get() override { return kNoon; }
  unsigned int time_ms_get() override { return (12 * 3600 + 34 * 60 + 56) * 1000u; }
  bool event(ZT_Platform_GameType, ZT_Platform_Event* out) override {
    if (events.empty()) return false;
    *out = events.front();
    events.pop_front();
    return true;
  }
  unsigned long presented = 0;
  void draw_flip(int w, int h) override {
    ZT_PlatformSDL::draw_flip(w, h);
    ++presented;
  }
  unsigned int ticks = 0;
  std::deque<ZT_Platform_Event> events;
};

// Both platforms, each with its catalogue and menu, stepped in lockstep.
class Pair {
 public:
  Pair() {
    const std::string data = std::string(ZT_BUILD_DIR) + "/data";
    sdl.datapath_set(data);
    soft.datapath_set(data);
    sdl.initialize();
    soft.initialize();
    soft.time_pin(kNoon);
    sdl_list.reset(new ZT_GameList(&sdl));
    soft_list.reset(new ZT_GameList(&soft));
    sdl_menu.reset(new ZT_Menu(&sdl, sdl_list.get()));
    soft_menu.reset(new ZT_Menu(&soft, soft_list.get()));
  }
  ~Pair() {
    sdl_menu.reset();
    soft_menu.reset();
    sdl.finalize();
  }
  void key(int code) {
    sdl.events.push_back(ZT_Platform_Event{ZT_EVENT_KEY, code});
    soft.key_push(code);
    step();
  }
  // One pass on each; the clock moves by `ms` first.
  void step(unsigned int ms = 0) {
    sdl.ticks += ms;
    soft.ticks_advance(ms);
    sdl_menu->Step();
    soft_menu->Step();
    ASSERT_EQ(sdl.presented, soft.presented);
  }
  // Pixels of the presented frames that differ.
  int differences() {
    SDL_Surface* s = SDL_GetVideoSurface();
    EXPECT_EQ(16, s->format->BitsPerPixel);
    EXPECT_EQ(0xf800u, s->format->Rmask);
    int count = 0;
    for (int y = 0; y < 480; ++y) {
      const uint16_t* row =
          reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
      for (int x = 0; x < 640; ++x) count += row[x] != soft.screen[y * 640 + x];
    }
    return count;
  }

  ScriptedSDL sdl;
  ZT_PlatformSoft soft;
  std::unique_ptr<ZT_GameList> sdl_list, soft_list;
  std::unique_ptr<ZT_Menu> sdl_menu, soft_menu;
};

TEST(Agreement, Menu) {
  Pair p;
  p.step();
  p.step();
  EXPECT_EQ(1u, p.soft.presented);
  std::printf("menu: %d\n", p.differences());
  for (int i = 0; i < 6; ++i) {
    p.key(ZT_KEY_DOWN);
    std::printf("menu %d: %d\n", i, p.differences());
  }
}

TEST(Agreement, Games) {
  Pair p;
  p.step();
  for (int g = 0; g < 6; ++g) {
    p.key(ZT_KEY_ENTER);  // run the game
    p.step();
    std::printf("game %d off: %d\n", g, p.differences());
    p.key(ZT_KEY_ENTER);
    for (int z : {ZT_KEY_ZOOM_0, ZT_KEY_ZOOM_1, ZT_KEY_ZOOM_2}) {
      p.key(z);
      std::printf("game %d on zoom %d: %d\n", g, z, p.differences());
    }
    p.key(ZT_KEY_GAME_A);
    for (int i = 0; i < 400; ++i) {
      p.step(25);
      if (i % 37 == 0) p.key(i % 2 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
    }
    for (int z : {ZT_KEY_ZOOM_0, ZT_KEY_ZOOM_1, ZT_KEY_ZOOM_2}) {
      p.key(z);
      std::printf("game %d A zoom %d: %d\n", g, z, p.differences());
    }
    p.key(ZT_KEY_ESCAPE);
    p.step();
    p.key(ZT_KEY_DOWN);
  }
}

}  // namespace
