// SPDX-License-Identifier: MIT
// The software platform's own behaviour, the parts that have no SDL twin to be
// compared with: the host's event queue and clocks, the mixer the host pulls,
// sounds destroyed while they play, drawing into the frame a host reads, and
// the data pack it may read its files from.
#include "platform/plat_soft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/decode/pack.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace {

class SoftTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data.add_font();
    platform.datapath_set(data.path);
    platform.initialize();
  }
  // A mono 16-bit WAV at 22050 Hz holding `samples`, loaded.
  std::unique_ptr<ZT_Platform_Sound> sound(const std::vector<int16_t>& samples,
                                           uint32_t rate = 22050) {
    Bytes pcm;
    for (int16_t s : samples) le16(pcm, static_cast<uint16_t>(s));
    const std::string path = data.write("s" + std::to_string(++made) + ".wav",
                                        wav_bytes(1, 1, rate, 16, 2, {}, {}, pcm));
    return std::unique_ptr<ZT_Platform_Sound>(platform.sound_load(path));
  }
  std::vector<int16_t> mix(int frames, int rate = ZT_PlatformSoft::kMixRate) {
    std::vector<int16_t> out(static_cast<size_t>(frames), 12345);
    platform.audio_mix(out.data(), frames, rate);
    return out;
  }

  TempDir data;
  ZT_PlatformSoft platform;
  int made = 0;
};

TEST_F(SoftTest, EventsComeInOrderAndAQuitLeavesTheKeyAsItWas) {
  ZT_Platform_Event e = {-1, 99};
  EXPECT_FALSE(platform.event(ZT_GAMETYPE_NONE, &e));
  platform.key_push(ZT_KEY_ZOOM_2);
  platform.key_push(20);  // no key of the keyboard: dropped
  platform.key_push(-1);
  platform.quit_push();
  platform.key_push(ZT_KEY_POWER);
  ASSERT_TRUE(platform.event(ZT_GAMETYPE_VTECH, &e));
  EXPECT_EQ(ZT_EVENT_KEY, e.type);
  EXPECT_EQ(ZT_KEY_ZOOM_2, e.key);
  ASSERT_TRUE(platform.event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_EVENT_QUIT, e.type);
  EXPECT_EQ(ZT_KEY_ZOOM_2, e.key);
  ASSERT_TRUE(platform.event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_KEY_POWER, e.key);
  EXPECT_FALSE(platform.event(ZT_GAMETYPE_NONE, &e));
}

TEST_F(SoftTest, ClocksAreTheHostsTicksAndAPinnedOrLocalCalendar) {
  EXPECT_EQ(0u, platform.ticks_get());
  platform.ticks_advance(16);
  platform.ticks_advance(17);
  EXPECT_EQ(33u, platform.ticks_get());
  platform.ticks = 0xfffffff0u;  // the counter wraps as SDL's does
  platform.ticks_advance(0x20);
  EXPECT_EQ(0x10u, platform.ticks_get());

  platform.time_pin(ZT_Platform_Time{7, 12, 126, 13, 5, 9});
  EXPECT_EQ(7, platform.time_get().day);
  EXPECT_EQ(126, platform.time_get().year);
  EXPECT_EQ((13u * 3600 + 5 * 60 + 9) * 1000, platform.time_ms_get());
  platform.time_unpin();
  // The year before and after the reading, which may fall across New Year.
  auto year = [] {
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    return local.tm_year;
  };
  const int before = year(), read = platform.time_get().year, after = year();
  EXPECT_TRUE(read == before || read == after) << read;
  EXPECT_EQ(0u, platform.time_ms_get() % 1000);
}

