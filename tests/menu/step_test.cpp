// SPDX-License-Identifier: MIT
// A host that owns the clock and calls the menu's Step once per millisecond
// sees what the desktop's blocking Run shows: the same frames, draw calls and
// sounds for the same scripted session.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/random.h"
#include "menu/gamelist.h"
#include "menu/menu.h"
#include "support/fake_platform.h"

namespace {

// A few simulated minutes: into Monkey, power cycles, both games, the zoom
// levels, volume, moves, back to the menu, into Condor and out again.
void script(FakePlatform& p) {
  const struct {
    unsigned int at;
    int key;
  } steps[] = {
      {1100, ZT_KEY_DOWN},       {1300, ZT_KEY_DOWN},         {1500, ZT_KEY_UP},
      {1700, ZT_KEY_DOWN},       {2000, ZT_KEY_ENTER},        {2400, ZT_KEY_UP},
      {2600, ZT_KEY_ENTER},      {9000, ZT_KEY_TIME},         {12000, ZT_KEY_GAME_A},
      {20000, ZT_KEY_ZOOM_1},    {30000, ZT_KEY_ZOOM_2},      {40000, ZT_KEY_ZOOM_0},
      {45000, ZT_KEY_VOLUME_UP}, {46000, ZT_KEY_VOLUME_DOWN}, {70000, ZT_KEY_BACK},
      {71000, ZT_KEY_LEFT},      {72000, ZT_KEY_GAME_A},      {73000, ZT_KEY_ENTER},
      {80000, ZT_KEY_GAME_B},    {150000, ZT_KEY_ESCAPE},     {151000, ZT_KEY_UP},
      {151500, ZT_KEY_UP},       {152000, ZT_KEY_ENTER},      {152500, ZT_KEY_ENTER},
      {160000, ZT_KEY_GAME_A},   {200000, ZT_KEY_ESCAPE},     {201000, ZT_KEY_DOWN},
  };
  for (const auto& s : steps) p.at(s.at, s.key);
  // Moves during both games, on odd milliseconds to mix with the engines' timers.
  for (unsigned int t = 13001; t < 150000; t += 1777)
    p.at(t, (t / 1777) % 2 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
  for (unsigned int t = 161003; t < 200000; t += 1313)
    p.at(t, (t / 1313) % 2 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
  p.at_quit(205000);
}

struct Trace {
  std::vector<DrawCall> draws;
  std::vector<std::string> played;
  std::vector<std::string> loaded;
};

void expect_same(const Trace& run, const Trace& host) {
  ASSERT_EQ(run.loaded, host.loaded);
  ASSERT_EQ(run.played, host.played);
  ASSERT_EQ(run.draws.size(), host.draws.size());
  for (size_t i = 0; i < run.draws.size(); ++i) {
    const DrawCall& a = run.draws[i];
    const DrawCall& b = host.draws[i];
    ASSERT_TRUE(a.kind == b.kind && a.path == b.path && a.x == b.x && a.y == b.y && a.x2 == b.x2 &&
                a.y2 == b.y2 && a.alpha == b.alpha)
        << "draw call " << i << " differs";
  }
}

TEST(MenuStep, HostDrivenStepsShowWhatRunShows) {
  Trace run, host;
  {
    FakePlatform p;
    script(p);
    ZT_GameList list(&p);
    ZT_Menu menu(&p, &list);
    menu.Run();
    run = {p.draws, p.played, p.loaded};
  }
  {
    FakePlatform p;
    script(p);
    // The host owns the clock: one millisecond, then one step, as a frontend does.
    p.tick_step = 0;
    ZT_GameList list(&p);
    ZT_Menu menu(&p, &list);
    long steps = 0;
    for (;;) {
      ++p.ticks;
      if (!menu.Step()) break;
      ASSERT_LT(++steps, 1000000L) << "the session did not end";
    }
    host = {p.draws, p.played, p.loaded};
  }
  // The session really played: both games started, moved and scored sounds.
  EXPECT_GT(run.played.size(), 50u);
  EXPECT_GT(run.draws.size(), 1000u);
  expect_same(run, host);
}

TEST(MenuStep, LeavingAGameByQuitReturnsToTheMenuAndADestroyedMenuUnloadsItsGame) {
  FakePlatform p;
  ZT_GameList list(&p);
  {
    ZT_Menu menu(&p, &list);
    p.push_key(ZT_KEY_ENTER);
    EXPECT_TRUE(menu.Step());
    ASSERT_NE(nullptr, menu.game);
    p.push_quit();  // closing the window inside a game only leaves the game
    EXPECT_TRUE(menu.Step());
    EXPECT_EQ(nullptr, menu.game);
    EXPECT_EQ(nullptr, menu.device);
    p.push_key(ZT_KEY_ENTER);
    EXPECT_TRUE(menu.Step());
    EXPECT_TRUE(menu.Step());
    ASSERT_NE(nullptr, menu.game);
    EXPECT_GT(FakeSound::live, 0);
  }
  // A host that stops mid-game releases every picture and sound it loaded.
  EXPECT_EQ(0, FakeSound::live);
  EXPECT_EQ(0, FakeImage::live);
}

}  // namespace
