// SPDX-License-Identifier: MIT
// The platform contract every platform shares: the data-path rule, the colour
// helper and the base picture handle.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include "support/fake_platform.h"

TEST(PlatformDataPath, DefaultIsDataUntilSetAndEmptyBringsItBack) {
  FakePlatform platform;
  EXPECT_EQ("data", platform.datapath_get());
  EXPECT_EQ("data/zentick", platform.platformdata_get());

  platform.datapath_set("/games/zt");
  EXPECT_EQ("/games/zt", platform.datapath_get());
  EXPECT_EQ("/games/zt/zentick", platform.platformdata_get());

  platform.datapath_set("");
  EXPECT_EQ("data", platform.datapath_get());
  EXPECT_EQ("data/zentick", platform.platformdata_get());
}

TEST(PlatformDataPath, TrailingSlashIsKeptAsTyped) {
  FakePlatform platform;
  platform.datapath_set("mydata/");
  EXPECT_EQ("mydata/", platform.datapath_get());
  EXPECT_EQ("mydata//zentick", platform.platformdata_get());
}

TEST(PlatformRGB, CreateKeepsLowEightBitsOfEachArgument) {
  ZT_Platform_RGB c = ZT_Platform_RGB_create(256, -1, 300);
  EXPECT_EQ(0, c.r);
  EXPECT_EQ(255, c.g);
  EXPECT_EQ(44, c.b);
}

TEST(PlatformImage, BaseImageHasNoSizeAndCannotResize) {
  ZT_Platform_Image image;
  EXPECT_EQ(-1, image.width_get());
  EXPECT_EQ(-1, image.height_get());
  EXPECT_FALSE(image.resize_fit(640, 480));
}