TEST_F(SoftTest, AnAnchoredCalendarCarriesThroughMonthsYearsAndLeapDays) {
  // Day, month, year since 1900, hour, minute, second.
  struct Row {
    ZT_Platform_Time start;
    uint32_t anchor_ticks;
    uint64_t elapsed_ms;
    ZT_Platform_Time then;
  } const rows[] = {
      {{7, 12, 126, 13, 5, 9}, 0, 999, {7, 12, 126, 13, 5, 9}},  // whole seconds only
      {{7, 12, 126, 13, 59, 59}, 0, 1000, {7, 12, 126, 14, 0, 0}},
      {{31, 12, 126, 23, 59, 59}, 5, 1500, {1, 1, 127, 0, 0, 0}},
      {{28, 2, 124, 23, 59, 30}, 0, 45000, {29, 2, 124, 0, 0, 15}},   // 2024 leaps
      {{28, 2, 123, 23, 59, 30}, 0, 45000, {1, 3, 123, 0, 0, 15}},    // 2023 does not
      {{28, 2, 200, 12, 0, 0}, 0, 86400000, {1, 3, 200, 12, 0, 0}},   // nor does 2100
      {{28, 2, 100, 12, 0, 0}, 0, 86400000, {29, 2, 100, 12, 0, 0}},  // 2000 does
      {{30, 4, 126, 23, 0, 0}, 0, 3600000, {1, 5, 126, 0, 0, 0}},
      {{1, 1, 126, 0, 0, 0}, 0xfffffc18u, 2000, {1, 1, 126, 0, 0, 2}},            // the clock wraps
      {{31, 12, 126, 0, 0, 0}, 0, 0xffffffffu, {18, 2, 127, 17, 2, 47}},          // 49.7 days
      {{31, 12, 126, 0, 0, 0}, 7, 0x100000000u + 1000, {18, 2, 127, 17, 2, 48}},  // and on
      {{1, 1, 126, 0, 0, 0}, 0, 3ull << 32, {30, 5, 126, 3, 8, 21}},  // 149 days in 3 steps
  };
  for (const Row& r : rows) {
    platform.ticks = r.anchor_ticks;
    platform.time_anchor(r.start);
    for (uint64_t left = r.elapsed_ms; left > 0; left -= std::min<uint64_t>(left, 0xffffffffu))
      platform.ticks_advance(static_cast<unsigned>(std::min<uint64_t>(left, 0xffffffffu)));
    // The anchor keeps up, a day at most behind, so that its difference never wraps.
    EXPECT_LT(platform.ticks - platform.anchor_ticks, ZT_PlatformSoft::kAnchorSpan);
    const ZT_Platform_Time t = platform.time_get();
    const std::string at = std::to_string(r.start.day) + "/" + std::to_string(r.start.month) +
                           " + " + std::to_string(r.elapsed_ms) + " ms";
    EXPECT_EQ(r.then.year, t.year) << at;
    EXPECT_EQ(r.then.month, t.month) << at;
    EXPECT_EQ(r.then.day, t.day) << at;
    EXPECT_EQ(ZT_Platform_Time_ms(r.then), platform.time_ms_get()) << at;
  }
  // A pinned time stops the anchored one, and the other way round.
  platform.time_pin(ZT_Platform_Time{2, 3, 126, 4, 5, 6});
  platform.ticks_advance(5000);
  EXPECT_EQ(6, platform.time_get().second);
  platform.time_anchor(ZT_Platform_Time{2, 3, 126, 4, 5, 6});
  platform.ticks_advance(5000);
  EXPECT_EQ(11, platform.time_get().second);
  EXPECT_TRUE(platform.time_anchored);
}

