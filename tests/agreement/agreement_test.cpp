// SPDX-License-Identifier: MIT
// The software platform shows what the desktop program shows: the menu and the
// six handhelds are driven through the same scripted keys and clock on the SDL
// platform (dummy video driver) and on the software platform, and the
// presented frames are compared pixel for pixel in RGB565 at every zoom level.
// A third, software platform reads the build's data pack instead of its folder
// and must present the very frames of the one reading the folder.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/decode/pack.h"
#include "platform/plat_soft.h"
#include "support/sdl_checks.h"

namespace {

const ZT_Platform_Time kNoon = {7, 12, 126, 12, 34, 56};

// The menu's lines are the one allowed difference: stb_truetype's unhinted
// outlines against FreeType's hinted ones put some stems a pixel apart. This
// many pixels of each menu page differ, all in its lines of text.
const int kMenuTextPixels = 1871;

// The SDL platform on the scripted clock and event queue; drawing untouched.
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
  void draw_flip(int w, int h) override {
    ZT_PlatformSDL::draw_flip(w, h);
    ++presented;
  }
  void text_draw(int x, int y, const std::string& s, ZT_Platform_RGB* c) override {
    if (with_text) ZT_PlatformSDL::text_draw(x, y, s, c);
  }
  unsigned int ticks = 0;
  unsigned long presented = 0;
  bool with_text = true;
  std::deque<ZT_Platform_Event> events;
};

class Soft : public ZT_PlatformSoft {
 public:
  void text_draw(int x, int y, const std::string& s, ZT_Platform_RGB* c) override {
    if (with_text) ZT_PlatformSoft::text_draw(x, y, s, c);
  }
  bool with_text = true;
};

// Both platforms with their catalogues and menus, stepped in lockstep.
class AgreementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string data = std::string(ZT_BUILD_DIR) + "/data";
    std::string reason;
    std::shared_ptr<const ZT_Pack> pack =
        ZT_Pack::open_file(std::string(ZT_BUILD_DIR) + "/zentick.pack", &reason);
    ASSERT_TRUE(pack) << reason;
    // The pack stands for a folder that is not there.
    packed.datapath_set(data + "-packed");
    packed.pack_set(pack);
    sdl.datapath_set(data);
    soft.datapath_set(data);
    sdl.initialize();
    soft.initialize();
    packed.initialize();
    soft.time_pin(kNoon);
    packed.time_pin(kNoon);
    sdl_list.reset(new ZT_GameList(&sdl));
    soft_list.reset(new ZT_GameList(&soft));
    packed_list.reset(new ZT_GameList(&packed));
    sdl_menu.reset(new ZT_Menu(&sdl, sdl_list.get()));
    soft_menu.reset(new ZT_Menu(&soft, soft_list.get()));
    packed_menu.reset(new ZT_Menu(&packed, packed_list.get()));
  }
  void TearDown() override {
    sdl_menu.reset();
    soft_menu.reset();
    packed_menu.reset();
    sdl.finalize();
  }
  // One pass on each after the clock moved by `ms`; both present alike.
  void step(unsigned int ms = 0) {
    sdl.ticks += ms;
    soft.ticks_advance(ms);
    packed.ticks_advance(ms);
    const bool a = sdl_menu->Step(), b = soft_menu->Step(), c = packed_menu->Step();
    ASSERT_EQ(a, b);
    ASSERT_EQ(b, c);
    ASSERT_EQ(sdl.presented, soft.presented);
    ASSERT_EQ(soft.presented, packed.presented);
  }
  void key(int code) {
    sdl.events.push_back(ZT_Platform_Event{ZT_EVENT_KEY, code});
    soft.key_push(code);
    packed.key_push(code);
    step();
    step();  // the menu paints on the pass after the one that took the key
  }
  int differences() {
    EXPECT_TRUE(soft.screen == packed.screen) << "the pack's frame differs from the folder's";
    SDL_Surface* s = SDL_GetVideoSurface();
    EXPECT_EQ(0xf800u, s->format->Rmask);  // the dummy driver's 16-bit screen is RGB565
    int count = 0;
    for (int y = 0; y < 480; ++y) {
      const uint16_t* row =
          reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
      for (int x = 0; x < 640; ++x) count += row[x] != soft.screen[y * 640 + x];
    }
    return count;
  }
  // The handheld as it is now, at each zoom level.
  void expect_same_zoomed(const std::string& what) {
    for (int zoom : {ZT_KEY_ZOOM_1, ZT_KEY_ZOOM_2, ZT_KEY_ZOOM_0}) {
      const unsigned long before = soft.presented;
      key(zoom);
      EXPECT_EQ(before + 1, soft.presented) << what;
      EXPECT_EQ(0, differences()) << what << ", zoom key " << zoom;
    }
  }

  ScriptedSDL sdl;
  Soft soft, packed;
  std::unique_ptr<ZT_GameList> sdl_list, soft_list, packed_list;
  std::unique_ptr<ZT_Menu> sdl_menu, soft_menu, packed_menu;
};

TEST_F(AgreementTest, MenuDiffersOnlyInItsText) {
  step();
  ASSERT_EQ(1u, soft.presented);
  EXPECT_LE(differences(), kMenuTextPixels);
  EXPECT_GT(differences(), 0) << "the text engines agree now: make the bound 0";
  for (int i = 0; i < 6; ++i) {
    key(ZT_KEY_DOWN);
    EXPECT_LE(differences(), kMenuTextPixels) << "entry " << i + 1;
  }
  sdl.with_text = soft.with_text = packed.with_text = false;
  for (int i = 0; i < 6; ++i) {
    key(ZT_KEY_UP);
    EXPECT_EQ(0, differences()) << "without text, entry " << 4 - i;
  }
}

TEST_F(AgreementTest, EveryHandheldOffOnAndInGameAAtEveryZoom) {
  step();
  for (int game = 0; game < 6; ++game) {
    const std::string name = soft_list->get(game)->title;
    key(ZT_KEY_ENTER);
    expect_same_zoomed(name + " off");
    key(ZT_KEY_ENTER);  // on: every segment lit
    expect_same_zoomed(name + " on");
    key(ZT_KEY_GAME_A);
    for (int i = 0; i < 600; ++i) {
      step(20);
      if (i % 23 == 0) key(i % 2 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
      if (i % 41 == 0) key(i % 3 ? ZT_KEY_LEFT_UP : ZT_KEY_RIGHT_DOWN);
    }
    expect_same_zoomed(name + " in Game A");
    key(ZT_KEY_ESCAPE);
    EXPECT_LE(differences(), kMenuTextPixels) << "back in the menu";
    key(ZT_KEY_DOWN);
  }
}

}  // namespace
