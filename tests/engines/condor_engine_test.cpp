// SPDX-License-Identifier: MIT
// The Condor engine's rules: the cycle of phases, spawning, catching, misses,
// game over, difficulty, decorations and the movement keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "condor_rig.h"
#include "engines/dev_condor.h"
#include "engines/dev_pancake.h"
#include "engines/dev_rollerc.h"

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Follows the only item on the track until it stands one step before `end`,
// then waits at `arrival_station` until the item reaches the end.
template <class G>
void bring_to_end(CondorRig<G>& rig, int end, int arrival_station) {
  for (int t = 0;; t++) {
    ASSERT_LT(t, 500) << "no item came near end " << end;
    std::vector<int> items = rig.items();
    ASSERT_LE(items.size(), 1u);
    if (!items.empty() && items[0] == end - 1) break;
    if (!items.empty()) rig.go_to(rig.station_for(items[0]));
    ASSERT_TRUE(rig.next_tick());
  }
  rig.go_to(arrival_station);
  for (int t = 0; !rig.track(end)->visible; t++) {
    ASSERT_LT(t, 3);
    ASSERT_TRUE(rig.next_tick());
  }
}

template <class G>
void expect_first_spawn(int first_phase, int spawn_tick, int index) {
  CondorRig<G> rig;
  rig.start();
  for (int t = 1; t < spawn_tick; t++) {
    ASSERT_TRUE(rig.next_tick());
    EXPECT_TRUE(rig.items().empty()) << "item before tick " << spawn_tick;
  }
  ASSERT_TRUE(rig.next_tick());
  EXPECT_EQ(first_phase, rig.game->tick_phases[0]);
  EXPECT_EQ(std::vector<int>{index}, rig.items());
  EXPECT_EQ(1, rig.track(index)->state);
}

// One item goes all the way with the player at the right station each time.
template <class G>
void expect_journey() {
  CondorRig<G> rig;
  rig.start();
  std::vector<int> path;
  for (int t = 0; rig.game->score == 0; t++) {
    ASSERT_LT(t, 300);
    std::vector<int> items = rig.items();
    ASSERT_LE(items.size(), 1u);
    if (!items.empty()) {
      if (path.empty() || path.back() != items[0]) path.push_back(items[0]);
      rig.go_to(rig.station_for(items[0]));
    }
    ASSERT_TRUE(rig.next_tick());
  }
  std::vector<int> expected;
  for (int i = rig.game->spawn_pos; i <= Condor::TRACK_EXIT; i++) expected.push_back(i);
  EXPECT_EQ(expected, path);
  EXPECT_EQ(1, rig.game->score);
  EXPECT_EQ(0, rig.game->misses);
  std::vector<std::string> sounds = rig.sounds();
  EXPECT_EQ(3, std::count(sounds.begin(), sounds.end(), "Got.wav"));
  EXPECT_FALSE(contains(sounds, "Miss.wav"));

  EXPECT_EQ(2, rig.game->items_left);
  EXPECT_TRUE(rig.visible(Condor::PS_ITEM_LEFT, 2));
  EXPECT_FALSE(rig.visible(Condor::PS_ITEM_LEFT, 1));
  ASSERT_TRUE(rig.next_tick());
  EXPECT_EQ(1, rig.game->items_left);
  EXPECT_FALSE(rig.visible(Condor::PS_ITEM_LEFT, 2));
  EXPECT_TRUE(rig.visible(Condor::PS_ITEM_LEFT, 1));
}

}  // namespace

TEST(CondorCycle, WithTrackZeroFirstTickIsPhaseSixAndFirstItemAppearsAtZeroInFifthTick) {
  expect_first_spawn<ZT_Game_Condor>(6, 5, 0);
  expect_first_spawn<ZT_Game_Pancake>(6, 5, 0);
}

TEST(CondorCycle, WithoutTrackZeroFirstTickIsPhaseTwoAndFirstItemAppearsAtOneInSixthTick) {
  expect_first_spawn<ZT_Game_RollerC>(2, 6, 1);
  expect_first_spawn<Flagged<0> >(2, 6, 1);
}