TEST_F(SoftTest, PacksReadBackAndDamagedOnesAreRefused) {
  // The build's pack holds its data folder byte for byte.
  namespace fs = std::filesystem;
  const std::string built = std::string(ZT_BUILD_DIR) + "/data";
  std::string reason;
  std::unique_ptr<ZT_Pack> pack =
      ZT_Pack::open_file(std::string(ZT_BUILD_DIR) + "/zentick.pack", &reason);
  ASSERT_TRUE(pack) << reason;
  size_t files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(built)) {
    if (!e.is_regular_file()) continue;
    ++files;
    const std::string name = e.path().lexically_relative(built).generic_string();
    const ZT_Pack::Entry* entry = pack->find(name);
    ASSERT_TRUE(entry) << name;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(pack->read(*entry, &bytes, &reason)) << name;
    std::ifstream in(e.path(), std::ios::binary);
    EXPECT_TRUE(bytes == Bytes(std::istreambuf_iterator<char>(in), {})) << name;
  }
  EXPECT_EQ(files, pack->entries().size());

  // Damaged packs: refused when opened, or the damaged file when read.
  const Bytes picture = bmp_bytes(2, 1, 32, 0, {}, {}, {255, 0, 255, 0, 10, 20, 30, 0});
  const Bytes good = pack_bytes({{"a.bmp", picture}, {"b/c.wav", ramp(300, 7)}});
  const size_t record = 16, second_record = 16 + 14 + 5, data = 16 + 14 + 5 + 14 + 7;
  auto put32 = [](Bytes* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  const size_t adler_end = data + 2 + 5 + picture.size() + 4;  // the first file's last byte + 1
  struct Case {
    const char* what;
    std::function<void(Bytes*)> damage;
    bool opens;
    bool first_reads;
  } const cases[] = {
      {"intact", [](Bytes*) {}, true, true},
      {"empty", [](Bytes* b) { b->clear(); }, false, false},
      {"another format", [](Bytes* b) { (*b)[0] = 'X'; }, false, false},
      {"another version", [&](Bytes* b) { put32(b, 4, 2); }, false, false},
      {"more files than the index holds", [&](Bytes* b) { put32(b, 8, 0x7fffffff); }, false, false},
      {"an index past the end", [&](Bytes* b) { put32(b, 12, 0xfffffff0u); }, false, false},
      {"an index longer than its files", [&](Bytes* b) { put32(b, 12, data - 16 + 1); }, false,
       false},
      {"a name past the index", [&](Bytes* b) { (*b)[second_record + 12] = 200; }, false, false},
      {"an empty name", [&](Bytes* b) { (*b)[record + 12] = 0; }, false, false},
      {"data past the end", [&](Bytes* b) { put32(b, second_record, 0xfffffff0u); }, false, false},
      {"cut short", [](Bytes* b) { b->pop_back(); }, false, false},
      {"a size deflate cannot reach", [&](Bytes* b) { put32(b, record + 8, 1u << 25); }, false,
       false},
      {"a size past the limit", [&](Bytes* b) { put32(b, record + 8, 0xffffffffu); }, false, false},
      {"the same name twice",
       [&](Bytes* b) {
         *b = pack_bytes({{"a.bmp", picture}, {"a.bmp", picture}});
       },
       false, false},
      {"a size one short", [&](Bytes* b) { put32(b, record + 8, picture.size() - 1); }, true,
       false},
      {"a size one long", [&](Bytes* b) { put32(b, record + 8, picture.size() + 1); }, true, false},
      {"a damaged checksum", [&](Bytes* b) { (*b)[adler_end - 1] ^= 1; }, true, false},
      {"a damaged stream", [&](Bytes* b) { (*b)[data + 2] = 7; }, true, false},  // no such block
  };
  for (const Case& c : cases) {
    Bytes bytes = good;
    c.damage(&bytes);
    reason.clear();
    std::unique_ptr<ZT_Pack> p = ZT_Pack::open_memory(bytes.data(), bytes.size(), &reason);
    ASSERT_EQ(c.opens, p != nullptr) << c.what << ": " << reason;
    if (!p) {
      EXPECT_FALSE(reason.empty()) << c.what;
      continue;
    }
    // Only the first file is damaged; the other one still reads.
    ASSERT_TRUE(p->find("a.bmp") && p->find("b/c.wav") && !p->find("b")) << c.what;
    std::vector<uint8_t> out;
    EXPECT_EQ(c.first_reads, p->read(*p->find("a.bmp"), &out, &reason)) << c.what;
    EXPECT_TRUE(p->read(*p->find("b/c.wav"), &out, &reason) && out == ramp(300, 7)) << c.what;
  }
}

