// SPDX-License-Identifier: MIT
// Soak: each of the six handhelds run by the real device loop on the fake
// platform for a simulated day of pseudo-random play (movement, game and time
// buttons, power cycles, zoom, volume), with the engines' invariants checked on
// every pass and memory and item counts checked to stay flat.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "engines/dev_condor.h"
#include "engines/dev_defendo.h"
#include "engines/dev_monkey.h"
#include "engines/dev_pancake.h"
#include "engines/dev_pirate.h"
#include "engines/dev_rollerc.h"
#include "framework/device.h"
#include "framework/random.h"
#include "support/fake_platform.h"
#include "vtech_rig.h"

#ifndef ZT_SOAK_HOURS
#define ZT_SOAK_HOURS 24
#endif

namespace {

typedef ZT_GameEngine_VTech VTech;
typedef ZT_GameEngine_VTech_Monkey Monkey;
typedef ZT_GameEngine_VTech_Condor Condor;

const unsigned int kHour = 3600 * 1000;
const unsigned int kStart = 1000;  // the fake clock's first tick
// The calendar follows the clock from a New Year's Eve a minute before
// midnight, so that the watch crosses days, a month and a year.
const time_t kCalendarStart = 1767225540;  // 2025-12-31 23:59:00 UTC

// Resident memory in bytes that is not backed by files (heap, stack, data),
// from /proc/self/statm: code pages come in as rare paths first run and say
// nothing of leaks. Read without the C library's streams, whose buffer would be
// an allocation of the measurement itself.
long resident_bytes() {
  char text[128] = {0};
  const int fd = open("/proc/self/statm", O_RDONLY);
  if (fd < 0) return -1;
  const ssize_t length = read(fd, text, sizeof text - 1);
  close(fd);
  long size = 0, resident = 0, shared = 0;
  if (length <= 0 || std::sscanf(text, "%ld %ld %ld", &size, &resident, &shared) != 3) return -1;
  return (resident - shared) * sysconf(_SC_PAGESIZE);
}

// AddressSanitizer keeps freed memory in quarantine, so resident memory grows
// by design there; its leak checker at exit stands in for the flat-memory check.
#if defined(__SANITIZE_ADDRESS__)
const bool kResidentMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool kResidentMeaningful = false;
#else
const bool kResidentMeaningful = true;
#endif
#else
const bool kResidentMeaningful = true;
#endif

size_t count_items(ZT_GameData& data, size_t* images, size_t* sounds) {
  *images = 0;
  size_t positions = 0;
  for (auto& outer : data.images) *images += outer.second.size();
  for (auto& outer : data.positions) positions += outer.second.size();
  *sounds = data.sounds.size();
  return *images + positions + *sounds + data.timers.size();
}

// The fake platform as the player's side of the device loop. Every empty poll
// ends one pass of the loop: the state is checked, the clock jumps to the next
// moment anything can happen (a timer expiring, a key due, a second passing)
// and keys that are due are queued. Drawing is counted and checked rather than
// logged, so that the platform itself holds no growing record.
class SoakPlatform : public FakePlatform {
 public:
  SoakPlatform(ZT_Game* game, unsigned int seed)
      : game(game), vtech(dynamic_cast<VTech*>(game)), random(seed) {
    ticks = kStart;
    end = kStart + ZT_SOAK_HOURS * kHour;
    next_key = kStart;
    next_hour = kStart + 2 * kHour;
  }

  bool event(ZT_Platform_GameType, ZT_Platform_Event* out) override {
    if (pass_start) {
      pass_start = false;
      end_of_pass();
    }
    if (queue.empty()) {
      pass_start = true;
      return false;
    }
    *out = queue.front();
    queue.pop_front();
    return true;
  }

