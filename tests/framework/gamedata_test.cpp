// SPDX-License-Identifier: MIT
// The registry: declaring, replacing, sharing, loading and unloading items,
// and the timer arithmetic on the scripted clock.
#include "framework/gamedata.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/device.h"
#include "framework/test_game.h"
#include "support/fake_platform.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    images_before = FakeImage::live;
    sounds_before = FakeSound::live;
    game.reset(new TestGame);
  }
  ZT_GameData& data() { return game->data; }
  void Attach() {
    device.game = game.get();
    device.Load();
  }
  int LiveImages() const { return FakeImage::live - images_before; }
  int LiveSounds() const { return FakeSound::live - sounds_before; }

  FakePlatform platform;
  ZT_Device device{&platform};
  std::unique_ptr<TestGame> game;
  int images_before = 0;
  int sounds_before = 0;
};

TEST_F(RegistryTest, BlankFileNamesAreRefusedAndLeaveTheRegistryAlone) {
  try {
    data().image_add(1, 0, "", nullptr);
    FAIL() << "blank image accepted";
  } catch (const ZT_Exception& e) {
    EXPECT_EQ("Image cannot be blank", e.message);
  }
  EXPECT_TRUE(data().images.empty());
  try {
    data().sound_add(1, "");
    FAIL() << "blank sound accepted";
  } catch (const ZT_Exception& e) {
    EXPECT_EQ("Sound cannot be blank", e.message);
  }
  EXPECT_TRUE(data().sounds.empty());
  // The position is stored before its new image is refused.
  EXPECT_THROW(data().position_add(4, 0, 1, 2, 5, 0, "", nullptr), ZT_Exception);
  ASSERT_NE(nullptr, data().position_get(4, 0));
  EXPECT_EQ(-1, data().position_get(4, 0)->image_id);
}

TEST_F(RegistryTest, RedeclaringAnImageKeyDestroysTheOldPicture) {
  data().image_add(1, 0, "old.bmp", nullptr);
  Attach();
  ASSERT_EQ(1, LiveImages());
  data().image_add(1, 0, "new.bmp", nullptr);
  EXPECT_EQ(0, LiveImages());
  ASSERT_NE(nullptr, data().image_get(1, 0));
  EXPECT_EQ("new.bmp", data().image_get(1, 0)->file);
  EXPECT_EQ(nullptr, data().image_get(1, 0)->image);
}

TEST_F(RegistryTest, ReplacedImageStillHeldElsewhereSurvives) {
  data().image_add(1, 0, "old.bmp", nullptr);
  Attach();
  linked_ptr<ZT_GameData_Image> keep(data().images[1][0]);
  data().image_add(1, 0, "new.bmp", nullptr);
  EXPECT_EQ(1, LiveImages());
  EXPECT_EQ("old.bmp", keep->file);
  keep.release();
  EXPECT_EQ(0, LiveImages());
}

TEST_F(RegistryTest, TwoPositionsShareOneImageDeclaredByTheFirst) {
  ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  data().position_add(13, 0, 1, 2, 14, 0, "first.bmp", nullptr);
  data().position_add(13, 1, 3, 4, 14, 0, "second.bmp", &magenta);
  ASSERT_EQ(1u, data().images.size());
  ZT_GameData_Image* image = data().image_get(14, 0);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ("first.bmp", image->file);
  EXPECT_FALSE(image->has_transparent);
  EXPECT_EQ(14, data().position_get(13, 1)->image_id);
  EXPECT_EQ(0, data().position_get(13, 1)->image_index);
  Attach();
  EXPECT_EQ(1, LiveImages());
}

TEST_F(RegistryTest, PositionWithoutImageTakesABlankFileAndHasNoPicture) {
  data().position_add(7, 2, 5, 6, -3, 4, "", nullptr);
  ZT_GameData_Position* position = data().position_get(7, 2);
  ASSERT_NE(nullptr, position);
  EXPECT_EQ(-1, position->image_id);
  EXPECT_EQ(-1, position->image_index);
  EXPECT_EQ(-1, position->state);
  EXPECT_TRUE(data().images.empty());
}

