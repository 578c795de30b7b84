// SPDX-License-Identifier: MIT
// The menu on the fake platform: page layout, selection, running a game and
// leaving, checked through the drawing and loading logs.
#include "menu/menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/game.h"
#include "menu/gamelist.h"
#include "support/fake_platform.h"

namespace {

// A game with only a background picture; it counts its lives and the keys it sees.
class TestGame : public ZT_Game {
 public:
  explicit TestGame(const std::string& name) {
    folder = name;
    lcd_x = 0;
    lcd_y = 0;
    lcd_width = 100;
    lcd_height = 50;
    data.image_add(0, 0, "bg.bmp", nullptr);
    ++created;
  }
  ~TestGame() override { ++destroyed; }
  int bgimage_get() override { return 0; }
  void Event(ZT_Platform_Event* event) override {
    if (event->type == ZT_EVENT_KEY) keys.push_back(folder + ":" + std::to_string(event->key));
  }

  static int created;
  static int destroyed;
  static std::vector<std::string> keys;
};
int TestGame::created = 0;
int TestGame::destroyed = 0;
std::vector<std::string> TestGame::keys;

class TestInfo : public ZT_Game_Info {
 public:
  TestInfo(const std::string& name, const std::string& title, const std::string& datapath)
      : ZT_Game_Info(name, title, name, datapath, "bg.bmp", ZT_Platform_RGB_create(255, 0, 255)) {}
  ZT_Game* create() override { return new TestGame(folder); }
};

class MenuTest : public ::testing::Test {
 protected:
  MenuTest() : list(&platform) {
    TestGame::created = 0;
    TestGame::destroyed = 0;
    TestGame::keys.clear();
    // Titles of known lengths; the built-in entries are replaced.
    list.games.clear();
    list.add(new TestInfo("g0", "Alpha", "data"));
    list.add(new TestInfo("g1", "Bravo Two", "data"));
    list.add(new TestInfo("g2", "Charlie", "data"));
    platform.char_width = 7;
    platform.font_height = 18;
    platform.text_h = 15;
  }
  ~MenuTest() override { EXPECT_EQ(0, FakeImage::live); }

  // Draw calls from the last clear up to its flip: the last frame shown.
  std::vector<DrawCall> last_frame() {
    size_t start = 0;
    for (size_t i = 0; i < platform.draws.size(); ++i)
      if (platform.draws[i].kind == DrawCall::CLEAR) start = i;
    return std::vector<DrawCall>(platform.draws.begin() + start, platform.draws.end());
  }
  // Top edge of the red box in the last frame, -1 if there is none.
  int red_box_top() {
    for (const DrawCall& c : last_frame())
      if (c.kind == DrawCall::RECTANGLE && c.has_fill && c.fill.r == 255) return c.y;
    return -1;
  }
  int bg_loads(const std::string& name) {
    int n = 0;
    for (const std::string& path : platform.loaded)
      if (path == "data/" + name + "/image/bg.bmp") ++n;
    return n;
  }

