// SPDX-License-Identifier: MIT
// The web page's host, natively on the software platform and the built data
// set: what the browser tests cannot easily reach. Errors become text instead
// of ending the page, and Escapes that arrive together do not quit the page.
#include "hosts/web/web_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
const std::string kData = std::string(ZT_BUILD_DIR) + "/data";
}

TEST(WebHost, EscapesTogetherLeaveTheGameButNotThePage) {
  ASSERT_EQ(0, zt_web_start(kData.c_str())) << zt_web_error();
  ASSERT_EQ(0, zt_web_run(10));
  EXPECT_EQ(-1, zt_web_key("enter_key", 1));
  zt_web_key("enter", 1);
  ASSERT_EQ(0, zt_web_run(10));
  EXPECT_EQ(1, zt_web_in_game());
  zt_web_key("escape", 1);  // leaves the game
  zt_web_key("escape", 0);
  zt_web_key("escape", 1);  // the desktop's quit, in the same frame
  EXPECT_EQ(0, zt_web_run(10));
  EXPECT_EQ(0, zt_web_in_game());
  EXPECT_NE(nullptr, zt_web_frame());
  zt_web_key("down", 1);  // the menu still answers
  EXPECT_EQ(0, zt_web_run(10));
  EXPECT_NE(nullptr, zt_web_frame());
  EXPECT_EQ(nullptr, zt_web_frame());  // and hands out a frame only once
  zt_web_stop();
}

TEST(WebHost, ErrorsAreReportedAsTextAndTheHostStops) {
  TempDir empty("zt-web");
  EXPECT_EQ(-1, zt_web_start(empty.path.c_str()));
  EXPECT_NE("", std::string(zt_web_error()));
  EXPECT_EQ(-1, zt_web_run(10));
  EXPECT_EQ(nullptr, zt_web_frame());

  // A game whose sound is missing fails when it starts, not before.
  TempDir data("zt-web");
  fs::copy(kData, data.path, fs::copy_options::recursive);
  fs::remove(data.file("condor/sound/Got.wav"));
  ASSERT_EQ(0, zt_web_start(data.path.c_str())) << zt_web_error();
  ASSERT_EQ(0, zt_web_run(10));
  zt_web_key("enter", 1);
  EXPECT_EQ(-1, zt_web_run(10));
  EXPECT_NE(std::string::npos, std::string(zt_web_error()).find("Got.wav"));
  EXPECT_EQ(0, zt_web_in_game());
  zt_web_stop();
}
