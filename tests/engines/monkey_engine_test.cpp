// SPDX-License-Identifier: MIT
// The Monkey engine on the fake platform: the tick worked through step by
// step, catches and misses, the speed table, the spawn rules and the keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/dev_monkey.h"
#include "engines/dev_pirate.h"
#include "engines/deveng_vtech_monkey.h"
#include "engines/vtech_rig.h"

namespace {

typedef ZT_GameEngine_VTech_Monkey M;
typedef std::vector<std::string> Sounds;

typedef VTechRig<Counted<ZT_Game_Monkey> > MonkeyRig;

template <class G>
void start(VTechRig<G>& rig, int key) {
  rig.on();
  rig.press(ZT_KEY_TIME);
  rig.press(key);
}

// Runs the clock to the next tick; returns the milliseconds it took.
template <class G>
unsigned int next_tick(VTechRig<G>& rig) {
  int before = rig.game->ticks;
  unsigned int elapsed = 0;
  while (rig.game->ticks == before && elapsed < 60000) {
    rig.advance(1);
    elapsed++;
  }
  return elapsed;
}

// Steps 1 to 5 of a lane as text, '#' for an item.
template <class G>
std::string lane(VTechRig<G>& rig, int k) {
  std::string text;
  for (int s = 1; s <= 5; s++) text += rig.visible(M::PS_LANE + k, s) ? '#' : '.';
  return text;
}

template <class G>
int station(VTechRig<G>& rig) {
  int found = -1;
  for (int k = 0; k < 3; k++)
    if (rig.visible(M::PS_CHAR + k, 1)) found = found == -1 ? k : -2;
  return found;
}

template <class G>
bool catching(VTechRig<G>& rig, int k) {
  return rig.visible(M::PS_CHAR + k, 3) && !rig.visible(M::PS_CHAR + k, 2);
}

// Game A from 0 up to tick 13, where the first item reaches step 5 of lane 0.
void play_to_tick_13(MonkeyRig& rig) {
  start(rig, ZT_KEY_GAME_A);
  EXPECT_EQ(Sounds{"Start.wav"}, rig.sounds());
  EXPECT_EQ(1, station(rig));
  EXPECT_EQ(1801u + 251u, next_tick(rig));
  EXPECT_EQ("#....", lane(rig, 0));
  EXPECT_EQ(Sounds{"Move.wav"}, rig.sounds());
  for (int t = 2; t <= 3; t++) {
    EXPECT_EQ(251u, next_tick(rig));
    EXPECT_EQ(".....", lane(rig, 1));
    EXPECT_EQ(".....", lane(rig, 2));
    EXPECT_EQ(Sounds{}, rig.sounds()) << "tick " << t;
  }
  const char* steps[] = {".#...", "..#..", "...#.", "....#"};
  for (int i = 0; i < 4; i++) {
    next_tick(rig);
    EXPECT_EQ(steps[i], lane(rig, 0)) << "tick " << 4 + 3 * i;
    EXPECT_EQ(Sounds{"Move.wav"}, rig.sounds());
    if (i == 3) break;
    next_tick(rig);
    next_tick(rig);
    EXPECT_EQ(Sounds{}, rig.sounds());
  }
  EXPECT_EQ(13, rig.game->ticks);
}

TEST(MonkeyWorkedExample, CatchAtStationZero) {
  MonkeyRig rig;
  play_to_tick_13(rig);
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(0, station(rig));

  next_tick(rig);
  EXPECT_EQ(1, rig.game->score);
  EXPECT_EQ("   1", rig.digits());
  EXPECT_EQ(".....", lane(rig, 0));
  EXPECT_TRUE(rig.visible(M::PS_LANE, M::LANE_CAUGHT));
  EXPECT_EQ("#....", lane(rig, 1)) << "lane 1 advanced and found the field empty";
  EXPECT_EQ(Sounds{"Got.wav"}, rig.sounds());
  EXPECT_TRUE(catching(rig, 0));

  rig.advance(100);
  EXPECT_TRUE(catching(rig, 0));
  rig.advance(1);
  EXPECT_FALSE(catching(rig, 0));
  EXPECT_TRUE(rig.visible(M::PS_CHAR, 2)) << "back to the resting pose";

  EXPECT_EQ(251u + 60u, 101u + next_tick(rig)) << "the catch delays the next tick by 60 ms";
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_CAUGHT));
  EXPECT_TRUE(rig.visible(M::PS_LANE, M::LANE_GOT)) << "then the got segment for one tick";
  EXPECT_EQ(251u, next_tick(rig));
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_GOT));
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_CAUGHT));
}

