// SPDX-License-Identifier: MIT
// The catalogue: fixed order and titles, background paths, factories and ownership.
#include "menu/gamelist.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "support/fake_platform.h"

namespace {

class CountedInfo : public ZT_Game_Info {
 public:
  explicit CountedInfo(int* deaths)
      : ZT_Game_Info("counted", "Counted", "counted", "d", "bg.bmp",
                     ZT_Platform_RGB_create(255, 0, 255)),
        deaths(deaths) {}
  ~CountedInfo() override { ++*deaths; }
  ZT_Game* create() override { return nullptr; }
  int* deaths;
};

TEST(GameList, ListsTheSixGamesInMenuOrderWithTheirTitles) {
  FakePlatform platform;
  ZT_GameList list(&platform);
  ASSERT_EQ(6, list.count());
  const char* names[] = {"condor", "defendo", "monkey", "pancake", "pirate", "rollerc"};
  const char* titles[] = {"Time & Fun - Condor", "Time & Fun - Defendo",
                          "Time & Fun - Monkey", "Time & Fun - Pancake",
                          "Time & Fun - Pirate", "Time & Fun - Roller Coaster"};
  for (int i = 0; i < 6; ++i) {
    ZT_Game_Info* info = list.get(i);
    EXPECT_EQ(names[i], info->name);
    EXPECT_EQ(names[i], info->folder);
    EXPECT_EQ(titles[i], info->title);
    EXPECT_EQ("bg.bmp", info->bgimg);
    EXPECT_TRUE(info->has_transparent);
    EXPECT_EQ(255, info->transparent.r);
    EXPECT_EQ(0, info->transparent.g);
    EXPECT_EQ(255, info->transparent.b);
  }
}

TEST(GameList, EachEntryCreatesTheGameOfItsOwnFolder) {
  FakePlatform platform;
  ZT_GameList list(&platform);
  for (int i = 0; i < list.count(); ++i) {
    std::unique_ptr<ZT_Game> game(list.get(i)->create());
    ASSERT_NE(nullptr, game);
    EXPECT_EQ(list.get(i)->folder, game->folder);
  }
}

TEST(GameList, BackgroundPathJoinsDataPathFolderAndImageWithoutNormalising) {
  FakePlatform platform;
  platform.datapath_set("/tmp/zt data");
  ZT_GameList plain(&platform);
  EXPECT_EQ("/tmp/zt data/condor/image/bg.bmp", plain.get(0)->bgimg_path());
  EXPECT_EQ("/tmp/zt data/rollerc/image/bg.bmp", plain.get(5)->bgimg_path());

  platform.datapath_set("data/");
  ZT_GameList slash(&platform);
  EXPECT_EQ("data//monkey/image/bg.bmp", slash.get(2)->bgimg_path());
}

TEST(GameList, DefaultDataPathIsUsedWhenNoneWasSet) {
  FakePlatform platform;
  ZT_GameList list(&platform);
  EXPECT_EQ("data", list.get(3)->datapath);
  EXPECT_EQ("data/pancake/image/bg.bmp", list.get(3)->bgimg_path());
}

TEST(GameList, EntriesKeepTheDataPathTheyWereMadeWith) {
  FakePlatform platform;
  platform.datapath_set("first");
  ZT_GameList before(&platform);
  platform.datapath_set("second");
  ZT_GameList after(&platform);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ("first", before.get(i)->datapath);
    EXPECT_EQ("second", after.get(i)->datapath);
  }
}

TEST(GameList, CreateReturnsIndependentGames) {
  FakePlatform platform;
  ZT_GameList list(&platform);
  ZT_Game_Info* info = list.get(4);
  ZT_Game* a = info->create();
  ZT_Game* b = info->create();
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  EXPECT_NE(a, b);
  EXPECT_NE(&a->data, &b->data);
  a->folder = "changed";
  delete a;
  EXPECT_EQ("pirate", b->folder);
  EXPECT_EQ("pirate", info->folder);
  EXPECT_FALSE(b->data.positions.empty());
  delete b;
}

TEST(GameList, AddAppendsAndDestructionReleasesEachEntryOnce) {
  int deaths = 0;
  {
    FakePlatform platform;
    ZT_GameList list(&platform);
    CountedInfo* first = new CountedInfo(&deaths);
    list.add(first);
    list.add(new CountedInfo(&deaths));
    ASSERT_EQ(8, list.count());
    EXPECT_EQ(first, list.get(6));
    EXPECT_EQ("Time & Fun - Condor", list.get(0)->title);
    EXPECT_EQ(0, deaths);
  }
  EXPECT_EQ(2, deaths);
}

}  // namespace
