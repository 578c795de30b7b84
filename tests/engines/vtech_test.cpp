// SPDX-License-Identifier: MIT
// The watch engine on the fake platform: power-on, the watch displays, the
// buttons, the score and miss displays, and the game start, pause and end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/dev_defendo.h"
#include "engines/dev_monkey.h"
#include "engines/deveng_vtech.h"
#include "engines/vtech_rig.h"

namespace {

typedef ZT_GameEngine_VTech VT;

// The watch engine alone, recording the hooks a game engine would fill in.
template <int Flags>
class Recorder : public ZT_GameEngine_VTech {
 public:
  Recorder() : ZT_GameEngine_VTech(Flags) { folder = "watch"; }
  void game_start(int m) override { calls.push_back("start " + std::to_string(m)); }
  void game_reprise() override { calls.push_back("reprise"); }
  void game_over() override { calls.push_back("over"); }
  void level_update(int m) override { calls.push_back("level " + std::to_string(m)); }
  void game_tick() override { calls.push_back("tick"); }
  // A miss as a game engine reports it: pause, count, and resume or end.
  void miss() {
    data_stopalltimers();
    playing = false;
    misses_add(1);
    data_starttimer(misses > 4 ? TM_GAMEOVER : TM_REPRISE, 0);
  }
  std::vector<std::string> calls;
};

typedef Recorder<0> Watch;

int visible_symbol(VTechRig<Watch>& rig) {
  const int symbols[] = {VT::PS_TIME_1, VT::PS_TIME_2, VT::PS_ALARM, VT::PS_CHRONO, VT::PS_DATE};
  int found = -1;
  for (int id : symbols)
    if (rig.visible(id, 0)) found = found == -1 ? id : -2;
  return found;
}

// Switches on and starts a game from the time display.
template <class G>
void start(VTechRig<G>& rig, int key) {
  rig.on();
  rig.press(ZT_KEY_TIME);
  rig.press(key);
}

// Ends a game with five misses and waits out the game-over sound delay.
void lose(VTechRig<Watch>& rig) {
  for (int i = 0; i < 5; i++) {
    rig.game->miss();
    rig.advance(i < 4 ? 1101 : 101);
  }
}

TEST(WatchPowerOn, LightsEverySegmentWith8888) {
  VTechRig<ZT_Game_Monkey> rig;
  rig.on();
  EXPECT_EQ(VT::MODE_ON, rig.game->mode);
  for (auto& key : position_keys(rig.game.get()))
    EXPECT_TRUE(rig.visible(key.first, key.second)) << key.first << "," << key.second;
  EXPECT_EQ("8888", rig.digits());

  VTechRig<ZT_Game_Defendo> defendo;
  defendo.on();
  for (int p = 1; p <= 4; p++) EXPECT_EQ((p - 1) * 10 + 8, defendo.picture(VT::PS_NUMBER, p));
}

TEST(WatchPowerOn, AnyButtonThenShowsTheTime) {
  for (int key : {ZT_KEY_GAME_A, ZT_KEY_GAME_B, ZT_KEY_TIME}) {
    VTechRig<Watch> rig;
    rig.on();
    rig.press(key);
    EXPECT_EQ(VT::MODE_TIME_1, rig.game->mode) << key;
    EXPECT_TRUE(rig.game->calls.empty());
    EXPECT_FALSE(rig.visible(VT::PS_BELL, 0));
  }
}

TEST(WatchPowerOn, SwitchingOffDarkensAndSilences) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.off();
  EXPECT_FALSE(rig.game->turned_on);
  EXPECT_EQ(1, rig.platform.stop_all_calls);
  for (auto& key : position_keys(rig.game.get())) EXPECT_FALSE(rig.visible(key.first, key.second));
  rig.advance(5000);
  EXPECT_TRUE(rig.game->calls.size() == 2) << "no timer runs while off";
  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_OFF, rig.game->mode);
}

struct ClockCase {
  int hour, minute;
  const char* digits;
  bool pm;
};

