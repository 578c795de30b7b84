// SPDX-License-Identifier: MIT
// The libretro core through our test frontend: a scripted RetroPad plays a
// minute of Game A and sees the session's own frames and sound; save states
// replay exactly, damaged ones are refused; keys survive a run-ahead replay;
// the core loads again in the same process; bad data gives a message that
// names the folder; each of the games kit's content files opens its handheld.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "frontend.h"
#include "hosts/libretro/libretro_session.h"
#include "support/temp_dir.h"

namespace {

const std::string kOut = std::string(ZT_BUILD_DIR) + "/libretro-test";

// A system folder whose zentick/ is the build's data set.
struct System {
  System() {
    if (symlink(ZT_BUILD_DIR "/data", dir.file("zentick").c_str()) != 0) ADD_FAILURE();
    mkdir(kOut.c_str(), 0755);
  }
  TempDir dir{"zt-retro"};
};

// One tap of the script: the frame, the RetroPad button and the desktop key
// the core turns it into.
struct Tap {
  int frame;
  unsigned button;
  int key;
};

// Down twice to Monkey, Start to run it and to switch it on, A for the time
// and A again for Game A, then a minute of moving about.
std::vector<Tap> script() {
  std::vector<Tap> taps = {
      {30, RETRO_DEVICE_ID_JOYPAD_DOWN, ZT_KEY_DOWN},
      {40, RETRO_DEVICE_ID_JOYPAD_DOWN, ZT_KEY_DOWN},
      {60, RETRO_DEVICE_ID_JOYPAD_START, ZT_KEY_ENTER},
      {90, RETRO_DEVICE_ID_JOYPAD_START, ZT_KEY_ENTER},
      {150, RETRO_DEVICE_ID_JOYPAD_A, ZT_KEY_GAME_A},
      {200, RETRO_DEVICE_ID_JOYPAD_A, ZT_KEY_GAME_A},
  };
  const unsigned left = RETRO_DEVICE_ID_JOYPAD_LEFT, right = RETRO_DEVICE_ID_JOYPAD_RIGHT;
  for (int f = 260; f < 200 + 3600; f += 37)
    taps.push_back({f, (f / 37) % 3 ? left : right, (f / 37) % 3 ? ZT_KEY_LEFT : ZT_KEY_RIGHT});
  return taps;
}
const int kFrames = 200 + 3600;

// Each new picture by the frame it came in, and the sound.
struct Played {
  std::vector<std::pair<int, uint64_t> > pictures;
  uint64_t sound = 0;
  bool audible = false;
};

Played play_core(RetroFrontend& f, const std::vector<Tap>& taps, int frames,
                 const std::string& menu_png = "") {
  Played run;
  size_t next = 0;
  for (int frame = 0; frame < frames; ++frame) {
    if (frame == 29 && !menu_png.empty()) f.write_png(menu_png);
    uint32_t held = 0;
    if (next < taps.size() && taps[next].frame == frame) held = 1u << taps[next++].button;
    int before = f.frames_new;
    f.run(held);
    if (f.frames_new != before) run.pictures.push_back({frame, f.picture_hash()});
  }
  run.sound = f.sound_hash();
  for (int16_t s : f.sound) run.audible |= s != 0;
  return run;
}

// The same script on a session of its own, stepped as a frontend steps the core.
Played play_reference(const std::vector<Tap>& taps, int frames) {
  ZT_Session::Data data;
  data.folder = ZT_BUILD_DIR "/data";
  ZT_Session session(data);
  session.time_set(RetroFrontend::kTime);
  Played run;
  std::vector<int16_t> sound;
  size_t next = 0;
  for (int frame = 0; frame < frames; ++frame) {
    uint32_t held = 0;
    if (next < taps.size() && taps[next].frame == frame) held = 1u << taps[next++].button;
    session.pad_set(held);
    session.advance_frame(60);
    int16_t mono[400];
    const int samples = session.audio_frame(mono, 60);
    for (int i = 0; i < samples; ++i) sound.insert(sound.end(), 2, mono[i]);
    if (session.frame_new()) run.pictures.push_back({frame, fnv64(session.frame(), 640 * 480 * 2)});
  }
  run.sound = fnv64(sound.data(), sound.size() * 2);
  return run;
}

// Content hashes of `frames` frames, duplicates included, and their sound.
std::pair<std::vector<uint64_t>, uint64_t> record(RetroFrontend& f, int frames, uint32_t held) {
  std::vector<uint64_t> hashes;
  size_t sound_from = f.sound.size();
  uint64_t hash = f.picture_hash();
  for (int i = 0; i < frames; ++i) {
    int before = f.frames_new;
    f.run(i % 40 == 0 ? held : 0);
    if (f.frames_new != before) hash = f.picture_hash();  // a duplicate shows the same
    hashes.push_back(hash);
  }
  return {hashes, fnv64(f.sound.data() + sound_from, (f.sound.size() - sound_from) * 2)};
}

}  // namespace