TEST(MonkeyWorkedExample, MissPausesAndResumesOnTheNextLane) {
  MonkeyRig rig;
  play_to_tick_13(rig);
  next_tick(rig);
  EXPECT_EQ(0, rig.game->score);
  EXPECT_EQ(1, rig.game->misses);
  EXPECT_TRUE(rig.visible(M::PS_MISS, 1));
  EXPECT_EQ(".....", lane(rig, 0));
  EXPECT_TRUE(rig.visible(M::PS_LANE, M::LANE_MISS));
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_TARGET));
  EXPECT_TRUE(rig.visible(M::PS_LANE + 1, M::LANE_TARGET));
  EXPECT_EQ(Sounds{"Miss.wav"}, rig.sounds());
  EXPECT_FALSE(rig.game->playing);

  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(1, station(rig)) << "keys are ignored during the pause";

  EXPECT_EQ(1101u + 251u, next_tick(rig));
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_MISS));
  EXPECT_TRUE(rig.visible(M::PS_LANE, M::LANE_TARGET));
  EXPECT_EQ("#....", lane(rig, 1));
  EXPECT_EQ(Sounds{"Move.wav"}, rig.sounds());
}

// Sets the score before a catch made in front of the character.
template <class G>
void catch_at(VTechRig<G>& rig, int score) {
  rig.game->score = score;
  rig.game->data.position_get(M::PS_LANE + rig.game->char_pos, 5)->visible = true;
  next_tick(rig);
  ASSERT_EQ(score + 1, rig.game->score);
}

unsigned int tick_ms(ZT_Game* game) { return game->data.timer_get(M::TM_GAME)->interval; }

TEST(MonkeyLevels, GameABoundaries) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  EXPECT_EQ(1, rig.game->level);
  EXPECT_EQ(250u, tick_ms(rig.game.get()));
  next_tick(rig);
  catch_at(rig, 99);
  EXPECT_EQ(5, rig.game->level);
  EXPECT_EQ(215u, tick_ms(rig.game.get()));
  catch_at(rig, 199);
  EXPECT_EQ(1, rig.game->level);
  EXPECT_EQ(250u, tick_ms(rig.game.get()));

  struct Step {
    int from, level;
    unsigned int tick;
  } steps[] = {{2, 1, 250},  {3, 3, 250},   {48, 3, 250},  {49, 3, 250},
               {50, 4, 250}, {150, 5, 215}, {398, 5, 215}, {399, 1, 250}};
  for (const Step& s : steps) {
    rig.game->score = s.from;
    rig.game->score_add(1);
    EXPECT_EQ(s.level, rig.game->level) << "score " << s.from + 1;
    EXPECT_EQ(s.tick, tick_ms(rig.game.get())) << "score " << s.from + 1;
  }
}

TEST(MonkeyLevels, GameBBoundaries) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_B);
  EXPECT_EQ(1, rig.game->level);
  EXPECT_EQ(215u, tick_ms(rig.game.get()));
  next_tick(rig);
  catch_at(rig, 99);
  EXPECT_EQ(6, rig.game->level);
  EXPECT_EQ(185u, tick_ms(rig.game.get()));
  catch_at(rig, 199);
  EXPECT_EQ(1, rig.game->level);
  EXPECT_EQ(215u, tick_ms(rig.game.get()));
  rig.game->score = 3;
  rig.game->score_add(1);
  EXPECT_EQ(4, rig.game->level);
  rig.game->score = 50;
  rig.game->score_add(1);
  EXPECT_EQ(5, rig.game->level);
}

TEST(MonkeyMisses, FifthMissEndsTheGame) {
  MonkeyRig rig;
  play_to_tick_13(rig);
  rig.game->misses = 4;
  next_tick(rig);
  EXPECT_EQ(5, rig.game->misses);
  EXPECT_EQ(Sounds{"Miss.wav"}, rig.sounds());
  EXPECT_EQ(0, rig.game->move_lane);
  rig.advance(100);
  EXPECT_EQ(Sounds{}, rig.sounds());
  rig.advance(1);
  EXPECT_EQ(Sounds{"Gameover.wav"}, rig.sounds());
  EXPECT_TRUE(rig.visible(M::PS_LANE, M::LANE_MISS)) << "the lanes keep their last picture";
  rig.advance(3500);
  EXPECT_FALSE(rig.game->game_idle);
  rig.advance(1);
  EXPECT_TRUE(rig.game->game_idle);
  EXPECT_EQ(14, rig.game->ticks);
}

