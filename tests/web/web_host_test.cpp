// The web page's host, natively on the software platform and the built data
// set: frames are handed out only when new, the page's own rules for Escape and
// the on-screen buttons, and errors reported as text instead of ending the page.
#include "hosts/web/web_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
const std::string kData = std::string(ZT_BUILD_DIR) + "/data";

// Runs `ms` milliseconds and returns the new frame, or an empty one.
std::vector<uint8_t> run_frame(int ms = 20) {
  EXPECT_EQ(0, zt_web_run(ms)) << zt_web_error();
  const uint8_t* frame = zt_web_frame();
  if (frame == nullptr) return {};
  return std::vector<uint8_t>(frame, frame + zt_web_width() * zt_web_height() * 4);
}

class WebHost : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, zt_web_start(kData.c_str())) << zt_web_error(); }
  void TearDown() override { zt_web_stop(); }
};
}  // namespace

TEST_F(WebHost, FrameOnlyWhenPresentedAndOpaque) {
  std::vector<uint8_t> menu = run_frame();
  ASSERT_FALSE(menu.empty());
  for (size_t i = 3; i < menu.size(); i += 4) ASSERT_EQ(255, menu[i]);
  EXPECT_TRUE(run_frame(500).empty());  // an idle menu presents nothing new
  zt_web_key(ZT_KEY_DOWN);
  std::vector<uint8_t> moved = run_frame();
  ASSERT_FALSE(moved.empty());
  EXPECT_NE(menu, moved);
}

TEST_F(WebHost, EscapeInTheMenuKeepsThePageAlive) {
  std::vector<uint8_t> menu = run_frame();
  zt_web_key(ZT_KEY_ESCAPE);
  zt_web_key(ZT_KEY_ESCAPE);
  EXPECT_TRUE(run_frame().empty());
  zt_web_key(ZT_KEY_DOWN);
  EXPECT_FALSE(run_frame().empty());
}

TEST_F(WebHost, ButtonsChooseInTheMenuAndPlayInAGame) {
  run_frame();
  zt_web_key(ZT_KEY_DOWN);
  std::vector<uint8_t> by_key = run_frame();
  zt_web_key(ZT_KEY_UP);
  run_frame();
  zt_web_button(ZT_KEY_RIGHT);  // Right is Down in the menu
  EXPECT_EQ(by_key, run_frame());
  zt_web_zoom();  // no game: nothing to zoom
  EXPECT_TRUE(run_frame().empty());

  zt_web_button(ZT_KEY_POWER);  // starts the selected game
  std::vector<uint8_t> off = run_frame();
  EXPECT_EQ(1, zt_web_in_game());
  zt_web_zoom();
  std::vector<uint8_t> zoomed = run_frame();
  EXPECT_NE(off, zoomed);
  zt_web_zoom();
  run_frame();
  zt_web_zoom();  // the third press is back at no zoom
  EXPECT_EQ(off, run_frame());
  zt_web_button(ZT_KEY_ESCAPE);
  EXPECT_EQ(by_key, run_frame());
  EXPECT_EQ(0, zt_web_in_game());
}

TEST_F(WebHost, SoundIsMixedOnRequest) {
  run_frame();
  const int16_t* samples = zt_web_audio(441);
  ASSERT_NE(nullptr, samples);
  for (int i = 0; i < 441; ++i) EXPECT_EQ(0, samples[i]);  // nothing plays in the menu
  EXPECT_EQ(22050, zt_web_audio_rate());
}

TEST(WebHostErrors, ReportedAsTextAndTheHostStops) {
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
  zt_web_key(ZT_KEY_ENTER);
  EXPECT_EQ(-1, zt_web_run(10));
  EXPECT_NE(std::string::npos, std::string(zt_web_error()).find("Got.wav"));
  EXPECT_EQ(0, zt_web_in_game());
  zt_web_stop();
}