TEST(LibretroCore, AMinuteOfGameAShowsAndPlaysWhatTheSessionDoes) {
  System system;
  RetroFrontend f(system.dir.path);
  ASSERT_TRUE(f.start());
  const std::vector<Tap> taps = script();
  Played core = play_core(f, taps, kFrames, kOut + "/menu.png");
  f.write_png(kOut + "/monkey_game_a.png");
  f.write_wav(kOut + "/monkey_game_a.wav");
  Played reference = play_reference(taps, kFrames);
  EXPECT_TRUE(core.audible);
  EXPECT_GT(core.pictures.size(), 80u);    // the game moved until its game over
  EXPECT_GT(f.frames_duped, kFrames / 2);  // and most frames showed nothing new
  ASSERT_EQ(reference.pictures.size(), core.pictures.size());
  for (size_t i = 0; i < core.pictures.size(); ++i)
    ASSERT_EQ(reference.pictures[i], core.pictures[i]) << "picture " << i;
  EXPECT_EQ(reference.sound, core.sound);
  EXPECT_EQ(640, f.width);
  EXPECT_EQ(480, f.height);
  EXPECT_FALSE(f.shutdown);
}

TEST(LibretroCore, SaveStatesReplayExactlyAndDamagedOnesAreRefused) {
  System system;
  RetroFrontend f(system.dir.path);
  ASSERT_TRUE(f.start());
  const size_t size = f.save().size();
  ASSERT_GT(size, 0u);
  const std::vector<Tap> taps = script();
  play_core(f, taps, 900);  // in Game A

  // Save, play on, load, play the same frames again.
  std::vector<uint8_t> state = f.save();
  ASSERT_EQ(size, state.size());
  auto first = record(f, 600, 1u << RETRO_DEVICE_ID_JOYPAD_LEFT);
  ASSERT_TRUE(f.load(state));
  auto again = record(f, 600, 1u << RETRO_DEVICE_ID_JOYPAD_LEFT);
  EXPECT_EQ(first.first, again.first);
  EXPECT_EQ(first.second, again.second);

  // Across screens: a state of the game loads from the menu (X goes back to
  // it), and a state of the menu ends the game.
  f.tap(RETRO_DEVICE_ID_JOYPAD_X, 5);
  std::vector<uint8_t> menu = f.save();
  auto in_menu = record(f, 30, 0);
  ASSERT_TRUE(f.load(state));
  EXPECT_EQ(first.first, record(f, 600, 1u << RETRO_DEVICE_ID_JOYPAD_LEFT).first);
  ASSERT_TRUE(f.load(menu));
  EXPECT_EQ(in_menu.first, record(f, 30, 0).first);

  // Damaged, short or foreign states are refused and change nothing.
  ASSERT_TRUE(f.load(state));
  std::vector<uint8_t> damaged = state;
  damaged[damaged.size() / 8] ^= 0x20;
  EXPECT_FALSE(f.load(damaged));
  EXPECT_FALSE(f.load(std::vector<uint8_t>(state.begin(), state.begin() + 40)));
  EXPECT_FALSE(f.load(std::vector<uint8_t>(size, 0)));
  EXPECT_FALSE(f.load(std::vector<uint8_t>(size, 0xff)));
  EXPECT_EQ(first.first, record(f, 600, 1u << RETRO_DEVICE_ID_JOYPAD_LEFT).first);
  EXPECT_EQ(size, f.save().size());  // the size never changes while the core runs
  EXPECT_FALSE(f.shutdown);
}