  FakePlatform platform;
  ZT_GameList list;
};

void expect_line(const DrawCall& c, int x1, int y1, int x2, int y2) {
  EXPECT_EQ(DrawCall::LINE, c.kind);
  EXPECT_EQ(x1, c.x);
  EXPECT_EQ(y1, c.y);
  EXPECT_EQ(x2, c.x2);
  EXPECT_EQ(y2, c.y2);
  EXPECT_FALSE(c.has_colour);
}

void expect_text(const DrawCall& c, int x, int y, const std::string& text) {
  EXPECT_EQ(DrawCall::TEXT, c.kind);
  EXPECT_EQ(text, c.path);
  EXPECT_EQ(x, c.x);
  EXPECT_EQ(y, c.y);
  EXPECT_FALSE(c.has_colour);
}

TEST_F(MenuTest, FirstPaintDrawsVeiledPictureFrameAndList) {
  // 320 x 200 fits the 640 x 480 screen as 640 x 400, centred 40 pixels down.
  platform.image_sizes["g0/image/bg.bmp"] = std::make_pair(320, 200);
  platform.at(1100, ZT_KEY_ESCAPE);
  ZT_Menu menu(&platform, &list);
  menu.Run();

  std::vector<DrawCall> d = platform.draws;
  ASSERT_EQ(16u, d.size());
  EXPECT_EQ(DrawCall::CLEAR, d[0].kind);
  EXPECT_EQ(DrawCall::IMAGE, d[1].kind);
  EXPECT_EQ("data/g0/image/bg.bmp", d[1].path);
  EXPECT_EQ(0, d[1].x);
  EXPECT_EQ(40, d[1].y);
  // The veil covers the picture only.
  EXPECT_EQ(DrawCall::RECTANGLE, d[2].kind);
  EXPECT_EQ(0, d[2].x);
  EXPECT_EQ(40, d[2].y);
  EXPECT_EQ(640, d[2].x2);
  EXPECT_EQ(440, d[2].y2);
  EXPECT_FALSE(d[2].has_colour);
  ASSERT_TRUE(d[2].has_fill);
  EXPECT_EQ(0, d[2].fill.r + d[2].fill.g + d[2].fill.b);
  EXPECT_EQ(140, d[2].alpha);

  // Title, 119 wide: text at 320 - 59, lines stop 10 short of (640 - 119) / 2.
  expect_text(d[3], 261, 3, "Zentick Simulator");
  expect_line(d[4], 10, 10, 250, 10);
  expect_line(d[5], 389, 10, 630, 10);
  // Credit, 154 wide, on the line 10 above the bottom.
  expect_text(d[6], 243, 463, "by Quorvex and Selvane");
  expect_line(d[7], 10, 470, 233, 470);
  expect_line(d[8], 407, 470, 630, 470);
  expect_line(d[9], 10, 10, 10, 470);
  expect_line(d[10], 630, 10, 630, 470);

  // Rows centred on 2 x 18 + 5 = 41, then 18 apart; text tops half a text height higher.
  EXPECT_EQ(DrawCall::RECTANGLE, d[11].kind);
  EXPECT_EQ(303, d[11].x);  // "Alpha" is 35 wide
  EXPECT_EQ(34, d[11].y);
  EXPECT_EQ(338, d[11].x2);
  EXPECT_EQ(52, d[11].y2);  // as high as the font, not the text
  EXPECT_FALSE(d[11].has_colour);
  ASSERT_TRUE(d[11].has_fill);
  EXPECT_EQ(255, d[11].fill.r);
  EXPECT_EQ(0, d[11].fill.g + d[11].fill.b);
  EXPECT_LT(d[11].alpha, 0);
  expect_text(d[12], 303, 34, "Alpha");
  expect_text(d[13], 289, 52, "Bravo Two");
  expect_text(d[14], 296, 70, "Charlie");
  EXPECT_EQ(DrawCall::FLIP, d[15].kind);
  EXPECT_EQ(0, d[15].x2);
  EXPECT_EQ(0, d[15].y2);
}

TEST_F(MenuTest, SelectionClampsAtBothEndsButReloadsAndRepaints) {
  platform.at(1100, ZT_KEY_UP);
  platform.at(1200, ZT_KEY_DOWN);
  platform.at(1300, ZT_KEY_DOWN);
  platform.at(1400, ZT_KEY_DOWN);
  platform.at(1500, ZT_KEY_ESCAPE);
  ZT_Menu menu(&platform, &list);
  menu.Run();

  EXPECT_EQ(2, menu.current);
  std::vector<std::string> expected = {"data/g0/image/bg.bmp", "data/g0/image/bg.bmp",
                                       "data/g1/image/bg.bmp", "data/g2/image/bg.bmp",
                                       "data/g2/image/bg.bmp"};
  EXPECT_EQ(expected, platform.loaded);
  EXPECT_EQ(5u, platform.flips().size());
  EXPECT_EQ(34 + 2 * 18, red_box_top());
  // Each reload keeps only the newest picture, loaded with the entry's magenta key.
  EXPECT_EQ(1, FakeImage::live);
  FakeImage* held = dynamic_cast<FakeImage*>(menu.bgimage);
  ASSERT_NE(nullptr, held);
  EXPECT_TRUE(held->has_transparent);
  EXPECT_EQ(255, held->transparent.r);
  EXPECT_EQ(0, held->transparent.g);
  EXPECT_EQ(255, held->transparent.b);
}

TEST_F(MenuTest, KeysWithoutMeaningCauseNoRepaint) {
  int keys[] = {ZT_KEY_LEFT, ZT_KEY_RIGHT,  ZT_KEY_BACK,      ZT_KEY_GAME_A,
                ZT_KEY_TIME, ZT_KEY_ZOOM_1, ZT_KEY_VOLUME_UP, ZT_KEY_LEFT_UP};
  unsigned int tick = 1100;
  for (int key : keys) platform.at(tick += 100, key);
  platform.at(tick += 100, ZT_KEY_ESCAPE);
  ZT_Menu menu(&platform, &list);
  menu.Run();

  EXPECT_EQ(1u, platform.flips().size());
  EXPECT_EQ(1u, platform.loaded.size());
  EXPECT_EQ(0, menu.current);
  EXPECT_EQ(0, TestGame::created);
}

TEST_F(MenuTest, ReturnRunsSelectedGameAndComesBackToIt) {
  platform.at(1100, ZT_KEY_DOWN);
  platform.at(1200, ZT_KEY_ENTER);
  platform.at(1300, ZT_KEY_GAME_A);  // reaches the game inside the device
  platform.at(1400, ZT_KEY_ESCAPE);  // leaves the game
  platform.at(1500, ZT_KEY_ESCAPE);  // leaves the menu
  ZT_Menu menu(&platform, &list);
  menu.Run();

  EXPECT_EQ(1, TestGame::created);
  EXPECT_EQ(1, TestGame::destroyed);
  EXPECT_EQ(std::vector<std::string>{"g1:" + std::to_string(ZT_KEY_GAME_A)}, TestGame::keys);
  EXPECT_EQ(1, menu.current);
  // The device drew its game's picture; the menu then repainted itself without
  // loading its own picture again.
  EXPECT_EQ(1, bg_loads("g0"));
  EXPECT_EQ(2, bg_loads("g1"));  // once for the menu, once by the game itself
  std::vector<DrawCall> frame = last_frame();
  ASSERT_GE(frame.size(), 2u);
  EXPECT_EQ("data/g1/image/bg.bmp", frame[1].path);
  EXPECT_EQ(34 + 18, red_box_top());
  EXPECT_EQ(DrawCall::FLIP, frame.back().kind);
}

TEST_F(MenuTest, EscapeAndWindowCloseEndRun) {
  {
    platform.push_key(ZT_KEY_ESCAPE);
    ZT_Menu menu(&platform, &list);
    menu.Run();
  }
  {
    platform.push_quit();
    ZT_Menu menu(&platform, &list);
    menu.Run();
  }
  // Both requests were waiting before the queue ever ran empty: nothing was painted.
  EXPECT_TRUE(platform.flips().empty());
  // A window close inside a game ends only the game.
  platform.at(1100, ZT_KEY_ENTER);
  platform.at_quit(1200);
  platform.at_quit(1300);
  ZT_Menu menu(&platform, &list);
  menu.Run();
  EXPECT_EQ(1, TestGame::destroyed);
  EXPECT_EQ(34, red_box_top());
}

TEST_F(MenuTest, PowerKeyStartsLikeReturnButOnlyWithASelection) {
  ZT_Menu menu(&platform, &list);
  ASSERT_EQ(-1, menu.current);
  ZT_Platform_Event enter = {ZT_EVENT_KEY, ZT_KEY_ENTER};
  ZT_Platform_Event power = {ZT_EVENT_KEY, ZT_KEY_POWER};
  menu.redraw = false;
  EXPECT_TRUE(menu.process_event(&enter));
  EXPECT_TRUE(menu.process_event(&power));
  EXPECT_EQ(0, TestGame::created);
  EXPECT_FALSE(menu.redraw);

  menu.current_set(2);
  platform.push_key(ZT_KEY_ESCAPE);  // leaves the game at once
  // The game runs to its end before process_event returns, as rungame does.
  EXPECT_TRUE(menu.process_event(&power));
  EXPECT_EQ(1, TestGame::created);
  EXPECT_EQ(1, TestGame::destroyed);
  EXPECT_EQ(nullptr, menu.device);
  EXPECT_EQ(2, bg_loads("g2"));
  EXPECT_TRUE(menu.redraw);

  // A host's step only starts the game: it runs in the steps that follow.
  platform.push_key(ZT_KEY_POWER);
  platform.push_key(ZT_KEY_ESCAPE);
  EXPECT_TRUE(menu.Step());
  EXPECT_EQ(2, TestGame::created);
  EXPECT_EQ(1, TestGame::destroyed);
  EXPECT_TRUE(menu.Step());
  EXPECT_EQ(2, TestGame::destroyed);
}

TEST_F(MenuTest, EmptyCatalogueShowsFrameOnlyAndKeepsNoSelection) {
  ZT_Menu menu(&platform, &list);
  menu.current_set(1);
  list.games.clear();
  // The picture held from before is released, not just forgotten.
  menu.current_set(1);
  EXPECT_EQ(nullptr, menu.bgimage);
  EXPECT_EQ(0, FakeImage::live);
  platform.at(1100, ZT_KEY_DOWN);
  platform.at(1200, ZT_KEY_UP);
  platform.at(1300, ZT_KEY_ENTER);
  platform.at(1400, ZT_KEY_ESCAPE);
  menu.Run();
  EXPECT_EQ(-1, menu.current);
  EXPECT_EQ(nullptr, menu.bgimage);
  EXPECT_EQ(1u, platform.loaded.size());
  EXPECT_EQ(0, TestGame::created);
  for (const DrawCall& c : platform.draws) {
    EXPECT_NE(DrawCall::IMAGE, c.kind);
    EXPECT_NE(DrawCall::RECTANGLE, c.kind);
  }
  // Title and credit only, on each of the three paints (start, Down, Up).
  size_t texts = 0;
  for (const DrawCall& c : platform.draws) texts += c.kind == DrawCall::TEXT;
  EXPECT_EQ(3u, platform.flips().size());
  EXPECT_EQ(2 * platform.flips().size(), texts);
}

TEST_F(MenuTest, GameThatFailsToLoadIsDestroyedOnTheWayOut) {
  // Only the game's own load of its picture fails, not the menu's.
  ZT_Menu menu(&platform, &list);
  menu.current_set(0);
  platform.fail_on("g0/image/bg.bmp");
  ZT_Platform_Event enter = {ZT_EVENT_KEY, ZT_KEY_ENTER};
  EXPECT_THROW(menu.process_event(&enter), ZT_Exception);
  EXPECT_EQ(1, TestGame::created);
  EXPECT_EQ(1, TestGame::destroyed);
}

}  // namespace
