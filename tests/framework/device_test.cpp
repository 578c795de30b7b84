// SPDX-License-Identifier: MIT
// The device: the keys it keeps, volume, zoom, background placement, and the
// run loop's drawing and leaving.
#include "framework/device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "framework/test_game.h"
#include "support/fake_platform.h"

namespace {

using Log = std::vector<std::string>;

// The LCD of 257x192 at 152,53 centred in 640x480: (640-257)/2-152, (480-192)/2-53.
const int kCentreX = 39;
const int kCentreY = 91;

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { images_before = FakeImage::live; }
  void Attach() {
    device.game = game.get();
    device.Load();
    device.MoveBGCenter();
  }
  bool Key(int key) {
    ZT_Platform_Event event = {ZT_EVENT_KEY, key};
    return device.process_event(&event);
  }
  std::vector<DrawCall> Images() const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : platform.draws)
      if (c.kind == DrawCall::IMAGE) out.push_back(c);
    return out;
  }

  FakePlatform platform;
  ZT_Device device{&platform};
  std::unique_ptr<LcdGame> game{new LcdGame};
  int images_before = 0;
};

TEST_F(DeviceTest, ReturnWhileOnOnlyRecentres) {
  Attach();
  EXPECT_TRUE(Key(ZT_KEY_ENTER));
  EXPECT_TRUE(game->turned_on);
  device.MoveBG(0, 0);
  EXPECT_TRUE(Key(ZT_KEY_ENTER));
  EXPECT_EQ(kCentreX, device.bg_x);
  EXPECT_EQ(kCentreY, device.bg_y);
  EXPECT_EQ(Log{"turnon"}, game->log);
  EXPECT_TRUE(game->events.empty());
}

TEST_F(DeviceTest, SwitchingOffTellsTheGameWhileStillOn) {
  Attach();
  Key(ZT_KEY_POWER);
  EXPECT_TRUE(game->turned_on);
  game->CheckChanged();
  Key(ZT_KEY_BACK);
  EXPECT_FALSE(game->turned_on);
  EXPECT_TRUE(game->CheckChanged());
  Key(ZT_KEY_POWER);
  Key(ZT_KEY_POWER);
  EXPECT_EQ((Log{"turnon", "turnoff while on", "turnon", "turnoff while on"}), game->log);
  EXPECT_TRUE(game->events.empty());
}

TEST_F(DeviceTest, BackspaceWhileOffIsNotSeenByTheGame) {
  Attach();
  EXPECT_TRUE(Key(ZT_KEY_BACK));
  EXPECT_TRUE(game->log.empty());
  EXPECT_TRUE(game->events.empty());
}

TEST_F(DeviceTest, ZoomKeysReachTheGameAfterTheZoomChanged) {
  Attach();
  Key(ZT_KEY_ZOOM_1);
  EXPECT_EQ(282, device.view_width);
  EXPECT_EQ(211, device.view_height);
  Key(ZT_KEY_ENTER);
  Key(ZT_KEY_ZOOM_2);
  EXPECT_EQ(561, device.view_width);
  EXPECT_EQ(347, device.view_height);
  Key(ZT_KEY_ZOOM_0);
  EXPECT_EQ(0, device.view_width);
  EXPECT_EQ(0, device.view_height);
  EXPECT_EQ((std::vector<int>{ZT_KEY_ZOOM_1, ZT_KEY_ZOOM_2, ZT_KEY_ZOOM_0}), game->keys());
  EXPECT_EQ((std::vector<int>{282, 561, 0}), game->view_at_event);
}