TEST(WatchTime, HourWithoutLeadingZeroAndAmPm) {
  const ClockCase cases[] = {{0, 30, " 030", false},
                             {12, 5, "1205", true},
                             {13, 5, " 105", true},
                             {11, 59, "1159", false},
                             {23, 0, "1100", true}};
  for (const ClockCase& c : cases) {
    VTechRig<Watch> rig;
    rig.platform.set_time(c.hour, c.minute, 0);
    rig.on();
    rig.press(ZT_KEY_TIME);
    EXPECT_EQ(c.digits, rig.digits()) << c.hour << ":" << c.minute;
    EXPECT_EQ(!c.pm, rig.visible(VT::PS_TIME_AM, 0));
    EXPECT_EQ(c.pm, rig.visible(VT::PS_TIME_PM, 0));
    EXPECT_EQ(VT::PS_TIME_1, visible_symbol(rig));
    rig.press(ZT_KEY_TIME);
    EXPECT_EQ(c.digits, rig.digits()) << "time 2 shows the same time";
    EXPECT_EQ(VT::PS_TIME_2, visible_symbol(rig));
  }
}

TEST(WatchTime, FollowsTheClockAndBlinksTheColon) {
  VTechRig<Watch> rig;
  rig.platform.set_time(9, 59, 58);
  rig.on();
  rig.press(ZT_KEY_TIME);
  EXPECT_TRUE(rig.visible(VT::PS_TIME_SEMICOLON, 0));
  rig.platform.set_time(9, 59, 59);
  rig.pass();
  EXPECT_FALSE(rig.visible(VT::PS_TIME_SEMICOLON, 0));
  EXPECT_EQ(" 959", rig.digits());
  rig.platform.set_time(12, 0, 0);
  rig.pass();
  EXPECT_TRUE(rig.visible(VT::PS_TIME_SEMICOLON, 0));
  EXPECT_EQ("1200", rig.digits());
  EXPECT_TRUE(rig.visible(VT::PS_TIME_PM, 0));
  EXPECT_FALSE(rig.visible(VT::PS_TIME_AM, 0));
}

TEST(WatchTime, SteadyClockCausesNoRedraw) {
  VTechRig<Watch> rig;
  rig.platform.set_time(0, 30, 0);
  rig.on();
  rig.press(ZT_KEY_TIME);
  rig.pass();
  rig.game->CheckChanged();
  rig.pass();
  EXPECT_FALSE(rig.game->CheckChanged());
}

TEST(WatchDisplays, DateAlarmAndChronograph) {
  VTechRig<Watch> rig;
  rig.platform.set_time(14, 27, 1, 7, 3);
  rig.on();
  rig.press(ZT_KEY_TIME);

  rig.press(ZT_KEY_TIME);
  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_ALARM, rig.game->mode);
  EXPECT_EQ(VT::PS_ALARM, visible_symbol(rig));
  EXPECT_EQ("1200", rig.digits());
  EXPECT_TRUE(rig.visible(VT::PS_TIME_AM, 0));
  EXPECT_FALSE(rig.visible(VT::PS_TIME_PM, 0));
  EXPECT_FALSE(rig.visible(VT::PS_TIME_SEMICOLON, 0)) << "odd second";
  rig.platform.set_time(14, 27, 2, 7, 3);
  rig.pass();
  EXPECT_TRUE(rig.visible(VT::PS_TIME_SEMICOLON, 0));

  rig.platform.set_time(14, 27, 3, 7, 3);
  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_CHRONO, rig.game->mode);
  EXPECT_EQ(VT::PS_CHRONO, visible_symbol(rig));
  EXPECT_EQ("0000", rig.digits());
  rig.pass();
  EXPECT_TRUE(rig.visible(VT::PS_TIME_SEMICOLON, 0)) << "steady colon";
  EXPECT_FALSE(rig.visible(VT::PS_TIME_AM, 0));

  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_DATE, rig.game->mode);
  EXPECT_EQ(VT::PS_DATE, visible_symbol(rig));
  EXPECT_EQ(" 7 3", rig.digits());
  rig.platform.set_time(0, 0, 0, 25, 12);
  rig.pass();
  EXPECT_EQ("2512", rig.digits());

  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_TIME_1, rig.game->mode);
}

TEST(WatchModes, RefusesModeTwoAndAboveNine) {
  VTechRig<Watch> rig;
  rig.on();
  rig.press(ZT_KEY_TIME);
  for (int bad : {2, 10, 42}) {
    rig.game->SetMode(bad);
    EXPECT_EQ(VT::MODE_TIME_1, rig.game->mode);
  }
  EXPECT_EQ(10, rig.game->ModeCount());
}

