// SPDX-License-Identifier: MIT
// The session on the built data set: save states that only the simulator
// could have written, replays at any hour, the loudness across a load, the
// pad's zoom order and the due time an idle host sleeps on.
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/device.h"

namespace {

const ZT_Platform_Time kMorning = {7, 3, 126, 9, 15, 0};
const ZT_Platform_Time kNight = {31, 12, 126, 23, 59, 58};

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
  // Any length of time, in the steps advance takes.
  void run(uint64_t ms) {
    for (const uint64_t step = 1u << 30; ms > 0; ms -= std::min(ms, step))
      advance(static_cast<unsigned>(std::min(ms, step)));
  }
  int64_t watch() { return ZT_Platform_Time_seconds(platform.time_get()); }
  static uint64_t fnv(const uint16_t* frame) {
    uint64_t h = 14695981039346656037ull;
    for (size_t p = 0; p < 640 * 480; ++p) h = (h ^ frame[p]) * 1099511628211ull;
    return h;
  }
  // Hashes of the frames and the sound of `ms` milliseconds.
  std::vector<uint64_t> record(unsigned ms) {
    std::vector<uint64_t> out;
    for (unsigned i = 0; i < ms; i += 10) {
      advance(10);
      int16_t sound[220];
      audio(sound, 220);
      uint64_t h = fnv(frame());
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
      {"the watch on 31 November", [&] { s.platform.anchor = {31, 11, 126, 9, 15, 0}; }},
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

TEST(Session, StatesWorkOnEveryDayAndAfterAnyLengthOfRun) {
  // The watch after a run from a date, then a game that plays and replays
  // exactly from a state taken there.
  struct Row {
    ZT_Platform_Time start;
    uint64_t run_ms;
    ZT_Platform_Time then;
  };
  std::vector<Row> rows = {
      {kNight, 3000, {1, 1, 127, 0, 0, 1}},                      // the year's end
      {{28, 2, 128, 23, 59, 59}, 1000, {29, 2, 128, 0, 0, 0}},   // 2028's leap day
      {kMorning, 1ull << 31, {1, 4, 126, 5, 46, 23}},            // 24.8 days
      {kMorning, (1ull << 32) - 1500, {26, 4, 126, 2, 17, 45}},  // the game crosses 2^32 ms
      {kMorning, (1ull << 32) + 5000, {26, 4, 126, 2, 17, 52}},
      {{19, 1, 138, 3, 14, 0}, 10000, {19, 1, 138, 3, 14, 10}},  // past a 32-bit time_t
  };
  for (int16_t month = 1; month <= 12; ++month)
    rows.push_back({{15, month, 126, 12, 0, 0}, 0, {15, month, 126, 12, 0, 0}});
  for (const Row& r : rows) {
    const std::string at = std::to_string(r.start.day) + "/" + std::to_string(r.start.month) + "/" +
                           std::to_string(1900 + r.start.year) + " + " + std::to_string(r.run_ms) +
                           " ms";
    Session s(r.start);
    s.run(r.run_ms);
    EXPECT_EQ(ZT_Platform_Time_seconds(r.then), s.watch()) << at;
    condor_game_a(s);
    const std::vector<uint8_t> state = s.save();
    const std::vector<uint64_t> first = s.record(3000);
    const std::set<uint64_t> last_second(first.end() - 100, first.end());
    EXPECT_GT(last_second.size(), 2u) << at << ": the game stood still";
    ASSERT_TRUE(s.state_load(state.data(), state.size())) << at;
    EXPECT_EQ(first, s.record(3000)) << at;
  }
}

TEST(Session, TheWatchFollowsTheWallClockAndReplaysStayExact) {
  // A wall clock that runs with the session, then jumps: Berlin on 29 March
  // 2026, where 2:00 becomes 3:00.
  const ZT_Platform_Time base = {29, 3, 126, 1, 59, 0};
  Session s(base);
  const uint32_t from = s.platform.ticks;
  int64_t jump = 0;
  auto wall = [&] { return ZT_Platform_Time_add(base, (s.platform.ticks - from) / 1000 + jump); };
  s.clock = [&](ZT_Platform_Time* now) {
    *now = wall();
    return true;
  };
  s.wall_follow = true;
  s.advance(10);
  s.play({ZT_KEY_ENTER, ZT_KEY_ENTER}, 500);  // Condor switched on: the watch shows
  auto behind = [&] { return ZT_Platform_Time_seconds(wall()) - s.watch(); };
  s.advance(60000);
  EXPECT_EQ(0, behind());
  jump = 3600;  // the change to summer time
  s.advance(1100);
  EXPECT_EQ(0, behind());
  EXPECT_EQ(3, s.platform.time_get().hour);
  jump += 2;  // a drift within the slack leaves the watch's seconds alone
  s.advance(3000);
  EXPECT_EQ(2, behind());
  // A pause of ten minutes: the correction lands at the same step in a replay.
  const std::vector<uint8_t> state = s.save();
  jump += 600;
  const std::vector<uint64_t> first = s.record(3000);
  EXPECT_EQ(0, behind());
  ASSERT_TRUE(s.state_load(state.data(), state.size()));
  EXPECT_EQ(first, s.record(3000));
  // Not following, the watch keeps the session's own time.
  s.wall_follow = false;
  jump += 600;
  s.advance(3000);
  EXPECT_EQ(600, behind());
}

TEST(Session, SegmentsDarkenAndClearByTheSessionsClock) {
  const ZT_Session::Response& natural = ZT_Session::kResponses[2];
  ASSERT_STREQ("natural", natural.name);
  Session sharp, fading;
  fading.response_set(2);
  for (Session* s : {&sharp, &fading}) {
    s->advance(10);
    s->open("monkey");
    s->advance(200);
  }
  const std::vector<uint16_t> unlit(fading.frame(), fading.frame() + 640 * 480);
  // Switched on, the handheld lights every segment: half-way through the
  // rise time each is part way, and the host is told to keep drawing.
  for (Session* s : {&sharp, &fading}) s->play({ZT_KEY_ENTER}, natural.rise_ms / 2);
  size_t lit = 0, between = 0;
  for (size_t i = 0; i < unlit.size(); ++i) {
    if (sharp.frame()[i] == unlit[i]) continue;
    ++lit;
    between += fading.frame()[i] != unlit[i] && fading.frame()[i] != sharp.frame()[i];
  }
  ASSERT_GT(lit, 1000u);
  EXPECT_GT(between, lit * 9 / 10);
  EXPECT_EQ(1, fading.due_ms());
  // A state taken mid-way replays exactly.
  const std::vector<uint8_t> state = fading.save();
  const std::vector<uint64_t> first = fading.record(300);
  ASSERT_TRUE(fading.state_load(state.data(), state.size()));
  EXPECT_EQ(first, fading.record(300));
  // Past the rise time the picture is the sharp one, and the host may sleep.
  sharp.record(300);
  EXPECT_TRUE(std::equal(sharp.frame(), sharp.frame() + 640 * 480, fading.frame()));
  EXPECT_EQ(sharp.due_ms(), fading.due_ms());

  // Game A sampled at 60 and at 144 frames a second: the same picture at
  // every instant both take one (each quarter of a second).
  auto sampled = [](unsigned fps) {
    Session s;
    s.response_set(2);
    s.advance(10);
    s.open("monkey");
    s.play({ZT_KEY_ENTER, ZT_KEY_GAME_A, ZT_KEY_GAME_A}, 250);
    std::vector<uint64_t> hashes;
    for (int quarter = 0; quarter < 16; ++quarter) {
      s.key_down(quarter % 3 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
      for (unsigned f = 0; f < fps / 4; ++f) s.advance_frame(fps);
      s.key_up(quarter % 3 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
      hashes.push_back(Session::fnv(s.frame()));
    }
    return hashes;
  };
  EXPECT_EQ(sampled(60), sampled(144));
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