TEST(CondorCycle, FirstTickComesOneTickIntervalAfterTheStartDelay) {
  CondorRig<ZT_Game_Condor> a;
  a.start(ZT_KEY_GAME_A);
  unsigned int started = a.platform.ticks;
  ASSERT_TRUE(a.next_tick());
  EXPECT_EQ(1801u + 216u, a.game->tick_times[0] - started);

  CondorRig<ZT_Game_Condor> b;
  b.start(ZT_KEY_GAME_B);
  started = b.platform.ticks;
  ASSERT_TRUE(b.next_tick());
  EXPECT_EQ(1801u + 181u, b.game->tick_times[0] - started);
}

TEST(CondorCycle, GameStartPlaysStartAndPutsPlayerAtStationThree) {
  CondorRig<ZT_Game_Condor> rig;
  rig.start();
  EXPECT_EQ(std::vector<std::string>{"Start.wav"}, rig.sounds());
  EXPECT_EQ(3, rig.game->char_pos);
  EXPECT_FALSE(rig.visible(Condor::PS_CHAR, 1));
  EXPECT_FALSE(rig.visible(Condor::PS_CHAR, 2));
  EXPECT_TRUE(rig.visible(Condor::PS_CHAR, 3));
  for (int i = 1; i <= 4; i++)
    EXPECT_EQ(right_lit(0, i), rig.visible(Condor::PS_ITEM_RIGHT, i)) << i;
}

TEST(CondorJourney, ItemFollowedThroughAllLanesScoresOneAndFlashesLeftFrameTwo) {
  expect_journey<ZT_Game_Condor>();
  expect_journey<ZT_Game_RollerC>();
}

TEST(CondorCatch, ItemReachingAnEndAtTheStationIsCaughtInThatTick) {
  const int ends[][2] = {
      {Condor::TRACK_END_1, 3}, {Condor::TRACK_END_2, 2}, {Condor::TRACK_END_3, 1}};
  for (const auto& end : ends) {
    CondorRig<ZT_Game_Condor> rig;
    rig.start();
    ASSERT_NO_FATAL_FAILURE(bring_to_end(rig, end[0], end[1]));
    EXPECT_EQ(2, rig.track(end[0])->state) << end[0];
    EXPECT_EQ("Got.wav", rig.last_sound());
    // The caught item waits for the next lane's move, two ticks later.
    ASSERT_TRUE(rig.next_tick());
    EXPECT_EQ(2, rig.track(end[0])->state);
    ASSERT_TRUE(rig.next_tick());
    EXPECT_FALSE(rig.track(end[0])->visible);
    EXPECT_EQ(std::vector<int>{end[0] + 1}, rig.items());
  }
}

TEST(CondorCatch, PlayerArrivingBeforeTheNextTickCatchesLateAndDelaysTheTickBy60ms) {
  const int ends[][3] = {
      {Condor::TRACK_END_1, 3, 2}, {Condor::TRACK_END_2, 2, 3}, {Condor::TRACK_END_3, 1, 2}};
  for (const auto& end : ends) {
    CondorRig<ZT_Game_Condor> rig;
    rig.start();
    ASSERT_NO_FATAL_FAILURE(bring_to_end(rig, end[0], end[2]));
    EXPECT_EQ(1, rig.track(end[0])->state);
    EXPECT_EQ("Move.wav", rig.last_sound());
    unsigned int arrived = rig.game->tick_times.back();

    rig.go_to(end[1]);
    ASSERT_TRUE(rig.next_tick());
    unsigned int caught = rig.game->tick_times.back();
    EXPECT_EQ(2, rig.track(end[0])->state) << end[0];
    EXPECT_EQ("Got.wav", rig.last_sound());
    EXPECT_EQ(0, rig.game->misses);

    ASSERT_TRUE(rig.next_tick());
    unsigned int after = rig.game->tick_times.back();
    EXPECT_EQ(60u, (after - caught) - (caught - arrived)) << end[0];
  }
}

