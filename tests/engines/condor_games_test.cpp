// SPDX-License-Identifier: MIT
// Condor, Pancake and Roller Coaster: their layouts, files and catalogue
// entries, and a long game of each with checks after every loop pass.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "condor_rig.h"
#include "engines/dev_condor.h"
#include "engines/dev_pancake.h"
#include "engines/dev_rollerc.h"

namespace {

typedef std::set<std::pair<int, int> > Keys;

template <class G>
void expect_layout_covers_exactly_the_declared_items() {
  G game;
  Condor engine(0, game.flags);
  Keys rows;
  for (size_t i = 0; i < G::layout_size; i++) {
    const Condor::Layout& row = G::layout[i];
    EXPECT_TRUE(rows.insert(std::make_pair(row.id, row.index)).second)
        << "moved twice: " << row.id << "," << row.index;
    ZT_GameData_Position* p = game.data.position_get(row.id, row.index);
    ASSERT_NE(nullptr, p) << "moves undeclared " << row.id << "," << row.index;
    EXPECT_EQ(row.x, p->x);
    EXPECT_EQ(row.y, p->y);
  }
  EXPECT_EQ(position_keys(&engine), rows);
  EXPECT_EQ(position_keys(&engine), position_keys(&game));
}

// File names a new game loads from one sub-folder ("image" or "sound"); checks
// that every path lies in the game's own folder.
template <class G>
std::set<std::string> loaded_names(const std::string& kind) {
  G game;
  FakePlatform platform;
  platform.datapath_set("/data");
  ZT_Device device(&platform);
  device.game = &game;
  device.Load();
  std::set<std::string> names;
  const std::string folder = "/data/" + game.folder + "/";
  for (const std::string& path : platform.loaded) {
    EXPECT_TRUE(path.find(folder + "image/") == 0 || path.find(folder + "sound/") == 0) << path;
    if (path.find(folder + kind + "/") == 0)
      names.insert(path.substr(folder.size() + kind.size() + 1));
  }
  device.Unload();
  return names;
}

}  // namespace

TEST(CondorGames, LayoutTablesMoveEveryDeclaredItemAndNothingElse) {
  expect_layout_covers_exactly_the_declared_items<ZT_Game_Pancake>();
  expect_layout_covers_exactly_the_declared_items<ZT_Game_RollerC>();
}

TEST(CondorGames, CondorKeepsTheEngineLayoutAndFolder) {
  ZT_Game_Condor game;
  Condor engine(0, Condor::CF_TRACK_ZERO);
  EXPECT_EQ("condor", game.folder);
  EXPECT_EQ(Condor::CF_TRACK_ZERO, game.flags);
  ASSERT_EQ(position_keys(&engine), position_keys(&game));
  for (const auto& key : position_keys(&game)) {
    ZT_GameData_Position* a = game.data.position_get(key.first, key.second);
    ZT_GameData_Position* b = engine.data.position_get(key.first, key.second);
    EXPECT_EQ(b->x, a->x) << key.first << "," << key.second;
    EXPECT_EQ(b->y, a->y) << key.first << "," << key.second;
  }
}

TEST(CondorGames, NoItemIsLeftAtThePlaceholderPoint) {
  std::unique_ptr<ZT_Game> games[] = {std::unique_ptr<ZT_Game>(new ZT_Game_Condor),
                                      std::unique_ptr<ZT_Game>(new ZT_Game_Pancake),
                                      std::unique_ptr<ZT_Game>(new ZT_Game_RollerC)};
  for (auto& game : games)
    for (const auto& key : position_keys(game.get())) {
      ZT_GameData_Position* p = game->data.position_get(key.first, key.second);
      EXPECT_FALSE(p->x == 210 && p->y == 221)
          << game->folder << " " << key.first << "," << key.second;
    }
}

TEST(CondorGames, RollerCoasterNeverDeclaresTrackZeroOrLeftDecorationZero) {
  ZT_Game_RollerC game;
  EXPECT_EQ(nullptr, game.data.position_get(Condor::PS_ITEM, 0));
  EXPECT_EQ(nullptr, game.data.position_get(Condor::PS_ITEM_LEFT, 0));
  EXPECT_EQ(nullptr, game.data.image_get(Condor::IM_ITEM, 0));
  EXPECT_EQ(nullptr, game.data.image_get(Condor::IM_ITEM_LEFT, 0));
  EXPECT_EQ(1, game.spawn_pos);
  EXPECT_EQ(1, game.spawn_phase);
  EXPECT_EQ(2, game.start_phase);
}