TEST(MonkeyMisses, TwoLanesOnStepFiveCountOneMissOnTheHigherLane) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  rig.game->data.position_get(M::PS_LANE, 5)->visible = true;
  rig.game->data.position_get(M::PS_LANE + 2, 5)->visible = true;
  rig.game->game_tick();
  EXPECT_EQ(1, rig.game->misses);
  EXPECT_EQ(".....", lane(rig, 0));
  EXPECT_EQ(".....", lane(rig, 2));
  EXPECT_FALSE(rig.visible(M::PS_LANE, M::LANE_MISS));
  EXPECT_TRUE(rig.visible(M::PS_LANE + 2, M::LANE_MISS));
}

TEST(MonkeySpawn, EmptyFieldAlwaysGetsAnItem) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  for (int i = 0; i < 50; i++) {
    rig.game->data_hideall(false);
    rig.game->move_lane = static_cast<uint16_t>(i % 3);
    rig.game->game_tick();
    EXPECT_EQ("#....", lane(rig, i % 3));
  }
}

TEST(MonkeySpawn, NoItemBehindAnotherNorBesideTheLastPlaced) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  rig.game->level = 15;
  for (int i = 0; i < 50; i++) {
    rig.game->data_hideall(false);
    rig.game->move_lane = 1;
    rig.game->data.position_get(M::PS_LANE + 1, 1)->visible = true;
    rig.game->game_tick();
    EXPECT_EQ(".#...", lane(rig, 1)) << "right behind another";

    rig.game->data_hideall(false);
    rig.game->move_lane = 0;
    rig.game->data.position_get(M::PS_LANE + 2, 1)->visible = true;
    rig.game->game_tick();
    EXPECT_EQ(".....", lane(rig, 0)) << "the lane before placed one";
  }
}

TEST(MonkeySpawn, NoItemIsPlacedOnceTheLevelIsReached) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  int most = 0;
  for (int i = 0; i < 3000; i++) {
    int advancing = rig.game->move_lane;
    // Stand where the last lane moved, so that every item is caught.
    rig.game->char_pos = advancing == 0 ? 2 : advancing - 1;
    rig.game->game_tick();
    ASSERT_EQ(0, rig.game->misses);
    int n = 0;
    for (int k = 0; k < 3; k++)
      for (int s = 1; s <= 5; s++) n += rig.visible(M::PS_LANE + k, s);
    if (rig.visible(M::PS_LANE + advancing, 1)) {
      ASSERT_LT(n - 1, rig.game->level) << "placed an item with " << n - 1 << " on the lanes";
    }
    if (n > most) most = n;
  }
  EXPECT_GT(rig.game->score, 400) << "the run went through the levels";
  EXPECT_GE(most, 4);
}

TEST(MonkeyKeys, MoveWithinTheStationsAndResetThePose) {
  MonkeyRig rig;
  rig.on();
  rig.press(ZT_KEY_TIME);
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(0, rig.game->char_pos) << "no movement outside a game";
  start(rig, ZT_KEY_GAME_A);
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(0, station(rig)) << "the character moves during the start delay";
  rig.game->char_update(0, true);
  rig.press(ZT_KEY_LEFT);
  EXPECT_EQ(0, station(rig));
  EXPECT_FALSE(catching(rig, 0)) << "a key redraws the resting pose";
  EXPECT_TRUE(rig.visible(M::PS_CHAR, 2));
  for (int i = 0; i < 3; i++) rig.press(ZT_KEY_RIGHT);
  EXPECT_EQ(2, station(rig));
  EXPECT_EQ(2, rig.game->char_pos);
  EXPECT_EQ(Sounds{"Start.wav"}, rig.sounds()) << "moving is silent";
}

TEST(MonkeyTargets, ShownAtStartOnlyWithTargets) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_B);
  for (int k = 0; k < 3; k++) EXPECT_TRUE(rig.visible(M::PS_LANE + k, M::LANE_TARGET));

  VTechRig<Counted<ZT_Game_Pirate> > pirate;
  start(pirate, ZT_KEY_GAME_B);
  pirate.game->showall_target(true);
  for (int k = 0; k < 3; k++)
    EXPECT_EQ(nullptr, pirate.game->data.position_get(M::PS_LANE + k, M::LANE_TARGET));
}

TEST(MonkeyMended, SecondGameButtonDuringPlayKeepsTheSpeed) {
  MonkeyRig rig;
  start(rig, ZT_KEY_GAME_A);
  next_tick(rig);
  rig.press(ZT_KEY_GAME_B);
  catch_at(rig, 99);
  EXPECT_EQ(M::MODE_GAME_A, rig.game->mode);
  EXPECT_EQ(215u, tick_ms(rig.game.get())) << "Game A's speed, not Game B's 185 ms";
  EXPECT_EQ(5, rig.game->level);
}

}  // namespace