TEST(CondorMiss, MissAtEachEndShowsItsMarkerPauses800msThenHidesIt) {
  // end, its marker, a station away from it
  const int ends[][3] = {{Condor::TRACK_END_1, Condor::TRACK_MISS_3, 2},
                         {Condor::TRACK_END_2, Condor::TRACK_MISS_2, 1},
                         {Condor::TRACK_END_3, Condor::TRACK_MISS_1, 3}};
  for (const auto& end : ends) {
    CondorRig<ZT_Game_RollerC> rig;
    rig.start();
    ASSERT_NO_FATAL_FAILURE(bring_to_end(rig, end[0], end[2]));
    rig.sounds();
    ASSERT_TRUE(rig.next_tick());
    unsigned int missed = rig.game->tick_times.back();

    EXPECT_EQ(1, rig.game->misses);
    EXPECT_FALSE(rig.game->playing);
    EXPECT_TRUE(rig.visible(Condor::PS_MISS, 1));
    EXPECT_FALSE(rig.track(end[0])->visible);
    EXPECT_EQ(0, rig.track(end[0])->state);
    for (int m = Condor::TRACK_MISS_1; m <= Condor::TRACK_MISS_3; m++)
      EXPECT_EQ(m == end[1], rig.track(m)->visible) << "end " << end[0] << " marker " << m;
    EXPECT_EQ(std::vector<std::string>{"Miss.wav"}, rig.sounds());

    // Keys are ignored during the pause.
    int station = rig.game->char_pos;
    rig.press(station == 1 ? ZT_KEY_RIGHT : ZT_KEY_LEFT);
    EXPECT_EQ(station, rig.game->char_pos);

    rig.advance(missed + 800 - rig.platform.ticks);
    EXPECT_TRUE(rig.track(end[1])->visible);
    EXPECT_FALSE(rig.game->playing);
    rig.advance(1);
    EXPECT_FALSE(rig.track(end[1])->visible);
    EXPECT_TRUE(rig.game->playing);
    EXPECT_TRUE(rig.next_tick(300));
  }
}

TEST(CondorMiss, WhenTwoEndsHoldMissedItemsEndSevenIsTakenAndTheOtherStaysShown) {
  // Play never puts moving items on two ends at once; a tick must still cope.
  CondorRig<ZT_Game_Condor> rig;
  rig.start();
  const int ends[] = {Condor::TRACK_END_1, Condor::TRACK_END_3};
  for (int end : ends) {
    rig.track(end)->visible = true;
    rig.track(end)->state = 1;
  }
  rig.game->char_pos = 2;
  rig.game->game_tick();
  EXPECT_EQ(1, rig.game->misses);
  EXPECT_FALSE(rig.track(Condor::TRACK_END_1)->visible);
  EXPECT_TRUE(rig.track(Condor::TRACK_MISS_3)->visible);
  EXPECT_FALSE(rig.track(Condor::TRACK_MISS_1)->visible);
  EXPECT_TRUE(rig.track(Condor::TRACK_END_3)->visible);
  EXPECT_EQ(3, rig.track(Condor::TRACK_END_3)->state);
}

TEST(CondorMiss, FifthMissPausesTwoSecondsThenPlaysGameover) {
  CondorRig<ZT_Game_Condor> rig;
  rig.start();
  rig.go_to(1);  // every item is missed at the end of lane 1
  for (int n = 1; n <= 5; n++) {
    for (int t = 0; rig.game->misses < n; t++) {
      ASSERT_LT(t, 200);
      ASSERT_TRUE(rig.next_tick());
    }
    unsigned int missed = rig.game->tick_times.back();
    EXPECT_TRUE(rig.track(Condor::TRACK_MISS_3)->visible);
    for (int i = 1; i <= 10; i++) EXPECT_EQ(i <= n, rig.visible(Condor::PS_MISS, i));
    if (n < 5) {
      rig.advance(missed + 801 - rig.platform.ticks);
      EXPECT_FALSE(rig.track(Condor::TRACK_MISS_3)->visible) << "miss " << n;
      EXPECT_TRUE(rig.game->playing);
      continue;
    }
    EXPECT_EQ(1, rig.game->phase);
    rig.sounds();
    rig.advance(missed + 2000 - rig.platform.ticks);
    EXPECT_TRUE(rig.sounds().empty());
    EXPECT_EQ(0, rig.game->game_overs);
    rig.advance(1);
    EXPECT_EQ(std::vector<std::string>{"Gameover.wav"}, rig.sounds());
    EXPECT_EQ(1, rig.game->game_overs);
  }
  // The game stays over: no more ticks, the last marker and the score stay.
  EXPECT_FALSE(rig.next_tick(5000));
  EXPECT_TRUE(rig.track(Condor::TRACK_MISS_3)->visible);
  EXPECT_FALSE(rig.game->playing);
  EXPECT_TRUE(rig.game->game_idle);
}

