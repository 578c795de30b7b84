// Save states below the hosts: the byte reader's refusals, the generator the
// engines draw from, and a game's registry saved and loaded on another clock.
#include "framework/state.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/device.h"
#include "framework/random.h"
#include "support/fake_platform.h"
#include "test_game.h"

TEST(State, ReaderRefusesShortDamagedAndOutOfRangeInput) {
  std::vector<uint8_t> bytes(64);
  ZT_StateWriter out(bytes.data(), 8);
  out.u32(7);
  out.text("monkey");  // does not fit: counted, not written past the end
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(4u + 4u + 6u, out.size());

  ZT_StateWriter full(bytes.data(), bytes.size());
  full.i32(-5);
  full.b(true);
  full.text("monkey");
  ZT_StateReader in(bytes.data(), full.size());
  EXPECT_EQ(-5, in.i32_in(-10, 10));
  EXPECT_TRUE(in.b());
  EXPECT_TRUE(in.text_is("monkey"));
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(0u, in.u32());  // past the end: failed for good
  EXPECT_FALSE(in.ok());

  ZT_StateReader range(bytes.data(), full.size());
  range.i32_in(0, 10);
  EXPECT_FALSE(range.ok());
  ZT_StateReader name(bytes.data() + 5, full.size() - 5);
  EXPECT_FALSE(name.text_is("condor"));
  bytes[4] = 2;  // neither true nor false
  ZT_StateReader flag(bytes.data() + 4, 1);
  flag.b();
  EXPECT_FALSE(flag.ok());
}

TEST(State, GeneratorDrawsTheCLibrarySequenceAndResumesFromAState) {
#ifdef __GLIBC__
  std::srand(1);
  ZT_Random fresh;
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(std::rand(), fresh.next()) << "draw " << i;
#endif
  ZT_Random random;
  for (int i = 0; i < 77; ++i) random.next();
  std::vector<uint8_t> bytes(256);
  ZT_StateWriter out(bytes.data(), bytes.size());
  random.state_save(out);
  std::vector<int> expected;
  for (int i = 0; i < 100; ++i) expected.push_back(random.next());

  ZT_Random loaded(99);
  ZT_StateReader in(bytes.data(), out.size());
  ASSERT_TRUE(loaded.state_load(in));
  for (int e : expected) EXPECT_EQ(e, loaded.next());

  bytes[out.size() - 1] ^= 1;  // the rear index no longer trails the front one
  ZT_StateReader bad(bytes.data(), out.size());
  EXPECT_FALSE(loaded.state_load(bad));
}

TEST(State, GameRegistryTravelsWithTimersRelativeToTheClock) {
  FakePlatform platform;
  ZT_Device device(&platform);
  LcdGame game;
  game.data.timer_add(3, 250, true);
  game.data.timer_add(5, 100, false);
  device.Start(&game);
  device.TurnOn();
  game.accepted = {1};
  game.SetMode(1);
  platform.ticks = 1000;
  game.data_starttimer(3, 0);
  game.data.position_get(13, 1)->visible = true;
  game.data.position_get(2, 0)->state = 7;
  game.data.position_change(2, 0, -40, 12);
  platform.ticks = 1200;
  game.data_delaytimer(3, 60);

  std::vector<uint8_t> bytes(4096);
  ZT_StateWriter out(bytes.data(), bytes.size());
  game.state_save(out);
  ASSERT_TRUE(out.ok());

  // Another game of the same kind, attached to a clock far ahead.
  FakePlatform later;
  later.ticks = 90000;
  ZT_Device other(&later);
  LcdGame copy;
  copy.data.timer_add(3, 250, true);
  copy.data.timer_add(5, 100, false);
  other.Start(&copy);
  ZT_StateReader in(bytes.data(), out.size());
  ASSERT_TRUE(copy.state_load(in));
  EXPECT_TRUE(copy.turned_on);
  EXPECT_EQ(1, copy.mode);
  EXPECT_TRUE(copy.data.position_get(13, 1)->visible);
  EXPECT_EQ(7, copy.data.position_get(2, 0)->state);
  EXPECT_EQ(-40, copy.data.position_get(2, 0)->x);
  ZT_GameData_Timer* timer = copy.data.timer_get(3);
  EXPECT_EQ(60u, timer->pending_delay);
  EXPECT_FALSE(copy.data.timer_get(5)->started());
  later.ticks = 90000 + 50;  // 250 ms after the start, saved 200 ms in
  EXPECT_FALSE(timer->finished());
  later.ticks = 90000 + 51;
  EXPECT_TRUE(timer->finished());

  // A game with other declarations refuses the state.
  LcdGame different;
  different.data.position_add(21, 0, 0, 0, -1, -1, "", nullptr);
  ZT_StateReader refused(bytes.data(), out.size());
  EXPECT_FALSE(different.state_load(refused));
  copy.Unload();
  game.Unload();
}