TEST(WatchGame, StartResetsTheLcdAndRunsTheHooksInOrder) {
  VTechRig<Watch> rig;
  rig.on();
  rig.press(ZT_KEY_TIME);
  unsigned int start = rig.platform.ticks;
  rig.press(ZT_KEY_GAME_B);
  EXPECT_EQ(VT::MODE_GAME_B, rig.game->mode);
  EXPECT_EQ((std::vector<std::string>{"level 4", "start 4"}), rig.game->calls);
  EXPECT_TRUE(rig.visible(VT::PS_GAME_B, 0));
  EXPECT_FALSE(rig.visible(VT::PS_GAME_A, 0));
  EXPECT_FALSE(rig.visible(VT::PS_TIME_1, 0));
  EXPECT_EQ("   0", rig.digits());
  EXPECT_TRUE(rig.game->playing);
  EXPECT_FALSE(rig.game->game_idle);

  // The first tick comes after the start delay plus one tick interval.
  rig.advance(1801 + 250);
  EXPECT_EQ(2u, rig.game->calls.size());
  rig.advance(1);
  EXPECT_EQ("tick", rig.game->calls.back());
  EXPECT_EQ(start + 1801 + 251, rig.platform.ticks);
}

TEST(WatchGame, MissPausesThenReprises) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.advance(2052);
  rig.game->calls.clear();
  rig.game->miss();
  EXPECT_FALSE(rig.game->playing);
  rig.advance(1100);
  EXPECT_TRUE(rig.game->calls.empty());
  rig.advance(1);
  EXPECT_EQ((std::vector<std::string>{"reprise"}), rig.game->calls);
  EXPECT_TRUE(rig.game->playing);
  rig.advance(251);
  EXPECT_EQ("tick", rig.game->calls.back());
}

TEST(WatchButtons, TimeCyclesTheWatchModes) {
  VTechRig<Watch> rig;
  rig.on();
  rig.press(ZT_KEY_TIME);
  const int expected[] = {VT::MODE_TIME_2, VT::MODE_ALARM, VT::MODE_CHRONO, VT::MODE_DATE,
                          VT::MODE_TIME_1};
  for (int m : expected) {
    rig.press(ZT_KEY_TIME);
    EXPECT_EQ(m, rig.game->mode);
  }
}

TEST(WatchButtons, TimeAndGameButtonsWaitForIdleAfterGameOver) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode) << "Time does nothing during play";
  rig.advance(3000);
  lose(rig);
  EXPECT_EQ("over", rig.game->calls.back());
  EXPECT_FALSE(rig.game->game_idle);
  rig.game->calls.clear();
  rig.press(ZT_KEY_TIME);
  rig.press(ZT_KEY_GAME_A);
  rig.press(ZT_KEY_GAME_B);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode);
  EXPECT_TRUE(rig.game->calls.empty()) << "no new game before idle";
  EXPECT_EQ(5, rig.game->misses);

  rig.advance(3500);
  EXPECT_FALSE(rig.game->game_idle);
  rig.advance(1);
  EXPECT_TRUE(rig.game->game_idle);
  EXPECT_TRUE(rig.visible(VT::PS_MISS, 5)) << "marks stay on the LCD";
  rig.press(ZT_KEY_TIME);
  EXPECT_EQ(VT::MODE_TIME_1, rig.game->mode);
}

TEST(WatchButtons, GameButtonAfterIdleStartsANewGame) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.advance(2000);
  lose(rig);
  rig.advance(3501);
  rig.game->score = 12;
  rig.game->calls.clear();
  rig.press(ZT_KEY_GAME_B);
  EXPECT_EQ(VT::MODE_GAME_B, rig.game->mode);
  EXPECT_EQ((std::vector<std::string>{"level 4", "start 4"}), rig.game->calls);
  EXPECT_EQ(0, rig.game->score);
  EXPECT_EQ(0, rig.game->misses);
  EXPECT_FALSE(rig.visible(VT::PS_MISS, 1));
}

TEST(WatchButtons, TimeoutReturnsToTheTimeThirtySecondsAfterGameOver) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.advance(2000);
  lose(rig);
  rig.advance(30000);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode);
  rig.advance(1);
  EXPECT_EQ(VT::MODE_TIME_1, rig.game->mode);
}

