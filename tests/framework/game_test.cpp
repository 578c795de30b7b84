// SPDX-License-Identifier: MIT
// The game base: mode changes, timer firing order within Update, the data_
// operations and the redraw flag.
#include "framework/game.h"

#include <gtest/gtest.h>

#include "framework/device.h"
#include "framework/test_game.h"
#include "support/fake_platform.h"

namespace {

using Log = std::vector<std::string>;

class GameTest : public ::testing::Test {
 protected:
  void Attach() {
    device.game = &game;
    device.Load();
    platform.ticks = 1000;
  }
  FakePlatform platform;
  ZT_Device device{&platform};
  TestGame game;
};

TEST_F(GameTest, SetModeWhileOffChangesNothing) {
  game.accepted = {1};
  game.SetMode(1);
  EXPECT_EQ(-1, game.mode);
  EXPECT_TRUE(game.log.empty());
}

TEST_F(GameTest, RefusedModeKeepsTheModeAndHookSeesThePreviousOne) {
  game.turned_on = true;
  game.accepted = {1, 2};
  game.SetMode(1);
  game.SetMode(0);
  game.SetMode(2);
  EXPECT_EQ(2, game.mode);
  EXPECT_EQ((Log{"setmode 1 from -1", "setmode 0 from 1", "setmode 2 from 1"}), game.log);
}

TEST_F(GameTest, BaseGameRefusesEveryModeAndHasNone) {
  ZT_Game base;
  base.turned_on = true;
  base.SetMode(0);
  EXPECT_EQ(-1, base.mode);
  EXPECT_EQ(0, base.ModeCount());
  EXPECT_EQ(-1, base.bgimage_get());
  EXPECT_EQ(ZT_GAMETYPE_NONE, base.do_gametype_get());
  EXPECT_EQ(3, game.ModeCount());
}

TEST_F(GameTest, DueTimersFireInIdOrderEachFollowedByItsRearm) {
  game.data.timer_add(7, 100, false);
  game.data.timer_add(2, 100, true);
  game.data.timer_add(4, 500, true);
  Attach();
  std::vector<bool> seven_running_when_two_fired;
  game.on_timer = [&](int id) {
    if (id == 2) seven_running_when_two_fired.push_back(game.data.timer_get(7)->started());
  };
  game.data_starttimer(7, 0);
  game.data_starttimer(2, 0);
  game.data_starttimer(4, 0);
  platform.ticks = 1101;
  game.Update();
  EXPECT_EQ((Log{"timer 2", "timer 7", "update"}), game.log);
  EXPECT_EQ(std::vector<bool>{true}, seven_running_when_two_fired);
  EXPECT_EQ(1101u, game.data.timer_get(2)->starttime);
  EXPECT_FALSE(game.data.timer_get(7)->started());
  EXPECT_EQ(1000u, game.data.timer_get(4)->starttime);
  game.log.clear();
  game.Update();  // nothing due any more
  EXPECT_EQ(Log{"update"}, game.log);
}

TEST_F(GameTest, RestartInsideDoTimerRunsFromTheRestart) {
  game.data.timer_add(1, 100, true);
  Attach();
  game.data_starttimer(1, 0);
  game.data_delaytimer(1, 500);
  platform.ticks = 1101;
  game.on_timer = [&](int) { game.data_starttimer(1, 40); };
  game.Update();
  ZT_GameData_Timer* timer = game.data.timer_get(1);
  EXPECT_EQ(1101u, timer->starttime);  // not re-armed by loop(), delay discarded
  EXPECT_EQ(40u, timer->interval);
  EXPECT_EQ(0u, timer->pending_delay);
}

TEST_F(GameTest, DelayInsideDoTimerPostponesTheNextExpiry) {
  game.data.timer_add(1, 100, true);
  Attach();
  game.data_starttimer(1, 0);
  game.on_timer = [&](int) { game.data_delaytimer(1, 60); };
  platform.ticks = 1101;
  game.Update();
  game.on_timer = nullptr;
  game.log.clear();
  platform.ticks = 1202;  // would be due without the delay
  game.Update();
  EXPECT_EQ(Log{"update"}, game.log);
  platform.ticks = 1262;
  game.Update();
  EXPECT_EQ((Log{"update", "timer 1", "update"}), game.log);
}

TEST_F(GameTest, StopInsideDoTimerIsNotRearmed) {
  game.data.timer_add(1, 100, true);
  Attach();
  game.data_starttimer(1, 0);
  game.on_timer = [&](int) { game.data_stopalltimers(); };
  platform.ticks = 1101;
  game.Update();
  EXPECT_FALSE(game.data.timer_get(1)->started());
}

TEST_F(GameTest, DoTimerMayRedeclareOrUnloadTheTimersItRuns) {
  game.data.timer_add(1, 100, true);
  game.data.timer_add(2, 100, true);
  game.data.timer_add(3, 100, true);
  Attach();
  for (int id = 1; id <= 3; ++id) game.data_starttimer(id, 0);
  platform.ticks = 1101;
  game.on_timer = [&](int id) {
    if (id == 1) {
      game.data.timer_add(1, 50, false);  // replaces the timer being fired
      game.data.timer_add(2, 50, false);  // and the next one, which is not due any more
    }
  };
  game.Update();
  EXPECT_EQ((Log{"timer 1", "timer 3", "update"}), game.log);
  EXPECT_FALSE(game.data.timer_get(1)->started());

  game.log.clear();
  game.data_starttimer(3, 0);
  game.data.timer_add(4, 100, false);
  game.data_starttimer(4, 0);
  platform.ticks = 1300;
  game.on_timer = [&](int) { game.data.Unload(); };
  game.Update();
  EXPECT_EQ((Log{"timer 3", "update"}), game.log);
  EXPECT_TRUE(game.data.timers.empty());
}

TEST_F(GameTest, StopAllThenStartZeroUsesTheLastInterval) {
  game.data.timer_add(1, 100, true);
  Attach();
  game.data_starttimer(1, 0);
  game.data.timer_get(1)->interval = 70;
  game.data_delaytimer(1, 30);
  game.data_stopalltimers();
  EXPECT_EQ(30u, game.data.timer_get(1)->pending_delay);
  platform.ticks = 2000;
  game.data_starttimer(1, 0);
  EXPECT_EQ(70u, game.data.timer_get(1)->interval);
  EXPECT_EQ(2000u, game.data.timer_get(1)->starttime);
  EXPECT_EQ(0u, game.data.timer_get(1)->pending_delay);
}

TEST_F(GameTest, UndeclaredIdsAreIgnored) {
  game.data.sound_add(0, "Got.wav");
  Attach();
  game.CheckChanged();
  game.data_playsound(42);
  game.data_starttimer(42, 10);
  game.data_delaytimer(42, 10);
  game.data.position_change(9, 9, 1, 1);
  EXPECT_TRUE(platform.played.empty());
  EXPECT_TRUE(game.data.timers.empty());
  EXPECT_TRUE(game.data.positions.empty());
  EXPECT_FALSE(game.CheckChanged());
}

TEST_F(GameTest, SoundsPlayOnlyOnceLoaded) {
  game.data.sound_add(0, "Got.wav");
  game.data_playsound(0);  // declared but not loaded, and no device
  game.data_stopallsounds();
  EXPECT_TRUE(platform.played.empty());
  EXPECT_EQ(0, platform.stop_all_calls);
  Attach();
  game.data_playsound(0);
  game.data_stopallsounds();
  EXPECT_EQ(std::vector<std::string>{"data/testgame/sound/Got.wav"}, platform.played);
  EXPECT_EQ(1, platform.stop_all_calls);
}

TEST_F(GameTest, HideAllResetsStateOnlyWhenAsked) {
  game.data.position_add(1, 0, 0, 0, -1, -1, "", nullptr);
  game.data.position_add(1, 1, 0, 0, -1, -1, "", nullptr);
  game.data_showall();
  game.data.position_get(1, 0)->state = 5;
  game.data.position_get(1, 1)->state = 6;
  game.CheckChanged();
  game.data_hideall(false);
  EXPECT_TRUE(game.CheckChanged());
  EXPECT_FALSE(game.data.position_get(1, 0)->visible);
  EXPECT_EQ(5, game.data.position_get(1, 0)->state);
  game.data_showall();
  EXPECT_TRUE(game.data.position_get(1, 1)->visible);
  game.data_hideall(true);
  EXPECT_FALSE(game.data.position_get(1, 1)->visible);
  EXPECT_EQ(-1, game.data.position_get(1, 0)->state);
  EXPECT_EQ(-1, game.data.position_get(1, 1)->state);
}

TEST_F(GameTest, ChangedFlagIsReadOnceAndTimersLeaveItAlone) {
  EXPECT_TRUE(game.CheckChanged());  // starts set
  EXPECT_FALSE(game.CheckChanged());
  game.data.timer_add(1, 100, true);
  game.data.position_add(1, 0, 0, 0, -1, -1, "", nullptr);
  Attach();
  game.CheckChanged();
  game.data_starttimer(1, 0);
  game.data_delaytimer(1, 5);
  game.data_stopalltimers();
  EXPECT_FALSE(game.CheckChanged());
  game.data.position_change(1, 0, 4, 5);
  EXPECT_TRUE(game.CheckChanged());
  EXPECT_EQ(4, game.data.position_get(1, 0)->x);
  game.data.position_get(1, 0)->Changed();
  EXPECT_TRUE(game.CheckChanged());
}

}  // namespace