TEST(CondorGames, EachGameLoadsTheVariantPicturesOfItsFlagsFromItsOwnFolder) {
  const std::set<std::string> sounds = {"Gameover.wav", "Got.wav", "Miss.wav", "Move.wav",
                                        "Start.wav"};
  EXPECT_EQ(sounds, loaded_names<ZT_Game_RollerC>("sound"));
  std::set<std::string> c = loaded_names<ZT_Game_Condor>("image");
  std::set<std::string> p = loaded_names<ZT_Game_Pancake>("image");
  std::set<std::string> r = loaded_names<ZT_Game_RollerC>("image");
  // picture, then whether Condor, Pancake and Roller Coaster load it
  const struct {
    const char* name;
    bool condor, pancake, rollerc;
  } pictures[] = {
      {"item_27.bmp", true, true, true},         {"item_00.bmp", true, true, false},
      {"item_left_0.bmp", false, true, false},   {"item_right_1.bmp", true, false, true},
      {"item_right_1a.bmp", false, true, false}, {"item_right_1b.bmp", false, true, false},
      {"item_right_5.bmp", false, true, true},   {"item_right_6.bmp", false, true, true},
  };
  for (const auto& picture : pictures) {
    EXPECT_EQ(picture.condor, c.count(picture.name) == 1) << picture.name;
    EXPECT_EQ(picture.pancake, p.count(picture.name) == 1) << picture.name;
    EXPECT_EQ(picture.rollerc, r.count(picture.name) == 1) << picture.name;
  }
}

TEST(CondorGames, CatalogueEntriesPassTheirFieldsOnAndCreateFreshGames) {
  ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  ZT_Game_Condor_Info condor("condor", "Time & Fun - Condor", "condor", "/d", "bg.bmp", magenta);
  ZT_Game_Pancake_Info pancake("pancake", "Time & Fun - Pancake", "pancake", "/d", "bg.bmp",
                               magenta);
  ZT_Game_RollerC_Info rollerc("rollerc", "Time & Fun - Roller Coaster", "rollerc", "/d", "bg.bmp",
                               magenta);
  EXPECT_EQ("Time & Fun - Roller Coaster", rollerc.title);
  EXPECT_EQ("/d/pancake/image/bg.bmp", pancake.bgimg_path());
  EXPECT_EQ(255, condor.transparent.b);

  ZT_Game_Info* entries[] = {&condor, &pancake, &rollerc};
  const char* folders[] = {"condor", "pancake", "rollerc"};
  for (int i = 0; i < 3; i++) {
    std::unique_ptr<ZT_Game> one(entries[i]->create());
    std::unique_ptr<ZT_Game> two(entries[i]->create());
    ASSERT_NE(one.get(), two.get());
    EXPECT_EQ(folders[i], one->folder);
    EXPECT_NE(nullptr, dynamic_cast<Condor*>(one.get()));
  }
  std::unique_ptr<ZT_Game> game(rollerc.create());
  EXPECT_NE(nullptr, dynamic_cast<ZT_Game_RollerC*>(game.get()));
}