  void draw_clear() override {
    frame_open = true;
    frame_images = 0;
  }
  void draw_image(ZT_Platform_Image* image, int, int) override {
    FakeImage* fake = dynamic_cast<FakeImage*>(image);
    if (!fake || fake->path.empty()) fault("a picture that is not a loaded one was drawn");
    if (!frame_open) fault("drawing outside a frame");
    ++frame_images;
  }
  void draw_flip(int width, int height) override {
    if (!frame_open || frame_images == 0) fault("a frame without its background was shown");
    if (width < 0 || height < 0 || width > this->width || height > this->height)
      fault("zoom box outside the frame");
    frame_open = false;
    ++frames;
  }
  void sound_play(ZT_Platform_Sound* sound) override {
    FakeSound* fake = dynamic_cast<FakeSound*>(sound);
    if (!fake) fault("a sound that is not a loaded one was played");
    ++sounds_played;
    // Both engines play this sound, and only this one, as a game starts.
    const std::string start = "/Start.wav";
    if (fake && fake->path.size() > start.size() &&
        fake->path.compare(fake->path.size() - start.size(), start.size(), start) == 0)
      ++games_started;
  }

  // Engine checks run after every pass; set by the test for the engine at hand.
  std::function<void(SoakPlatform&)> engine_check;
  // The key that brings the character towards the item most in need of catching.
  std::function<int(SoakPlatform&)> smart_move;

  void fault(const std::string& what) {
    if (first_fault.empty()) {
      first_fault = what + " at tick " + std::to_string(ticks) + " (mode " +
                    std::to_string(game->mode) + ", score " + std::to_string(vtech->score) +
                    ", misses " + std::to_string(vtech->misses) + ")";
    }
  }

  ZT_Game* game;
  VTech* vtech;
  std::mt19937 random;
  unsigned int end;
  unsigned int next_key;
  unsigned int next_hour;
  bool pass_start = true;
  bool frame_open = false;
  int frame_images = 0;
  long frames = 0;
  long passes = 0;
  long keys = 0;
  long sounds_played = 0;
  long games_started = 0;
  long power_ons = 0;
  int best_score = 0;
  std::string first_fault;

  // Memory, sampled each simulated hour once the first two have warmed it up.
  size_t items_at_start = 0, images_at_start = 0, sounds_at_start = 0;
  long resident_first = -1, resident_max = 0;

 private:
  void end_of_pass() {
    ++passes;
    check_state();
    sample();
    advance_clock();
    queue_keys();
  }

  void check_state() {
    const int mode = game->mode;
    // -1 until the handheld is first switched on.
    if (mode < -1 || mode > VTech::MODE_DATE || mode == 2) fault("mode out of range");
    if (game->turned_on == (mode <= VTech::MODE_OFF)) fault("power and mode disagree");
    if (vtech->score < 0 || vtech->score > 9999) fault("score outside 0..9999");
    if (vtech->misses < 0 || vtech->misses > 5) fault("misses outside 0..5");
    best_score = std::max(best_score, vtech->score);
    if (engine_check) engine_check(*this);
    size_t images = 0, sounds = 0;
    if (count_items(game->data, &images, &sounds) != items_at_start ||
        FakeImage::live != static_cast<int>(images_at_start) ||
        FakeSound::live != static_cast<int>(sounds_at_start))
      fault("items were added or lost");
    // The player's logs of the fake platform are not needed; keep them empty.
    played.clear();
    volume_requests.clear();
  }

  void sample() {
    if (ticks < next_hour) return;
    next_hour += kHour;
    const long resident = resident_bytes();
    if (resident_first < 0) resident_first = resident;
    resident_max = std::max(resident_max, resident);
  }

  // The next moment at which the loop has something to do.
  void advance_clock() {
    unsigned int next = std::min({next_key, end, ticks + 1000 - ticks % 1000});
    if (game->turned_on) {
      for (auto& entry : game->data.timers) {
        ZT_GameData_Timer* timer = entry.second.get();
        if (timer->started()) next = std::min(next, timer->starttime + timer->interval + 1);
      }
    }
    ticks = std::max(next, ticks + 1);
    const time_t seconds = kCalendarStart + (ticks - kStart) / 1000;
    struct tm t;
    gmtime_r(&seconds, &t);
    set_time(t.tm_hour, t.tm_min, t.tm_sec, t.tm_mday, t.tm_mon + 1, t.tm_year);
  }

  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
  bool heads() { return uniform(0, 1) == 1; }

  void push(int key) {
    push_key(key);
    ++keys;
  }