TEST(LibretroCore, LoadsUnloadsAndLoadsAgainInOneProcess) {
  System system;
  const std::vector<Tap> taps = script();
  RetroFrontend f(system.dir.path);
  ASSERT_TRUE(f.start());
  Played first = play_core(f, taps, 900);
  // Unloaded and loaded again in the library that stays open: nothing of the
  // first run (the generator's draws, above all) may stay behind.
  f.stop();
  f.sound.clear();
  ASSERT_TRUE(f.start());
  Played second = play_core(f, taps, 900);
  EXPECT_EQ(first.pictures, second.pictures);
  EXPECT_EQ(first.sound, second.sound);
  // A reset starts over likewise.
  f.reset();
  f.sound.clear();
  Played third = play_core(f, taps, 900);
  EXPECT_EQ(first.pictures, third.pictures);
  EXPECT_EQ(first.sound, third.sound);
  // A second load without an unload replaces the first simulator (valgrind
  // sees what it would leak), and a frontend that initialises the core again
  // without setting its callbacks anew still loads it.
  ASSERT_TRUE(retro_load_game(nullptr));
  f.stop();
  retro_init();
  EXPECT_TRUE(retro_load_game(nullptr));
  retro_unload_game();
  retro_deinit();
}

TEST(LibretroCore, KeysSurviveARunAheadReplay) {
  // Run-ahead runs a frame, loads the state from before it and runs it again
  // with the same input: a key read in the first run must be read again.
  System system;
  RetroFrontend f(system.dir.path);
  ASSERT_TRUE(f.start());
  f.run();
  const uint64_t menu = f.picture_hash();
  std::vector<uint8_t> before = f.save();
  f.keys.insert(RETROK_RETURN);  // starts Condor
  f.run();
  ASSERT_TRUE(f.load(before));
  f.run();
  f.keys.clear();
  f.run();
  EXPECT_NE(menu, f.picture_hash());
  EXPECT_TRUE(zt_libretro_session()->in_game());
}

TEST(LibretroCore, TheWatchFollowsTheLocalTimeWherePeersNeedNotAgree) {
  System system;
  const struct {
    const char* option;
    int context;      // of the states the frontend takes
    int audio_video;  // 8: run-ahead's second instance
    bool follows;
  } cases[] = {
      {"local", RETRO_SAVESTATE_CONTEXT_NORMAL, 3, true},
      {"game", RETRO_SAVESTATE_CONTEXT_NORMAL, 3, false},
      {"local", RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY, 3, false},
      {"local", RETRO_SAVESTATE_CONTEXT_NORMAL, 8, false},
  };
  for (const auto& c : cases) {
    RetroFrontend f(system.dir.path);
    f.variables["zentick_watch"] = c.option;
    f.savestate_context = c.context;
    f.audio_video = c.audio_video;
    ASSERT_TRUE(f.start());
    f.save();
    // The local time an hour on, as after the frontend paused for an hour.
    const ZT_Platform_Time wall = ZT_Platform_Time_add(RetroFrontend::kTime, 3600);
    ZT_Session* session = zt_libretro_session();
    session->clock = [&](ZT_Platform_Time* now) {
      *now = wall;
      return true;
    };
    f.tap(RETRO_DEVICE_ID_JOYPAD_START, 30);  // Condor,
    f.tap(RETRO_DEVICE_ID_JOYPAD_START, 90);  // switched on: the watch runs
    const int64_t behind =
        ZT_Platform_Time_seconds(wall) - ZT_Platform_Time_seconds(session->platform.time_get());
    EXPECT_EQ(c.follows, behind >= -ZT_Session::kWallSlack && behind <= ZT_Session::kWallSlack)
        << c.option << " " << c.context << " " << c.audio_video << ": " << behind << " s behind";
  }
}

TEST(LibretroCore, NaturalResponseLeavesATrailBehindAMovingFigure) {
  // The script on the LCD's zoom, sharp and with natural response, up to two
  // frames after a move; the picture with the trail is kept with the captures.
  System system;
  const std::vector<Tap> taps = script();
  std::vector<uint64_t> last;
  for (const char* response : {"off", "natural"}) {
    RetroFrontend f(system.dir.path);
    f.variables["zentick_zoom"] = "LCD";
    f.variables["zentick_lcd_response"] = response;
    ASSERT_TRUE(f.start());
    play_core(f, taps, taps[14].frame + 2);  // a step to the left
    last.push_back(f.picture_hash());
    if (std::string(response) == "natural") f.write_png(kOut + "/monkey_trail.png");
  }
  EXPECT_NE(last[0], last[1]);
}