TEST_F(RegistryTest, LoadReadsImagesThenSoundsInKeyOrderFromTheGameFolder) {
  ZT_Platform_RGB key = ZT_Platform_RGB_create(1, 2, 3);
  data().sound_add(0, "Gameover.wav");
  data().image_add(5, 1, "b.bmp", &key);
  data().image_add(-2, 0, "a.bmp", nullptr);
  data().image_add(5, 0, "c.bmp", nullptr);
  game->CheckChanged();
  Attach();
  std::vector<std::string> expected = {"data/testgame/image/a.bmp", "data/testgame/image/c.bmp",
                                       "data/testgame/image/b.bmp",
                                       "data/testgame/sound/Gameover.wav"};
  EXPECT_EQ(expected, platform.loaded);
  FakeImage* b = dynamic_cast<FakeImage*>(data().image_get(5, 1)->image);
  ASSERT_NE(nullptr, b);
  EXPECT_TRUE(b->has_transparent);
  EXPECT_EQ(3, b->transparent.b);
  EXPECT_FALSE(dynamic_cast<FakeImage*>(data().image_get(5, 0)->image)->has_transparent);
  EXPECT_TRUE(game->CheckChanged());
}

TEST_F(RegistryTest, FailedLoadKeepsEarlierPicturesAndLeaksNothing) {
  data().image_add(1, 0, "a.bmp", nullptr);
  data().image_add(2, 0, "broken.bmp", nullptr);
  data().image_add(3, 0, "c.bmp", nullptr);
  data().sound_add(0, "s.wav");
  platform.fail_on("broken.bmp");
  EXPECT_THROW(Attach(), ZT_Exception);
  EXPECT_NE(nullptr, data().image_get(1, 0)->image);
  EXPECT_EQ(nullptr, data().image_get(2, 0)->image);
  EXPECT_EQ(nullptr, data().image_get(3, 0)->image);
  EXPECT_EQ(nullptr, data().sound_get(0)->sound);
  EXPECT_EQ(1, LiveImages());
  EXPECT_EQ(0, LiveSounds());
  // Loading again after the file is mended replaces, not leaks, the first picture.
  platform.failing.clear();
  device.Load();
  EXPECT_EQ(3, LiveImages());
  EXPECT_EQ(1, LiveSounds());
  game.reset();
  EXPECT_EQ(0, LiveImages());
  EXPECT_EQ(0, LiveSounds());
}

TEST_F(RegistryTest, FailedReloadLeavesNoStalePicture) {
  data().image_add(1, 0, "a.bmp", nullptr);
  Attach();
  platform.fail_on("a.bmp");
  EXPECT_THROW(device.Load(), ZT_Exception);
  EXPECT_EQ(nullptr, data().image_get(1, 0)->image);
  EXPECT_EQ(0, LiveImages());
  game.reset();
  EXPECT_EQ(0, LiveImages());
}

TEST_F(RegistryTest, UnloadDiscardsEveryDeclaration) {
  data().image_add(1, 0, "a.bmp", nullptr);
  data().position_add(1, 0, 0, 0, 1, 0, "a.bmp", nullptr);
  data().sound_add(0, "s.wav");
  data().timer_add(0, 100, true);
  Attach();
  game->CheckChanged();
  data().Unload();
  EXPECT_EQ(nullptr, data().image_get(1, 0));
  EXPECT_EQ(nullptr, data().position_get(1, 0));
  EXPECT_EQ(nullptr, data().sound_get(0));
  EXPECT_EQ(nullptr, data().timer_get(0));
  EXPECT_EQ(0, LiveImages());
  EXPECT_EQ(0, LiveSounds());
  EXPECT_TRUE(game->CheckChanged());
}

TEST_F(RegistryTest, UnattachedItemsHaveNoPlatformAndLoadNothing) {
  data().image_add(1, 0, "a.bmp", nullptr);
  data().timer_add(0, 100, false);
  EXPECT_EQ(nullptr, data().image_get(1, 0)->platform_get());
  data().Load("anywhere");
  EXPECT_TRUE(platform.loaded.empty());
  ZT_GameData_Timer* timer = data().timer_get(0);
  timer->start(0);
  EXPECT_TRUE(timer->started());
  EXPECT_FALSE(timer->finished());
}

class TimerTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    data().timer_add(1, 100, true);
    data().timer_add(2, 100, false);
    data().timer_add(3, 0, true);
    Attach();
    platform.ticks = 1000;
  }
  ZT_GameData_Timer* timer(int id) { return data().timer_get(id); }
};

TEST_F(TimerTest, FirstFinishesStrictlyAfterTheIntervalAlsoAcrossTheClocksWrap) {
  for (uint32_t start : {1000u, 0xFFFFFFC0u}) {  // the second period ends after the wrap
    platform.ticks = start;
    timer(1)->start(0);
    platform.ticks = start + 100;
    EXPECT_FALSE(timer(1)->finished()) << start;
    platform.ticks = start + 101;
    EXPECT_TRUE(timer(1)->finished()) << start;
    platform.ticks = start + 500;
    EXPECT_TRUE(timer(1)->finished()) << start;  // a level, until re-armed
  }
}

TEST_F(TimerTest, IntervalZeroNeverRunsUntilStartGivesOne) {
  timer(3)->start(0);
  EXPECT_FALSE(timer(3)->started());
  platform.ticks = 100000;
  EXPECT_FALSE(timer(3)->finished());
  timer(3)->start(250);
  EXPECT_EQ(250u, timer(3)->interval);
  platform.ticks += 251;
  EXPECT_TRUE(timer(3)->finished());
}

TEST_F(TimerTest, StartWithTheClockAtZeroIsNotMistakenForStopped) {
  platform.ticks = 0;
  timer(2)->start(0);
  EXPECT_TRUE(timer(2)->started());
  platform.ticks = 150;
  EXPECT_TRUE(timer(2)->finished());
}

TEST_F(TimerTest, RepeatingLoopRearmsFromNowPlusPendingDelay) {
  timer(1)->start(0);
  timer(1)->delay(60);
  platform.ticks = 1150;  // noticed 49 ms late: the next period counts from here
  timer(1)->loop();
  EXPECT_EQ(1210u, timer(1)->starttime);
  EXPECT_EQ(0u, timer(1)->pending_delay);
  platform.ticks = 1205;  // before the delayed period begins
  EXPECT_FALSE(timer(1)->finished());
  platform.ticks = 1310;
  EXPECT_FALSE(timer(1)->finished());
  platform.ticks = 1311;
  EXPECT_TRUE(timer(1)->finished());
}

TEST_F(TimerTest, RearmThatWrapsToZeroKeepsRunning) {
  platform.ticks = 0xFFFFFF00u;
  timer(1)->start(0);
  platform.ticks = 0xFFFFFFFFu;
  timer(1)->delay(1);
  timer(1)->loop();
  EXPECT_TRUE(timer(1)->started());
  platform.ticks = 200;
  EXPECT_TRUE(timer(1)->finished());
}

TEST_F(TimerTest, OneShotLoopStopsAndDropsTheDelay) {
  timer(2)->start(0);
  timer(2)->delay(30);
  platform.ticks = 1050;
  timer(2)->loop();  // not finished yet: nothing happens
  EXPECT_EQ(1000u, timer(2)->starttime);
  platform.ticks = 1101;
  timer(2)->loop();
  EXPECT_FALSE(timer(2)->started());
  EXPECT_EQ(0u, timer(2)->pending_delay);
}

TEST_F(TimerTest, DelayOnlyCountsOnARunningTimerAndStartDiscardsIt) {
  timer(1)->delay(40);
  EXPECT_EQ(0u, timer(1)->pending_delay);
  timer(1)->start(0);
  timer(1)->delay(40);
  timer(1)->delay(20);
  EXPECT_EQ(60u, timer(1)->pending_delay);
  timer(1)->start(50);
  EXPECT_EQ(0u, timer(1)->pending_delay);
  EXPECT_EQ(50u, timer(1)->interval);
  timer(1)->stop();
  EXPECT_FALSE(timer(1)->started());
  EXPECT_FALSE(timer(1)->finished());
}

}  // namespace