  // The player: mostly moving towards the next item while a game runs, now and
  // then any other button of the handheld or the device.
  void queue_keys() {
    if (ticks >= end) {
      push(ZT_KEY_ESCAPE);
      next_key = UINT32_MAX;
      return;
    }
    if (ticks < next_key) return;
    const bool in_game = vtech->mode == VTech::MODE_GAME_A || vtech->mode == VTech::MODE_GAME_B;
    const int roll = uniform(0, 999);
    if (!game->turned_on) {
      if (roll < 600) {
        push(roll < 300 ? ZT_KEY_ENTER : ZT_KEY_POWER);
        ++power_ons;
      } else if (roll < 900) {
        push(uniform(ZT_KEY_UP, ZT_KEY_RIGHT));  // scrolls the picture
      } else {
        push(uniform(ZT_KEY_GAME_A, ZT_KEY_TIME));  // centres it again
      }
      next_key = ticks + uniform(100, 3000);
      return;
    }
    // Switching off ends a game; rare during play so that games run long.
    if (uniform(0, in_game ? 9999 : 59) == 0) {
      push(heads() ? ZT_KEY_BACK : ZT_KEY_POWER);
    } else if (in_game && roll < 940) {
      push(roll < 925 ? smart_move(*this) : heads() ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
      next_key = ticks + uniform(30, 150);
      return;
    } else {
      const int pick = uniform(0, 99);
      if (pick < 55) {
        push(uniform(0, 2) ? (heads() ? ZT_KEY_GAME_A : ZT_KEY_GAME_B) : ZT_KEY_TIME);
      } else if (pick < 70) {
        push(uniform(ZT_KEY_ZOOM_0, ZT_KEY_ZOOM_2));
      } else if (pick < 82) {
        push(heads() ? ZT_KEY_VOLUME_UP : ZT_KEY_VOLUME_DOWN);
      } else if (pick < 92) {
        push(uniform(ZT_KEY_LEFT_UP, ZT_KEY_RIGHT_DOWN));  // no part uses these
      } else {
        push(ZT_KEY_ENTER);  // already on: only re-centres
      }
    }
    next_key = ticks + (in_game ? uniform(30, 400) : uniform(200, 5000));
  }
};

// A coin toss of the player.
bool heads(SoakPlatform& p) { return std::uniform_int_distribution<int>(0, 1)(p.random) == 1; }

// At most one lane holds an item on its last step, the character and the lane
// to move are within their ranges, and the crowding limit is one of the table's.
void check_monkey(SoakPlatform& p) {
  Monkey* game = dynamic_cast<Monkey*>(p.game);
  int lanes_at_end = 0;
  for (int lane = 0; lane < 3; lane++)
    lanes_at_end += game->data.position_get(Monkey::PS_LANE + lane, 5)->visible;
  // Switched on, every segment is lit; only play puts items on the lanes.
  const bool in_game = game->mode == VTech::MODE_GAME_A || game->mode == VTech::MODE_GAME_B;
  if (in_game && lanes_at_end > 1) p.fault("two lanes hold an item on step 5");
  if (game->char_pos < 0 || game->char_pos > 2) p.fault("character off its stations");
  if (game->move_lane > 2) p.fault("lane to move out of range");
  if (game->level > 6) p.fault("crowding limit out of range");
}

int monkey_move(SoakPlatform& p) {
  Monkey* game = dynamic_cast<Monkey*>(p.game);
  int target = furthest_item_lane(game);
  if (target < 0) target = game->char_pos;
  if (target == game->char_pos) return heads(p) ? ZT_KEY_LEFT_UP : ZT_KEY_RIGHT_UP;
  return target < game->char_pos ? ZT_KEY_LEFT : ZT_KEY_RIGHT;
}

// Every track position keeps a state of -1..3, the station and phase stay in
// range, and only ends of lanes hold caught items.
void check_condor(SoakPlatform& p) {
  Condor* game = dynamic_cast<Condor*>(p.game);
  for (auto& entry : game->data.positions.at(Condor::PS_ITEM)) {
    const int state = entry.second->state;
    if (state < -1 || state > 3) p.fault("track state outside -1..3");
    if (state == 2 && entry.first != Condor::TRACK_END_1 && entry.first != Condor::TRACK_END_2 &&
        entry.first != Condor::TRACK_END_3)
      p.fault("a caught item away from a lane end");
  }
  if (game->char_pos < 1 || game->char_pos > 3) p.fault("character off its stations");
  if (game->phase > 6) p.fault("phase outside 0..6");
  if (game->level > 6) p.fault("crowding limit out of range");
}

int condor_move(SoakPlatform& p) {
  Condor* game = dynamic_cast<Condor*>(p.game);
  int station = game->char_pos, nearest = 100;
  const struct {
    int first, end, station;
  } lanes[] = {{game->spawn_pos, Condor::TRACK_END_1, 3},
               {Condor::TRACK_END_1 + 1, Condor::TRACK_END_2, 2},
               {Condor::TRACK_END_2 + 1, Condor::TRACK_END_3, 1}};
  for (const auto& lane : lanes)
    for (int i = lane.first; i <= lane.end; i++) {
      ZT_GameData_Position* at = game->data.position_get(Condor::PS_ITEM, i);
      if (at->visible && at->state == 1 && lane.end - i < nearest) {
        nearest = lane.end - i;
        station = lane.station;
      }
    }
  // Standing right already: a key the engine ignores.
  if (station == game->char_pos) return heads(p) ? ZT_KEY_LEFT_UP : ZT_KEY_RIGHT_UP;
  return station < game->char_pos ? ZT_KEY_LEFT : ZT_KEY_RIGHT;
}

template <class G>
void soak(unsigned int seed, bool monkey_family) {
  std::unique_ptr<G> game(new G);
  SoakPlatform platform(game.get(), seed);
  platform.engine_check = monkey_family ? check_monkey : check_condor;
  platform.smart_move = monkey_family ? monkey_move : condor_move;
  ZT_Device device(&platform);
  ASSERT_EQ(0, FakeImage::live);
  ASSERT_EQ(0, FakeSound::live);
  platform.items_at_start =
      count_items(game->data, &platform.images_at_start, &platform.sounds_at_start);

  const clock_t started = std::clock();
  device.Run(game.get());
  const double seconds = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;

  EXPECT_EQ("", platform.first_fault);
  EXPECT_GE(platform.ticks, kStart + ZT_SOAK_HOURS * kHour) << "the whole day was played";
  EXPECT_EQ(nullptr, device.game);
  size_t images = 0, sounds = 0;
  EXPECT_EQ(0u, count_items(game->data, &images, &sounds)) << "leaving unloads the game";
  EXPECT_EQ(0, FakeImage::live);
  EXPECT_EQ(0, FakeSound::live);
  if (kResidentMeaningful) {
    EXPECT_LE(platform.resident_max - platform.resident_first, 64 * 1024)
        << "resident memory grew from " << platform.resident_first << " to "
        << platform.resident_max << " bytes";
  }
  // The day must really have been played, not idled through.
  EXPECT_GT(platform.games_started, 100);
  EXPECT_GT(platform.power_ons, 10);
  EXPECT_GT(platform.best_score, 100);
  EXPECT_GT(platform.sounds_played, 10000);
  std::printf(
      "%d h simulated in %.1f s: %ld passes, %ld frames, %ld keys, %ld games, %ld power-ons, "
      "best score %d, resident %ld..%ld KB\n",
      ZT_SOAK_HOURS, seconds, platform.passes, platform.frames, platform.keys,
      platform.games_started, platform.power_ons, platform.best_score,
      platform.resident_first / 1024, platform.resident_max / 1024);
}

TEST(Soak, MonkeyPlaysADayWithItsInvariantsAndMemoryFlat) { soak<ZT_Game_Monkey>(1, true); }
TEST(Soak, PiratePlaysADayWithItsInvariantsAndMemoryFlat) { soak<ZT_Game_Pirate>(2, true); }
TEST(Soak, DefendoPlaysADayWithItsInvariantsAndMemoryFlat) { soak<ZT_Game_Defendo>(3, true); }
TEST(Soak, CondorPlaysADayWithItsInvariantsAndMemoryFlat) { soak<ZT_Game_Condor>(4, false); }
TEST(Soak, PancakePlaysADayWithItsInvariantsAndMemoryFlat) { soak<ZT_Game_Pancake>(5, false); }
TEST(Soak, RollerCoasterPlaysADayWithItsInvariantsAndMemoryFlat) {
  soak<ZT_Game_RollerC>(6, false);
}

}  // namespace