TEST(WatchMended, NewGameWithinThirtySecondsOfGameOverKeepsPlaying) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.advance(2000);
  lose(rig);
  rig.advance(10000);
  rig.press(ZT_KEY_GAME_A);
  rig.game->calls.clear();
  rig.advance(40000);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode);
  EXPECT_FALSE(rig.game->game_idle);
  EXPECT_GT(rig.game->calls.size(), 100u) << "the new game keeps ticking";
}

TEST(WatchMended, SecondGameButtonDuringPlayKeepsMode) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.advance(2500);
  rig.game->calls.clear();
  rig.press(ZT_KEY_GAME_B);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode);
  rig.game->score_add(1);
  EXPECT_EQ("level -1", rig.game->calls.back());
  rig.game->calls.clear();
  rig.press(ZT_KEY_GAME_A);
  EXPECT_EQ(VT::MODE_GAME_A, rig.game->mode);
  EXPECT_TRUE(rig.game->calls.empty()) << "the running game was not restarted";
  EXPECT_EQ(1, rig.game->score);
  EXPECT_TRUE(rig.visible(VT::PS_GAME_A, 0));
  EXPECT_FALSE(rig.visible(VT::PS_GAME_B, 0));
}

TEST(WatchScore, ShowsOnlySignificantDigitsAndWraps) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.game->score_add(7);
  EXPECT_EQ("   7", rig.digits());
  rig.game->score_add(35);
  EXPECT_EQ("  42", rig.digits());
  rig.game->score_add(58);
  EXPECT_EQ(" 100", rig.digits());
  rig.game->score_add(905);
  EXPECT_EQ("1005", rig.digits());
  rig.game->score = 9998;
  rig.game->score_add(5);
  EXPECT_EQ(3, rig.game->score);
  EXPECT_EQ("   3", rig.digits());
  rig.game->score = -4;
  rig.game->score_update();
  EXPECT_EQ("    ", rig.digits());
}

TEST(WatchScore, PerDigitPicturesFollowTheDigitPosition) {
  VTechRig<ZT_Game_Defendo> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.game->score_add(25);
  EXPECT_FALSE(rig.visible(VT::PS_NUMBER, 2));
  EXPECT_EQ(22, rig.picture(VT::PS_NUMBER, 3));
  EXPECT_EQ(35, rig.picture(VT::PS_NUMBER, 4));
  EXPECT_EQ("im_number_3_2.bmp", rig.game->data.image_get(VT::IM_NUMBER, 22)->file);
  EXPECT_EQ("im_number_4_5.bmp", rig.game->data.image_get(VT::IM_NUMBER, 35)->file);
  EXPECT_EQ(40u, rig.game->data.images[VT::IM_NUMBER].size());
  rig.game->display_number(3, 5, true);
  EXPECT_EQ(25, rig.picture(VT::PS_NUMBER, 3));
}

TEST(WatchMisses, MarksLightUpToTheMissCount) {
  VTechRig<Watch> rig;
  start(rig, ZT_KEY_GAME_A);
  rig.game->misses_add(3);
  for (int i = 1; i <= 10; i++) {
    EXPECT_EQ(i <= 3, rig.visible(VT::PS_MISS, i)) << i;
    EXPECT_EQ(0, rig.picture(VT::PS_MISS, i));
  }
  rig.game->misses = 0;
  rig.game->miss_update();
  for (int i = 1; i <= 10; i++) EXPECT_FALSE(rig.visible(VT::PS_MISS, i));
}

TEST(WatchMisses, PerMarkPicturesWhenAsked) {
  VTechRig<Recorder<VT::VTF_MISS_PER_MARK> > rig;
  for (int i = 1; i <= 10; i++) EXPECT_EQ(i, rig.picture(VT::PS_MISS, i));
  EXPECT_EQ("im_miss_01.bmp", rig.game->data.image_get(VT::IM_MISS, 1)->file);
  EXPECT_EQ("im_miss_10.bmp", rig.game->data.image_get(VT::IM_MISS, 10)->file);
  EXPECT_EQ(nullptr, rig.game->data.image_get(VT::IM_MISS, 0));
  EXPECT_EQ(10u, rig.game->data.images[VT::IM_NUMBER].size());
}

}  // namespace