TEST_F(SoftTest, SixChannelsMixAtTheMixersVolumeWithSaturation) {
  EXPECT_EQ(75, platform.volume);
  EXPECT_EQ(std::vector<int16_t>(4, 0), mix(4)) << "nothing plays by itself";
  EXPECT_EQ(100, platform.sound_volume(250));
  auto loud = sound({30000, 30000, 30000, -128});
  auto quiet = sound({1000, -1000});
  platform.sound_play(loud.get());
  // 100 of 128: 30000 * 100 / 128, truncated toward zero.
  EXPECT_EQ((std::vector<int16_t>{23437, 23437}), mix(2));
  platform.sound_play(quiet.get());
  // The channels are added in order and held at the 16-bit limits.
  EXPECT_EQ((std::vector<int16_t>{24218, -100 - 781, 0}), mix(3));
  EXPECT_EQ(nullptr, platform.channels[0].sound) << "a finished sample frees its channel";

  for (int i = 0; i < 7; ++i) platform.sound_play(loud.get());  // the seventh finds none free
  EXPECT_EQ(32767, mix(1)[0]);
  int busy = 0;
  for (const auto& c : platform.channels) busy += c.sound != nullptr;
  EXPECT_EQ(6, busy);
  platform.sound_stop_all();
  EXPECT_EQ(0, mix(1)[0]);

  EXPECT_EQ(0, platform.sound_volume(0));
  platform.sound_play(loud.get());
  EXPECT_EQ(0, mix(1)[0]);
}

TEST_F(SoftTest, ASoundDestroyedWhilePlayingFallsSilent) {
  auto a = sound(std::vector<int16_t>(100, 1280));
  auto b = sound(std::vector<int16_t>(100, 128));
  platform.sound_play(a.get());
  platform.sound_play(b.get());
  platform.sound_play(a.get());
  EXPECT_EQ(75 * 10 * 2 + 75, mix(1)[0]);
  a.reset();
  EXPECT_EQ(75, mix(1)[0]);
  // A sound outliving its platform is still destroyed safely.
  {
    ZT_PlatformSoft other;
    other.datapath_set(data.path);
    Bytes pcm;
    le16(pcm, 1);
    a.reset(other.sound_load(data.write("o.wav", wav_bytes(1, 1, 22050, 16, 2, {}, {}, pcm))));
    other.sound_play(a.get());
  }
  a.reset();
}

TEST_F(SoftTest, TheHostPullsAtItsOwnRate) {
  auto s = sound({100, 200, 300, 400});
  platform.sound_volume(100);
  platform.sound_play(s.get());
  EXPECT_EQ((std::vector<int16_t>{78, 78, 156, 156, 234, 234, 312, 312, 0}), mix(9, 44100));
  platform.sound_play(s.get());
  EXPECT_EQ((std::vector<int16_t>{78, 234, 0}), mix(3, 11025));
  // An 11025 Hz sample is stretched to the mixer's rate when it is loaded.
  auto slow = sound({1000, 2000}, 11025);
  EXPECT_EQ((std::vector<int16_t>{1000, 1000, 2000, 2000}),
            dynamic_cast<ZT_PlatformSoft_Sound*>(slow.get())->samples);
}