TEST(LibretroCore, AContentFileOpensItsHandheldAsTheMenuDoes) {
  System system;
  // From where Monkey opens: the watch pinned, then on, the time, Game A, play.
  auto play_opened = [](RetroFrontend& f) {
    while (!zt_libretro_session()->in_game()) f.run();
    zt_libretro_session()->time_set(RetroFrontend::kTime);
    std::vector<Tap> taps = script();
    taps.erase(taps.begin(), taps.begin() + 3);
    for (Tap& t : taps) t.frame -= 60;
    return play_core(f, taps, 900).pictures;
  };
  std::vector<std::pair<int, uint64_t> > chosen;
  {
    RetroFrontend f(system.dir.path);
    ASSERT_TRUE(f.start());
    for (unsigned button :
         {RETRO_DEVICE_ID_JOYPAD_DOWN, RETRO_DEVICE_ID_JOYPAD_DOWN, RETRO_DEVICE_ID_JOYPAD_START})
      f.tap(button, 5);
    chosen = play_opened(f);
  }
  ASSERT_GT(chosen.size(), 20u);
  RetroFrontend f(system.dir.path);
  ASSERT_TRUE(f.start("Monkey\r\n"));
  EXPECT_EQ(chosen, play_opened(f));
  f.tap(RETRO_DEVICE_ID_JOYPAD_X, 5);  // Back to the menu still
  EXPECT_FALSE(zt_libretro_session()->in_game());
  f.reset();  // and a restart opens the handheld again
  f.run();
  EXPECT_EQ("monkey", zt_libretro_session()->game());
  EXPECT_TRUE(zt_libretro_session()->in_game());
  f.stop();
  for (const auto& refused : {std::make_pair("frogger\n", "no handheld is called \"frogger\""),
                              std::make_pair("\x89PNG\r\n\x1a\n", "it is not text")}) {
    RetroFrontend bad(system.dir.path);
    EXPECT_FALSE(bad.start(refused.first));
    EXPECT_NE(std::string::npos, bad.log.find(refused.second)) << bad.log;
  }
  // The games kit's files: each opens the handheld whose menu title it is named after.
  std::set<std::string> titles;
  for (const auto& file : std::filesystem::directory_iterator(ZT_BUILD_DIR "/kit/zentick")) {
    if (file.path().extension() != ".zentick") continue;
    std::ifstream in(file.path());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RetroFrontend kit(system.dir.path);
    ASSERT_TRUE(kit.start(text.c_str())) << file.path() << kit.log;
    kit.run();
    ZT_Session* session = zt_libretro_session();
    ASSERT_TRUE(session->in_game()) << file.path();
    std::string title;
    for (int i = 0; i < session->gamelist->count(); ++i)
      if (session->gamelist->get(i)->name == session->game())
        title = session->gamelist->get(i)->title;
    EXPECT_EQ("Time & Fun - " + file.path().stem().string(), title);
    titles.insert(title);
  }
  EXPECT_EQ(6u, titles.size());
}

TEST(LibretroCore, KeyboardOptionsAndDataThatCannotBeUsed) {
  System system;
  {
    RetroFrontend f(system.dir.path);
    f.variables["zentick_zoom"] = "LCD";
    ASSERT_TRUE(f.start());
    f.run();
    uint64_t menu = f.picture_hash();
    f.keys = {RETROK_KP_ENTER};  // the keypad is none of the desktop's keys
    f.run();
    EXPECT_FALSE(zt_libretro_session()->in_game());
    f.keys = {RETROK_RETURN};  // Return starts Condor
    f.run();
    f.keys.clear();
    f.run();
    uint64_t zoomed = f.picture_hash();
    EXPECT_NE(menu, zoomed);
    f.keys = {RETROK_8};  // the desktop's key for the handheld's zoom
    f.run();
    EXPECT_NE(zoomed, f.picture_hash());
    f.keys = {RETROK_ESCAPE};  // back to the menu
    f.run();
    f.run();
    EXPECT_EQ(menu, f.picture_hash());
    EXPECT_FALSE(f.shutdown);
  }
  // A data folder copied in part is a fatal error that names the folder: said
  // on screen, and the frontend is asked to close the core.
  TempDir broken("zt-retro-broken");
  mkdir(broken.file("zentick").c_str(), 0755);
  {
    RetroFrontend f(broken.path);
    EXPECT_FALSE(f.start());
    EXPECT_TRUE(f.shutdown);
    EXPECT_NE(std::string::npos,
              f.message.find("data folder " + broken.file("zentick") + " is incomplete"))
        << f.message;
    EXPECT_NE(std::string::npos, f.message.find("Unable to load font")) << f.message;
  }
}
