// SPDX-License-Identifier: MIT
// Monkey, Pirate and Defendo: their settings and layouts against the engine's
// declarations, their catalogue entries, and long games with random keys.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <typeinfo>
#include <utility>

#include "engines/dev_defendo.h"
#include "engines/dev_monkey.h"
#include "engines/dev_pirate.h"
#include "engines/vtech_rig.h"

namespace {

typedef ZT_GameEngine_VTech_Monkey M;
typedef std::pair<int, int> Key;

struct Geometry {
  int zoom_width, zoom_height, lcd_x, lcd_y, lcd_width, lcd_height;
};

void expect_geometry(ZT_Game* game, const Geometry& g) {
  EXPECT_EQ(g.zoom_width, game->zoom_width);
  EXPECT_EQ(g.zoom_height, game->zoom_height);
  EXPECT_EQ(g.lcd_x, game->lcd_x);
  EXPECT_EQ(g.lcd_y, game->lcd_y);
  EXPECT_EQ(g.lcd_width, game->lcd_width);
  EXPECT_EQ(g.lcd_height, game->lcd_height);
}

// A game's layout names only positions its engine declared, each exactly
// once, and moves all of them; rows run stations, lanes, then watch items.
template <class G>
void expect_layout_moves_every_declared_position(int display_flags) {
  M engine(display_flags, 0);
  G game;
  std::set<Key> declared = position_keys(&engine);
  EXPECT_EQ(declared, position_keys(&game)) << "the game declares nothing of its own";

  std::set<Key> moved;
  int last_group = -1;
  Key last(-1, -1);
  for (size_t i = 0; i < G::layout_size; i++) {
    const M::Layout& row = G::layout[i];
    Key key(row.id, row.index);
    EXPECT_EQ(1u, declared.count(key)) << "undeclared " << row.id << "," << row.index;
    EXPECT_TRUE(moved.insert(key).second) << "moved twice " << row.id << "," << row.index;
    int group = row.id >= M::PS_CHAR ? 0 : 1;
    EXPECT_TRUE(group > last_group || (group == last_group && key > last))
        << "out of order at " << row.id << "," << row.index;
    last_group = group;
    last = key;
    ZT_GameData_Position* position = game.data.position_get(row.id, row.index);
    ASSERT_NE(nullptr, position);
    EXPECT_EQ(row.x, position->x);
    EXPECT_EQ(row.y, position->y);
  }
  EXPECT_EQ(declared, moved) << "every declared position is moved";
}

// The caught item sits where step 5 is, in every lane.
void expect_caught_on_step_five(ZT_Game* game) {
  for (int k = 0; k < 3; k++) {
    ZT_GameData_Position* step5 = game->data.position_get(M::PS_LANE + k, 5);
    ZT_GameData_Position* caught = game->data.position_get(M::PS_LANE + k, M::LANE_CAUGHT);
    EXPECT_EQ(step5->x, caught->x);
    EXPECT_EQ(step5->y, caught->y);
    EXPECT_EQ(step5->image_id, caught->image_id);
    EXPECT_EQ(step5->image_index, caught->image_index);
  }
}

template <class G>
void expect_loads_from(const std::string& folder) {
  VTechRig<G> rig;
  ASSERT_FALSE(rig.platform.loaded.empty());
  for (const std::string& path : rig.platform.loaded)
    EXPECT_EQ(0u, path.find("data/" + folder + "/")) << path;
}

TEST(MonkeyGame, KeepsTheEngineLayoutFolderAndTargets) {
  M engine(0, M::MF_TARGET);
  ZT_Game_Monkey game;
  EXPECT_EQ("monkey", game.folder);
  expect_geometry(&game, {561, 347, 152, 53, 257, 192});
  ASSERT_EQ(position_keys(&engine), position_keys(&game));
  for (const Key& key : position_keys(&game)) {
    EXPECT_EQ(engine.data.position_get(key.first, key.second)->x,
              game.data.position_get(key.first, key.second)->x);
    EXPECT_EQ(engine.data.position_get(key.first, key.second)->y,
              game.data.position_get(key.first, key.second)->y);
  }
  for (int k = 0; k < 3; k++) {
    ASSERT_NE(nullptr, game.data.position_get(M::PS_LANE + k, M::LANE_TARGET));
    EXPECT_EQ("im_item_" + std::to_string(k + 1) + "_target.bmp",
              game.data.image_get(M::PS_LANE + k + 1, M::LANE_TARGET)->file);
  }
  expect_caught_on_step_five(&game);
  expect_loads_from<ZT_Game_Monkey>("monkey");
}

TEST(MonkeyGame, EngineNamesItsPicturesAndSounds) {
  ZT_Game_Monkey game;
  EXPECT_EQ("im_char_2_3.bmp", game.data.image_get(M::PS_CHAR + 2, 3)->file);
  EXPECT_EQ("im_item_3_5.bmp", game.data.image_get(M::PS_LANE + 3, 5)->file);
  EXPECT_EQ("im_item_1_got.bmp", game.data.image_get(M::PS_LANE + 1, M::LANE_GOT)->file);
  EXPECT_EQ("im_item_2_miss.bmp", game.data.image_get(M::PS_LANE + 2, M::LANE_MISS)->file);
  EXPECT_EQ(nullptr, game.data.image_get(M::PS_LANE + 1, M::LANE_CAUGHT));
  EXPECT_EQ("im_miss.bmp", game.data.image_get(M::IM_MISS, 0)->file);
  EXPECT_EQ("bg.bmp", game.data.image_get(M::IM_BG, 0)->file);
  const char* sounds[] = {"Gameover.wav", "Got.wav", "Miss.wav", "Move.wav", "Start.wav"};
  for (int id = 0; id < 5; id++) EXPECT_EQ(sounds[id], game.data.sound_get(id)->file);
  EXPECT_EQ(100u, game.data.timer_get(M::TM_CATCH)->interval);
  EXPECT_FALSE(game.data.timer_get(M::TM_CATCH)->repeat);
}

TEST(PirateGame, MovesEveryItemAndKeepsMonkeyGeometry) {
  ZT_Game_Pirate game;
  EXPECT_EQ("pirate", game.folder);
  expect_geometry(&game, {561, 347, 152, 53, 257, 192});
  for (int k = 0; k < 3; k++)
    EXPECT_EQ(nullptr, game.data.position_get(M::PS_LANE + k, M::LANE_TARGET));
  EXPECT_EQ(10u, game.data.images[M::IM_NUMBER].size());
  expect_layout_moves_every_declared_position<ZT_Game_Pirate>(0);
  expect_caught_on_step_five(&game);
  expect_loads_from<ZT_Game_Pirate>("pirate");
}

TEST(DefendoGame, MovesEveryItemWithItsOwnGeometryAndDigits) {
  ZT_Game_Defendo game;
  EXPECT_EQ("defendo", game.folder);
  expect_geometry(&game, {614, 378, 201, 99, 161, 209});
  for (int k = 0; k < 3; k++)
    EXPECT_EQ(nullptr, game.data.position_get(M::PS_LANE + k, M::LANE_TARGET));
  EXPECT_EQ(40u, game.data.images[M::IM_NUMBER].size());
  expect_layout_moves_every_declared_position<ZT_Game_Defendo>(M::VTF_NUMBER_PER_DIGIT);
  expect_caught_on_step_five(&game);
  expect_loads_from<ZT_Game_Defendo>("defendo");
  // The miss marks form one row, mark 1 at the right end.
  for (int i = 2; i <= 10; i++) {
    EXPECT_EQ(game.data.position_get(M::PS_MISS, 1)->y, game.data.position_get(M::PS_MISS, i)->y);
    EXPECT_LT(game.data.position_get(M::PS_MISS, i)->x,
              game.data.position_get(M::PS_MISS, i - 1)->x);
  }
}

template <class Info, class G>
void expect_entry_creates(const std::string& name) {
  ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  Info info(name, "Time & Fun - X", name, "/d", "bg.bmp", magenta);
  EXPECT_EQ(name, info.name);
  EXPECT_EQ("Time & Fun - X", info.title);
  EXPECT_EQ("/d", info.datapath);
  EXPECT_EQ("/d/" + name + "/image/bg.bmp", info.bgimg_path());
  EXPECT_TRUE(info.has_transparent);
  EXPECT_EQ(0, info.transparent.g);
  ZT_Game_Info* entry = &info;
  ZT_Game* one = entry->create();
  ZT_Game* two = entry->create();
  EXPECT_NE(one, two);
  EXPECT_EQ(typeid(G), typeid(*one));
  EXPECT_EQ(name, one->folder);
  delete one;
  EXPECT_EQ(name, two->folder);
  delete two;
}

TEST(MonkeyFamilyEntries, CreateFreshGamesOfTheirOwnClass) {
  expect_entry_creates<ZT_Game_Monkey_Info, ZT_Game_Monkey>("monkey");
  expect_entry_creates<ZT_Game_Pirate_Info, ZT_Game_Pirate>("pirate");
  expect_entry_creates<ZT_Game_Defendo_Info, ZT_Game_Defendo>("defendo");
}

// Many minutes of play with random keys and a player of random skill; the
// invariants are checked after every pass of the loop.
template <class G>
void long_run(unsigned int seed) {
  VTechRig<Counted<G> > rig;
  const std::set<std::string> files = rig.declared_files();
  std::mt19937 random(seed);
  const unsigned int step = 5;
  const unsigned int minutes = 30;
  const int keys[] = {ZT_KEY_LEFT,   ZT_KEY_RIGHT,  ZT_KEY_LEFT, ZT_KEY_RIGHT,
                      ZT_KEY_GAME_A, ZT_KEY_GAME_B, ZT_KEY_TIME, ZT_KEY_UP};
  const double skills[] = {0.0, 0.01, 0.05, 0.3};
  double skill = 0;
  int games = 0, games_over = 0, idle_after_over = 0, best = 0;
  bool was_idle = true;
  int game_mode = -1;
  rig.on();
  for (unsigned int t = 0; t < minutes * 60000; t += step) {
    unsigned int s = t / 1000;
    rig.platform.set_time(s / 3600 % 24, s / 60 % 60, s % 60, 1 + s / 86400, 3);
    if (random() % 100 < 4) rig.press(keys[random() % 8]);
    if (std::uniform_real_distribution<double>(0, 1)(random) < skill) autopilot(rig);
    rig.platform.ticks += step;
    rig.pass();

    Counted<G>& game = *rig.game;
    ASSERT_GE(game.score, 0);
    ASSERT_LE(game.score, 9999);
    ASSERT_GE(game.misses, 0);
    ASSERT_LE(game.misses, 5);
    if (game.mode == M::MODE_GAME_A || game.mode == M::MODE_GAME_B) {
      int lanes_on_step_five = 0;
      for (int k = 0; k < 3; k++) lanes_on_step_five += rig.visible(M::PS_LANE + k, 5);
      ASSERT_LE(lanes_on_step_five, 1) << "at " << t;
    }
    std::string why;
    ASSERT_TRUE(rig.only_declared_pictures_drawn(files, &why)) << why;
    rig.platform.clear_log();

    if (was_idle && !game.game_idle) {
      games++;
      game_mode = game.mode;
      skill = skills[random() % 4];
    }
    if (!game.game_idle) {
      ASSERT_EQ(game_mode, game.mode) << "a running game keeps its mode";
    }
    if (!was_idle && game.game_idle && game.misses == 5) idle_after_over++;
    was_idle = game.game_idle;
    if (game.score > best) best = game.score;
    for (const std::string& path : rig.platform.played)
      if (path.find("Gameover.wav") != std::string::npos) games_over++;
    rig.platform.played.clear();
  }
  EXPECT_GE(games, 5);
  EXPECT_GE(games_over, games - 1);
  EXPECT_GE(idle_after_over, games_over - 1) << "every game over leads to idle";
  EXPECT_GT(rig.game->ticks, 1000);
  EXPECT_GT(best, 100) << "some games reached the faster levels";
}

TEST(MonkeyFamilyLongRun, MonkeyPlaysManyGamesWithinTheRules) { long_run<ZT_Game_Monkey>(1); }

TEST(MonkeyFamilyLongRun, PiratePlaysManyGamesWithinTheRules) { long_run<ZT_Game_Pirate>(2); }

TEST(MonkeyFamilyLongRun, DefendoPlaysManyGamesWithinTheRules) { long_run<ZT_Game_Defendo>(3); }

}  // namespace
