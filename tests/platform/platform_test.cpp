// SPDX-License-Identifier: MIT
// The platform contract every platform shares: the data-path rule, the colour
// helper and the base picture handle.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

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

TEST(PlatformTime, OnlyRealCalendarTimesAreValid) {
  struct Row {
    ZT_Platform_Time time;  // day, month from 1, year since 1900, hour, minute, second
    bool valid;
  } const rows[] = {
      {{31, 12, 126, 23, 59, 60}, true},  // December's last second, and a leap second
      {{29, 2, 124, 0, 0, 0}, true},      // 2024 leaps
      {{29, 2, 200, 0, 0, 0}, false},     // 2100 does not
      {{29, 2, 100, 0, 0, 0}, true},      // 2000 does
      {{31, 11, 126, 0, 0, 0}, false},   {{1, 0, 126, 0, 0, 0}, false},
      {{1, 13, 126, 0, 0, 0}, false},    {{0, 1, 126, 0, 0, 0}, false},
      {{1, 1, 126, 24, 0, 0}, false},    {{1, 1, 126, 0, 60, 0}, false},
      {{1, 1, 126, 0, 0, 61}, false},    {{1, 1, -1, 0, 0, 0}, false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.valid, ZT_Platform_Time_valid(r.time))
        << r.time.day << "/" << r.time.month << "/" << 1900 + r.time.year << " " << r.time.hour
        << ":" << r.time.minute << ":" << r.time.second;
}

TEST(PlatformTime, ThirtyTwoBitTimeReadsPast2038AsSixtyFourBitTimeDoes) {
  // POSIX zone rules, which need no time zone database: Berlin, New York,
  // Sydney (summer time across the year's end) and UTC.
  const char* previous = std::getenv("TZ");
  const std::string kept = previous != nullptr ? previous : "";
  const int64_t kEdges[] = {2147483648,   // 2038-01-19 03:14:08 UTC, the first second past
                            2153350799,   // Berlin's change to summer time in 2038
                            2153350800,   //
                            2172099600,   // and back
                            4102443000,   // New Year's Eve 2099
                            4107540600};  // 2100 has no 29 February
  for (const char* zone : {"CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0",
                           "AEST-10AEDT,M10.1.0,M4.1.0/3", "UTC0"}) {
    setenv("TZ", zone, 1);
    tzset();
    std::vector<int64_t> instants(std::begin(kEdges), std::end(kEdges));
    for (int64_t t = 2147483648; t < 4200000000; t += 37 * 86400 + 3599) instants.push_back(t);
    for (int64_t t : instants) {
      ZT_Platform_Time wide, narrow;
      ASSERT_TRUE(ZT_Platform_Time_from_unix(t, &wide, false)) << zone << " " << t;
      ASSERT_TRUE(ZT_Platform_Time_from_unix(t, &narrow, true)) << zone << " " << t;
      EXPECT_EQ(ZT_Platform_Time_seconds(wide), ZT_Platform_Time_seconds(narrow))
          << zone << " " << t;
    }
  }
  if (previous != nullptr)
    setenv("TZ", kept.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