TEST(CondorLevel, LevelOneKeepsOneItemOnTheTrackAndAlwaysFillsAnEmptyOne) {
  CondorRig<ZT_Game_RollerC> rig;
  rig.start();
  int spawn_ticks = 0;
  for (int t = 0; rig.game->score < 4; t++) {
    ASSERT_LT(t, 2000);
    ASSERT_EQ(1, rig.game->level);
    std::vector<int> before = rig.items();
    if (!before.empty()) rig.go_to(rig.station_for(before[0]));
    bool spawn_tick = rig.game->phase == rig.game->spawn_phase;
    ASSERT_TRUE(rig.next_tick());
    ASSERT_EQ(0, rig.game->misses);
    std::vector<int> after = rig.items();
    ASSERT_LE(after.size(), 1u) << "tick " << t;
    if (spawn_tick && before.empty()) {
      EXPECT_EQ(std::vector<int>{rig.game->spawn_pos}, after) << "tick " << t;
      spawn_ticks++;
    }
  }
  EXPECT_GT(spawn_ticks, 0);
  EXPECT_EQ(3, rig.game->level);
}

TEST(CondorLevel, SpeedFollowsTheScoreAtEachBoundaryAndRepeatsEvery200) {
  // score, then level and tick for Game A and for Game B
  const int rows[][5] = {
      {0, 1, 215, 1, 180},   {3, 1, 215, 1, 180},   {4, 3, 215, 4, 180},   {23, 3, 215, 4, 180},
      {24, 3, 215, 6, 180},  {29, 3, 215, 6, 180},  {30, 5, 215, 6, 180},  {39, 5, 215, 6, 180},
      {40, 5, 185, 6, 155},  {69, 5, 185, 6, 155},  {70, 5, 150, 6, 130},  {99, 5, 150, 6, 130},
      {100, 5, 150, 6, 130}, {199, 5, 150, 6, 130}, {200, 1, 215, 1, 180}, {204, 3, 215, 4, 180},
      {299, 5, 150, 6, 130}, {350, 5, 150, 6, 130}, {9999, 5, 150, 6, 130}};
  CondorRig<ZT_Game_Condor> a, b;
  a.start(ZT_KEY_GAME_A);
  b.start(ZT_KEY_GAME_B);
  for (const auto& row : rows) {
    for (auto* game : {static_cast<Condor*>(a.game.get()), static_cast<Condor*>(b.game.get())}) {
      bool game_a = game->mode == Condor::MODE_GAME_A;
      game->score = row[0];
      game->level_update(-1);
      EXPECT_EQ(game_a ? row[1] : row[3], game->level) << row[0] << (game_a ? " A" : " B");
      EXPECT_EQ(game_a ? row[2] : row[4],
                static_cast<int>(game->data.timer_get(Condor::TM_GAME)->interval))
          << row[0] << (game_a ? " A" : " B");
    }
  }
}