TEST_F(DeviceTest, ArrowsScrollOnlyWhileOffAndModeKeysRecentre) {
  Attach();
  Key(ZT_KEY_UP);
  Key(ZT_KEY_UP);
  Key(ZT_KEY_LEFT);
  EXPECT_EQ(kCentreX + 15, device.bg_x);
  EXPECT_EQ(kCentreY + 30, device.bg_y);
  Key(ZT_KEY_DOWN);
  Key(ZT_KEY_RIGHT);
  Key(ZT_KEY_RIGHT);
  EXPECT_EQ(kCentreX - 15, device.bg_x);
  EXPECT_EQ(kCentreY + 15, device.bg_y);
  Key(ZT_KEY_TIME);
  EXPECT_EQ(kCentreX, device.bg_x);
  EXPECT_EQ(kCentreY, device.bg_y);
  Key(ZT_KEY_ENTER);
  Key(ZT_KEY_UP);
  Key(ZT_KEY_LEFT);
  EXPECT_EQ(kCentreX, device.bg_x);
  EXPECT_EQ(kCentreY, device.bg_y);
  // The game sees every one of them, on or off.
  EXPECT_EQ((std::vector<int>{ZT_KEY_UP, ZT_KEY_UP, ZT_KEY_LEFT, ZT_KEY_DOWN, ZT_KEY_RIGHT,
                              ZT_KEY_RIGHT, ZT_KEY_TIME, ZT_KEY_UP, ZT_KEY_LEFT}),
            game->keys());
}

TEST_F(DeviceTest, VolumeStaysWithinZeroAndHundred) {
  Attach();
  EXPECT_EQ(75, device.volume);
  EXPECT_TRUE(platform.volume_requests.empty());  // construction leaves the platform alone
  for (int i = 0; i < 4; ++i) Key(ZT_KEY_VOLUME_UP);
  EXPECT_EQ(95, device.volume);
  Key(ZT_KEY_VOLUME_UP);
  Key(ZT_KEY_VOLUME_UP);
  EXPECT_EQ(100, device.volume);
  for (int i = 0; i < 25; ++i) Key(ZT_KEY_VOLUME_DOWN);
  EXPECT_EQ(0, device.volume);
  EXPECT_EQ(0, platform.volume);
  Key(ZT_KEY_VOLUME_UP);
  EXPECT_EQ(5, device.volume);
  for (unsigned short v : platform.volume_requests) EXPECT_LE(v, 100);
  EXPECT_TRUE(game->events.empty());
}

TEST_F(DeviceTest, RunDrawsBackgroundThenVisiblePositionsInKeyOrder) {
  game->data.position_get(13, 1)->visible = true;
  game->data.position_get(2, 0)->visible = true;
  game->data.position_get(20, 0)->visible = true;  // no picture: never drawn
  platform.at(1010, ZT_KEY_ZOOM_1);
  platform.at(1020, ZT_KEY_ESCAPE);
  device.Run(game.get());
  ASSERT_EQ(2u, platform.flips().size());
  EXPECT_EQ(0, platform.flips()[0].x2);
  EXPECT_EQ(282, platform.flips()[1].x2);
  EXPECT_EQ(211, platform.flips()[1].y2);
  ASSERT_GE(platform.draws.size(), 5u);
  EXPECT_EQ(DrawCall::CLEAR, platform.draws[0].kind);
  std::vector<DrawCall> images = Images();
  ASSERT_EQ(6u, images.size());  // two identical frames of three pictures
  EXPECT_EQ("data/testgame/image/bg.bmp", images[0].path);
  EXPECT_EQ(kCentreX, images[0].x);
  EXPECT_EQ(kCentreY, images[0].y);
  EXPECT_EQ("data/testgame/image/seg3.bmp", images[1].path);
  EXPECT_EQ(kCentreX + 5, images[1].x);
  EXPECT_EQ("data/testgame/image/seg14.bmp", images[2].path);
  EXPECT_EQ(kCentreX + 30, images[2].x);
  EXPECT_EQ(kCentreY + 20, images[2].y);
  EXPECT_EQ(DrawCall::FLIP, platform.draws[4].kind);
}