TEST_F(SoftTest, APresentedFrameIsReadFromScreenAndCounted) {
  ZT_Platform_RGB red = ZT_Platform_RGB_create(255, 0, 0);
  EXPECT_EQ(0u, platform.presented);
  platform.draw_rectangle(0, 0, 639, 479, nullptr, &red, -1);
  platform.draw_flip(0, 0);
  EXPECT_EQ(1u, platform.presented);
  EXPECT_EQ(0xf800, platform.screen[640 * 480 - 1]);
  // A clear is black also when only text or nothing is drawn on it.
  platform.draw_clear();
  platform.text_draw(0, 0, "Zentick", nullptr);
  platform.draw_flip(0, 0);
  EXPECT_EQ(0, platform.screen[640 * 480 - 1]);
  int lit = 0;
  for (int i = 0; i < 640 * 20; ++i) lit += platform.screen[i] == 0xffff;
  EXPECT_GT(lit, 50);
  platform.draw_clear();
  platform.draw_flip(0, 0);
  EXPECT_EQ(std::vector<uint16_t>(640 * 480, 0), platform.screen);
  EXPECT_EQ(3u, platform.presented);
}

// A 24-bit picture of w x h in stripes of `colour` and white (the key below).
Bytes striped(int w, int h, uint8_t colour) {
  Bytes pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t v = (x + y) % 3 ? colour : 255;
      pixels.insert(pixels.end(), {v, static_cast<uint8_t>(v ^ 0x55), 255});
    }
    pixels.resize(pixels.size() + (4 - w * 3 % 4) % 4, 0);
  }
  return bmp_bytes(w, h, 24, 0, {}, {}, pixels);
}

TEST_F(SoftTest, FramesThatStartAlikeRepaintOnlyWhatChanged) {
  // Frames of a background and segments moving over it, drawn on one platform
  // frame after frame and each on a fresh platform: they must be the same,
  // also when the background moves, is cut by the frame's edges, when a line
  // crosses the black around it, and when a host wrote into the frame.
  ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);
  const std::string bg_path = data.write("bg.bmp", striped(500, 300, 40));
  const std::string seg_path = data.write("seg.bmp", striped(30, 20, 200));
  std::unique_ptr<ZT_Platform_Image> bg(platform.image_load(bg_path, &white));
  std::unique_ptr<ZT_Platform_Image> seg(platform.image_load(seg_path, &white));
  for (int frame = 0; frame < 12; ++frame) {
    ZT_PlatformSoft fresh;
    std::unique_ptr<ZT_Platform_Image> fresh_bg(fresh.image_load(bg_path, &white));
    std::unique_ptr<ZT_Platform_Image> fresh_seg(fresh.image_load(seg_path, &white));
    const int bx = frame == 5 ? 80 : frame == 6 ? -30 : 70;  // moves, once off the left edge
    if (frame == 10) {
      platform.frame[5] = 0x1234;  // as a restored saved state would
      platform.frame_forget();
    }
    for (ZT_PlatformSoft* p : {&platform, &fresh}) {
      ZT_Platform_Image* b = p == &platform ? bg.get() : fresh_bg.get();
      ZT_Platform_Image* s = p == &platform ? seg.get() : fresh_seg.get();
      p->draw_clear();
      p->draw_image(b, bx, frame == 6 ? 400 : 90);
      for (int i = 0; i <= frame % 4; ++i) p->draw_image(s, 60 + 37 * frame + 11 * i, 80 + 23 * i);
      if (frame == 8) p->draw_line(0, 479, 639, 0, &white);
      p->draw_flip(frame % 3 ? 0 : 320, 240);
    }
    ASSERT_EQ(fresh.frame, platform.frame) << "frame " << frame;
    ASSERT_EQ(fresh.screen, platform.screen) << "frame " << frame;
  }
}

TEST_F(SoftTest, AStartedPlatformStartsOnceAndStopsSafely) {
  platform.initialize();
  EXPECT_TRUE(platform.initialized);
  EXPECT_EQ(19, platform.text_fontheight());
  platform.finalize();
  platform.finalize();
  EXPECT_FALSE(platform.initialized);
  EXPECT_EQ(-1, platform.text_width("gone"));
  platform.text_draw(0, 0, "gone", nullptr);  // draws nothing, no font
}

}  // namespace