TEST(CondorLevel, ScoresFrom100To199KeepWhateverSpeedWasSetBefore) {
  CondorRig<ZT_Game_Condor> rig;
  rig.start(ZT_KEY_GAME_A);
  Condor& game = *rig.game;
  ZT_GameData_Timer* tick = game.data.timer_get(Condor::TM_GAME);
  // Straight from the start of a game the values of the range 0 to 3 stay.
  game.score = 150;
  game.level_update(-1);
  EXPECT_EQ(1, game.level);
  EXPECT_EQ(215u, tick->interval);
  // Counting past 99 with score_add keeps the values of 99.
  game.score = 98;
  game.score_add(1);
  game.score_add(1);
  EXPECT_EQ(100, game.score);
  EXPECT_EQ(5, game.level);
  EXPECT_EQ(150u, tick->interval);
  // Outside a game mode nothing changes.
  game.score = 0;
  game.level_update(Condor::MODE_TIME_1);
  EXPECT_EQ(5, game.level);
  EXPECT_EQ(150u, tick->interval);
}

TEST(CondorDecoration, RightDecorationShowsThePhasePatternWithinEachFlagsRange) {
  const int flag_sets[] = {0, 1, 2, 4, 8, 12, 15};
  for (int flags : flag_sets) {
    Condor engine(0, flags);
    for (int phase = 0; phase <= 8; phase++) {
      engine.items_right_update(phase);
      for (int i = 0; i <= 6; i++) {
        ZT_GameData_Position* p = engine.data.position_get(Condor::PS_ITEM_RIGHT, i);
        bool declared = (i >= 1 && i <= 4) || (i == 0 && (flags & Condor::CF_RIGHT_AB)) ||
                        (i >= 5 && (flags & Condor::CF_RIGHT_EXTRA));
        ASSERT_EQ(declared, p != nullptr) << "flags " << flags << " index " << i;
        if (p != nullptr) {
          EXPECT_EQ(right_lit(phase, i), p->visible)
              << "flags " << flags << " phase " << phase << " index " << i;
        }
      }
    }
  }
}

TEST(CondorDecoration, LeftDecorationShowsTheFrameAndIndexZeroOnlyWithFlagTwo) {
  const int flag_sets[] = {0, Condor::CF_LEFT_ZERO};
  for (int flags : flag_sets) {
    Condor engine(0, flags);
    ZT_GameData_Position* zero = engine.data.position_get(Condor::PS_ITEM_LEFT, 0);
    ASSERT_EQ(flags != 0, zero != nullptr);
    for (int frame = 1; frame <= 2; frame++) {
      engine.items_left_update(frame);
      if (zero != nullptr) {
        EXPECT_TRUE(zero->visible);
      }
      EXPECT_EQ(frame == 1, engine.data.position_get(Condor::PS_ITEM_LEFT, 1)->visible);
      EXPECT_EQ(frame == 2, engine.data.position_get(Condor::PS_ITEM_LEFT, 2)->visible);
    }
  }
}

TEST(CondorDecoration, EachTickShowsTheRightDecorationOfItsPhase) {
  CondorRig<ZT_Game_Pancake> rig;
  rig.start();
  for (int t = 0; t < 12; t++) {
    ASSERT_TRUE(rig.next_tick());
    int phase = rig.game->tick_phases.back();
    for (int i = 0; i <= 6; i++)
      EXPECT_EQ(right_lit(phase, i), rig.visible(Condor::PS_ITEM_RIGHT, i)) << phase << " " << i;
  }
}

TEST(CondorKeys, PlayerStaysWithinStationsAndKeysActOnlyInPlay) {
  CondorRig<ZT_Game_Condor> rig;
  rig.device.TurnOn();
  rig.press(ZT_KEY_GAME_A);  // the watch
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(3, rig.game->char_pos);
  EXPECT_FALSE(rig.visible(Condor::PS_CHAR, 2));

  rig.press(ZT_KEY_GAME_A);
  rig.press(ZT_KEY_RIGHT);
  EXPECT_EQ(3, rig.game->char_pos);
  EXPECT_TRUE(rig.visible(Condor::PS_CHAR, 3));
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(2, rig.game->char_pos);
  rig.press(ZT_KEY_LEFT);
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(1, rig.game->char_pos);
  for (int i = 1; i <= 3; i++) EXPECT_EQ(i == 1, rig.visible(Condor::PS_CHAR, i));
  // A key never catches by itself: nothing is on the track yet.
  EXPECT_TRUE(rig.items().empty());
}
