// SPDX-License-Identifier: MIT
// The session on the built data set: save states that only the simulator
// could have written, replays at any hour, the loudness across a load, the
// pad's zoom order and the due time an idle host sleeps on.
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/device.h"

namespace {

const ZT_Platform_Time kMorning = {7, 3, 126, 9, 15, 0};
const ZT_Platform_Time kNight = {31, 11, 126, 23, 59, 58};

struct Session : ZT_Session {
  explicit Session(const ZT_Platform_Time& time = kMorning) : ZT_Session(data()) { time_set(time); }
  static Data data() {
    Data d;
    d.folder = ZT_BUILD_DIR "/data";
    return d;
  }
  // Each key pressed and released, then `ms` milliseconds of play.
  void play(std::initializer_list<int> keys, unsigned ms = 200) {
    for (int key : keys) {
      key_down(key);
      key_up(key);
      advance(ms);
    }
  }
  std::vector<uint8_t> save() {
    std::vector<uint8_t> state(state_size());
    EXPECT_TRUE(state_save(state.data(), state.size()));
    return state;
  }
  // Hashes of the frames and the sound of `ms` milliseconds.
  std::vector<uint64_t> record(unsigned ms) {
    std::vector<uint64_t> out;
    for (unsigned i = 0; i < ms; i += 10) {
      advance(10);
      int16_t sound[220];
      audio(sound, 220);
      uint64_t h = 14695981039346656037ull;
      for (size_t p = 0; p < 640 * 480; ++p) h = (h ^ frame()[p]) * 1099511628211ull;
      for (int16_t s : sound) h = (h ^ static_cast<uint16_t>(s)) * 1099511628211ull;
      out.push_back(h);
    }
    return out;
  }
};

// Condor's Game A with its start sound playing.
void condor_game_a(Session& s) {
  s.advance(10);
  s.play({ZT_KEY_ENTER, ZT_KEY_ENTER, ZT_KEY_GAME_A, ZT_KEY_GAME_A});
}

TEST(Session, StatesReplayExactlyAtAnyHour) {
  Session morning(kMorning);
  condor_game_a(morning);
  morning.play({ZT_KEY_LEFT, ZT_KEY_RIGHT}, 700);
  const std::vector<uint8_t> state = morning.save();
  const std::vector<uint64_t> first = morning.record(3000);
  Session night(kNight);  // a peer whose watch reads another day
  ASSERT_TRUE(night.state_load(state.data(), state.size()));
  EXPECT_EQ(first, night.record(3000));
}

TEST(Session, CraftedStatesAreRefusedAndLeaveTheRunningStateAlone) {
  Session s;
  condor_game_a(s);
  ZT_Game* game = s.menu->game;
  const std::vector<uint8_t> good = s.save();
  // Each change makes a state the simulator could not have written; it is
  // saved with a right header and checksum, then the good state comes back.
  const std::vector<std::pair<const char*, std::function<void()> > > crafted = {
      {"clock about to wrap", [&] { s.platform.ticks = 0xffffffffu; }},
      {"a timer 2^31 ms ahead",
       [&] { game->data.timers.begin()->second->starttime = s.platform.ticks + 0x7fffffffu; }},
      {"on without a mode", [&] { game->mode = -1; }},
      {"an all-zero random table", [&] { std::fill(s.random.table, s.random.table + 31, 0); }},
      {"a selection before the menu's first step", [&] { s.menu->started = false; }},
      {"a sound played to its end",
       [&] { s.platform.channels[0].position = s.platform.channels[0].sound->samples.size(); }},
  };
  for (const auto& c : crafted) {
    ASSERT_NE(nullptr, s.platform.channels[0].sound);
    c.second();
    const std::vector<uint8_t> bad = s.save();
    ASSERT_TRUE(s.state_load(good.data(), good.size())) << c.first;
    EXPECT_FALSE(s.state_load(bad.data(), bad.size())) << c.first;
    EXPECT_EQ(good, s.save()) << c.first;
  }
}

TEST(Session, LoadingAStateKeepsTheLoudness) {
  // The volume keys of an earlier game leave the platform quieter than a new
  // device believes; a state saved then must not load louder.
  Session s;
  s.advance(10);
  s.play({ZT_KEY_ENTER, ZT_KEY_VOLUME_DOWN, ZT_KEY_ESCAPE, ZT_KEY_ENTER});
  const int quieter = s.volume();
  ASSERT_EQ(70, quieter);
  const std::vector<uint8_t> state = s.save();
  ASSERT_TRUE(s.state_load(state.data(), state.size()));
  EXPECT_EQ(quieter, s.volume());
}

TEST(Session, PadZoomsByMagnificationAndOnlyInAGame) {
  Session s;
  s.advance(10);
  s.pad_set(1u << ZT_Session::PAD_R);  // the menu has no zoom
  s.pad_set(0);
  s.advance(20);
  EXPECT_FALSE(s.in_game());
  s.play({ZT_KEY_ENTER});
  std::vector<int> levels;
  for (int pad : {ZT_Session::PAD_R, ZT_Session::PAD_R, ZT_Session::PAD_R, ZT_Session::PAD_L}) {
    s.pad_set(1u << pad);
    s.pad_set(0);
    s.advance(20);
    levels.push_back(s.zoom());
  }
  EXPECT_EQ((std::vector<int>{2, 1, 1, 2}), levels);
}

TEST(Session, AnIdleHostMaySleepUntilTheDueTime) {
  Session s;
  EXPECT_EQ(0, s.due_ms());  // the first frame is due
  s.advance(10);
  EXPECT_EQ(-1, s.due_ms());  // the menu waits for a key
  s.play({ZT_KEY_ENTER, ZT_KEY_ENTER, ZT_KEY_TIME}, 3000);
  // Switched on, showing the watch: nothing before the next second.
  const int due = s.due_ms();
  ASSERT_GT(due, 0);
  ASSERT_LE(due, 1000);
  s.frame_new();
  s.advance(static_cast<unsigned>(due - 1));
  EXPECT_FALSE(s.frame_new());
  s.advance(1);
  EXPECT_TRUE(s.frame_new());
}

}  // namespace