TEST_F(DeviceTest, RunPresentsOnlyWhenSomethingChanged) {
  platform.at(1100, ZT_KEY_LEFT_UP);  // reaches the game, changes nothing
  platform.at(1200, ZT_KEY_UP);       // moves the picture while off
  platform.at(1300, ZT_KEY_ESCAPE);
  device.Run(game.get());
  EXPECT_EQ(2u, platform.flips().size());
  EXPECT_EQ(2, std::count_if(platform.draws.begin(), platform.draws.end(),
                             [](const DrawCall& c) { return c.kind == DrawCall::CLEAR; }));
}

TEST_F(DeviceTest, RunUpdatesAndReportsTheGameTypeOnlyWhileOn) {
  game->data.timer_add(0, 50, true);
  game->on_turnon = [&]() { game->data_starttimer(0, 0); };
  platform.at(1100, ZT_KEY_ENTER);
  platform.at(1175, ZT_KEY_BACK);
  platform.at(1300, ZT_KEY_ESCAPE);
  device.Run(game.get());
  int timers = 0, updates = 0;
  for (const std::string& entry : game->log) {
    timers += entry == "timer 0";
    updates += entry == "update";
  }
  EXPECT_EQ(1, timers);  // started at 1100, due at 1151, off at 1175
  EXPECT_GT(updates, 0);
  EXPECT_EQ(ZT_GAMETYPE_NONE, platform.event_types.front());
  EXPECT_EQ(ZT_GAMETYPE_NONE, platform.event_types.back());
  EXPECT_NE(platform.event_types.end(),
            std::find(platform.event_types.begin(), platform.event_types.end(), ZT_GAMETYPE_VTECH));
}

TEST_F(DeviceTest, EscapeUnloadsWithoutSwitchingOff) {
  platform.push_key(ZT_KEY_ENTER);
  platform.push_key(ZT_KEY_ESCAPE);
  device.Run(game.get());
  EXPECT_EQ(Log{"turnon"}, game->log);
  EXPECT_EQ(nullptr, device.game);
  EXPECT_EQ(nullptr, game->device);
  EXPECT_TRUE(game->data.images.empty());
  EXPECT_TRUE(game->data.positions.empty());
  EXPECT_EQ(images_before, FakeImage::live);
}

TEST_F(DeviceTest, WindowCloseUnloadsWithoutSwitchingOff) {
  platform.at(1050, ZT_KEY_ENTER);
  platform.at_quit(1100);
  device.Run(game.get());
  EXPECT_EQ(Log{"turnon"}, std::vector<std::string>(game->log.begin(), game->log.begin() + 1));
  for (const std::string& entry : game->log) EXPECT_NE("turnoff while on", entry);
  EXPECT_TRUE(game->events.empty());
  EXPECT_TRUE(game->data.images.empty());
  EXPECT_EQ(images_before, FakeImage::live);
}

TEST_F(DeviceTest, FailedLoadLeavesRunBeforeTheLoopWithoutLeaking) {
  platform.fail_on("seg3.bmp");
  platform.push_key(ZT_KEY_ESCAPE);
  EXPECT_THROW(device.Run(game.get()), ZT_Exception);
  EXPECT_TRUE(platform.draws.empty());
  EXPECT_EQ(1u, platform.queue.size());
  EXPECT_EQ(images_before + 1, FakeImage::live);  // the background loaded before
  game.reset();
  EXPECT_EQ(images_before, FakeImage::live);
}

TEST_F(DeviceTest, BaseGameShowsAnEmptyPictureAndReactsOnlyToDeviceKeys) {
  ZT_Game base;
  platform.at(1010, ZT_KEY_ENTER);
  platform.at(1020, ZT_KEY_GAME_A);
  platform.at(1030, ZT_KEY_VOLUME_DOWN);
  platform.at(1040, ZT_KEY_ESCAPE);
  device.Run(&base);
  EXPECT_EQ(70, device.volume);
  EXPECT_EQ(-1, base.mode);
  for (const DrawCall& c : platform.draws) EXPECT_NE(DrawCall::IMAGE, c.kind);
  EXPECT_FALSE(platform.flips().empty());
  EXPECT_TRUE(platform.loaded.empty());
}

}  // namespace