namespace {

// The station that the next item to reach a lane end needs, 0 for none:
// lane 1 moves in phases 1 and 4, lane 2 in 3 and 6, lane 3 in 2 and 5.
template <class G>
int urgent_station(CondorRig<G>& rig) {
  int best = 0, best_ticks = 1 << 30;
  for (int i = rig.game->spawn_pos; i <= Condor::TRACK_END_3; i++) {
    if (rig.track(i)->state != 1) continue;
    int station = rig.station_for(i);
    int end = station == 3   ? Condor::TRACK_END_1
              : station == 2 ? Condor::TRACK_END_2
                             : Condor::TRACK_END_3;
    int lane_phase = station == 3 ? 1 : station == 2 ? 0 : 2;
    int ticks = -1;
    if (i < end) {
      int wait = 0;
      for (int ph = rig.game->phase; ph % 3 != lane_phase && wait < 6; ph = ph % 6 + 1) wait++;
      ticks = wait + 3 * (end - i - 1);
    }
    if (ticks < best_ticks) {
      best_ticks = ticks;
      best = station;
    }
  }
  return best;
}

// Plays for `seconds` of clock time: mostly a sensible player, with random
// presses of every key mixed in (more of them later, so that games end), and
// checks the game after every pass of the loop.
template <class G>
void long_run(unsigned int seconds, unsigned int seed) {
  CondorRig<G> rig;
  std::mt19937 random(seed);
  const Keys keys = position_keys(rig.game.get());
  std::set<std::string> files;
  for (auto& outer : rig.game->data.images)
    for (auto& inner : outer.second)
      files.insert(rig.device.datapath + "/" + rig.game->folder + "/image/" + inner.second->file);
  const bool always_zero = (rig.game->flags & Condor::CF_LEFT_ZERO) != 0;

  rig.start(ZT_KEY_GAME_A);
  unsigned int next_key = rig.platform.ticks + 100;
  int last_score = 0, max_score = 0, games = 1;
  size_t last_ticks = 0;
  const unsigned int end = rig.platform.ticks + seconds * 1000;
  static const int others[] = {ZT_KEY_TIME,   ZT_KEY_GAME_A,      ZT_KEY_GAME_B, ZT_KEY_ZOOM_1,
                               ZT_KEY_ZOOM_0, ZT_KEY_VOLUME_DOWN, ZT_KEY_BACK,   ZT_KEY_UP};
  while (rig.platform.ticks < end) {
    CondorProbe<G>& game = *rig.game;
    bool in_game = game.mode == Condor::MODE_GAME_A || game.mode == Condor::MODE_GAME_B;
    if (rig.platform.ticks >= next_key) {
      next_key = rig.platform.ticks + 20 + random() % 150;
      int smart = rig.platform.ticks < end - seconds * 500 ? 920 : 600;  // in 1000
      int roll = static_cast<int>(random() % 1000);
      if (!game.turned_on) {
        rig.press(ZT_KEY_ENTER);
      } else if (!in_game || game.game_idle) {
        rig.press(random() % 2 ? ZT_KEY_GAME_A : ZT_KEY_GAME_B);
        if (game.mode == Condor::MODE_GAME_A || game.mode == Condor::MODE_GAME_B) games++;
      } else if (roll < smart) {
        int station = urgent_station(rig);
        if (station > game.char_pos) rig.press(ZT_KEY_RIGHT);
        if (station != 0 && station < game.char_pos) rig.press(ZT_KEY_LEFT);
      } else if (roll < 998) {
        rig.press(random() % 2 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
      } else {
        rig.press(others[random() % (sizeof others / sizeof others[0])]);
      }
      if (game.score == 0) last_score = 0;  // perhaps a new game
    }
    rig.platform.ticks++;
    rig.pass();
    in_game = game.mode == Condor::MODE_GAME_A || game.mode == Condor::MODE_GAME_B;

    // Checks after the pass.
    for (const DrawCall& call : rig.platform.draws)
      ASSERT_TRUE(call.kind != DrawCall::IMAGE || files.count(call.path)) << call.path;
    rig.platform.clear_log();
    for (int i = rig.game->spawn_pos; i <= Condor::TRACK_MISS_3; i++) {
      int state = rig.track(i)->state;
      ASSERT_TRUE(state >= -1 && state <= 3) << "index " << i << " state " << state;
      ASSERT_NE(3, state) << "a missed item outlived its tick at " << i;
    }
    if (!in_game) {
      last_score = 0;
      continue;
    }
    ASSERT_GE(game.score, 0);
    ASSERT_LE(game.score, 9999);
    if (game.score != last_score) {
      ASSERT_EQ(last_score + 1, game.score);
      ASSERT_TRUE(rig.visible(Condor::PS_ITEM_LEFT, 2)) << "scored without the left frame 2";
    }
    last_score = game.score;
    if (game.score > max_score) max_score = game.score;
    ASSERT_GE(game.misses, 0);
    ASSERT_LE(game.misses, 5);
    for (int i = 1; i <= 10; i++) ASSERT_EQ(i <= game.misses, rig.visible(Condor::PS_MISS, i));
    ASSERT_LE(game.level, 6);
    ASSERT_LE(game.phase, 6);
    for (int i = game.spawn_pos; i <= Condor::TRACK_EXIT; i++) {
      ZT_GameData_Position* p = rig.track(i);
      ASSERT_EQ(p->visible, p->state == 1 || p->state == 2) << "index " << i;
    }
    if (always_zero) {
      ASSERT_TRUE(rig.visible(Condor::PS_ITEM_LEFT, 0));
      ASSERT_TRUE(rig.visible(Condor::PS_ITEM_RIGHT, 0));
    }
    if (game.tick_phases.size() != last_ticks) {
      last_ticks = game.tick_phases.size();
      for (int i = 0; i <= 6; i++) {
        ZT_GameData_Position* p = rig.at(Condor::PS_ITEM_RIGHT, i);
        if (p != nullptr) {
          ASSERT_EQ(right_lit(game.tick_phases.back(), i), p->visible);
        }
      }
    }
  }
  EXPECT_EQ(keys, position_keys(rig.game.get()));
  EXPECT_GE(rig.game->game_overs, 1);
  EXPECT_GE(max_score, 30) << "play never reached the faster levels";
  EXPECT_GT(games, 1);
}

}  // namespace

TEST(CondorLongRun, CondorKeepsItsInvariantsThroughManyGames) { long_run<ZT_Game_Condor>(1200, 1); }

TEST(CondorLongRun, PancakeKeepsItsInvariantsAndDecorationZeroThroughManyGames) {
  long_run<ZT_Game_Pancake>(1200, 2);
}

TEST(CondorLongRun, RollerCoasterKeepsItsInvariantsThroughManyGames) {
  long_run<ZT_Game_RollerC>(1200, 3);
}
