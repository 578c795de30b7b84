// Command-line uses of the test frontend:
//   zentick-retro-tool frame CORE SYSTEM FRAMES OUT.png
//     runs the core FRAMES frames without input and writes its picture;
//   zentick-retro-tool bench CORE SYSTEM [FRAMES] [MIN_FPS]
//     frames per second of retro_run during Game A at zoom levels 0 and 2,
//     unthrottled; fails below MIN_FPS (default 0: report only);
//   zentick-retro-tool startup CORE SYSTEM [ROUNDS]
//     milliseconds from retro_load_game to the end of the first retro_run;
//   zentick-retro-tool replay CORE SYSTEM
//     a scripted minute of Monkey's Game A with a save state in the middle,
//     then the second half again from the state; prints the hashes of the
//     pictures, the sound and the state, which must be the same on every
//     system, and fails if the replay differs.
#include <libretro.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontend.h"

namespace {

int frame(const char* core, const char* system, int frames, const char* out) {
  RetroFrontend f(core, system);
  if (!f.start()) return 1;
  for (int i = 0; i < frames; ++i) f.run();
  return f.write_png(out) ? 0 : 1;
}

typedef std::chrono::steady_clock Clock;

// Monkey in Game A: Down twice, Start to run it and to switch it on, A for
// the time and A again for the game.
void start_monkey_game_a(RetroFrontend& f) {
  f.run();
  const unsigned keys[] = {RETRO_DEVICE_ID_JOYPAD_DOWN,  RETRO_DEVICE_ID_JOYPAD_DOWN,
                           RETRO_DEVICE_ID_JOYPAD_START, RETRO_DEVICE_ID_JOYPAD_START,
                           RETRO_DEVICE_ID_JOYPAD_A,     RETRO_DEVICE_ID_JOYPAD_A};
  for (unsigned key : keys) f.tap(key, 5);
}

// Left now and then; A every five seconds starts a new game after a game
// over (and does nothing during one), so that the whole run is play.
uint32_t play_buttons(int frame) {
  return frame % 300 == 150 ? 1u << RETRO_DEVICE_ID_JOYPAD_A
         : frame % 29 == 0  ? 1u << RETRO_DEVICE_ID_JOYPAD_LEFT
                            : 0;
}

// Monkey in Game A at `zoom` presses of R.
double game_a_fps(const char* core, const char* system, int zoom_presses, int frames) {
  RetroFrontend f(core, system);
  if (!f.start()) return -1;
  start_monkey_game_a(f);
  for (int i = 0; i < zoom_presses; ++i) f.tap(RETRO_DEVICE_ID_JOYPAD_R, 5);
  f.sound.reserve(f.sound.size() + static_cast<size_t>(frames) * 800);
  std::chrono::duration<double> took(0), drawing(0);
  int drawn = 0;
  for (int i = 0; i < frames; ++i) {
    int before = f.frames_new;
    Clock::time_point start = Clock::now();
    f.run(play_buttons(i));
    std::chrono::duration<double> one = Clock::now() - start;
    took += one;
    if (f.frames_new != before) {
      drawing += one;
      ++drawn;
    }
  }
  std::printf(
      "zoom %d: %d frames in %.3f s: %.0f frames per second, %.3f ms a frame; "
      "%d frames drew a picture, %.3f ms each\n",
      zoom_presses ? 2 : 0, frames, took.count(), frames / took.count(),
      1000 * took.count() / frames, drawn, drawn ? 1000 * drawing.count() / drawn : 0.0);
  // What rewind and run-ahead add to each frame: one save and one load.
  std::vector<uint8_t> state = f.save();
  Clock::time_point start = Clock::now();
  const int rounds = 2000;
  bool loaded = true;
  for (int i = 0; i < rounds; ++i) {
    state = f.save();
    loaded &= f.load(state);
  }
  std::chrono::duration<double> states = Clock::now() - start;
  std::printf("        a save and a load of its %zu-byte state: %.3f ms%s\n", state.size(),
              1000 * states.count() / rounds, loaded ? "" : " (a load FAILED)");
  return loaded ? frames / took.count() : -1;
}

// The core's start-up as a player waits for it: retro_load_game (the data
// read, the menu drawn) and the first retro_run. The median of `rounds`.
int startup(const char* core, const char* system, int rounds) {
  RetroFrontend f(core, system);
  std::vector<double> took;
  for (int i = 0; i < rounds; ++i) {
    Clock::time_point start = Clock::now();
    if (!f.start()) return 1;
    f.run();
    took.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (f.frames_new == 0) {
      std::fprintf(stderr, "no picture in the first frame\n");
      return 1;
    }
    f.stop();
  }
  std::sort(took.begin(), took.end());
  std::printf("start-up to the first frame: %.2f ms (median of %d, fastest %.2f ms)\n",
              took[took.size() / 2], rounds, took.front());
  return 0;
}

// The watch at a fixed time, so that the hashes do not depend on the hour.
void pin_watch() {
  static const char kTime[] = "2026-03-07 13:05:10";
#ifdef _WIN32
  _putenv_s("ZENTICK_TIME", kTime);
#else
  setenv("ZENTICK_TIME", kTime, 1);
#endif
}

// Pictures (one each second, and the last) and sound of `frames` frames of
// play from frame `from` of the script.
struct Played {
  uint64_t pictures = 14695981039346656037ull;
  uint64_t sound = 0;
};

Played play(RetroFrontend& f, int from, int frames) {
  Played played;
  const size_t sound_from = f.sound.size();
  for (int i = from; i < from + frames; ++i) {
    // R once: the second half zooms on the handheld, drawn scaled.
    f.run(play_buttons(i) | (i == 1830 ? 1u << RETRO_DEVICE_ID_JOYPAD_R : 0));
    if (i % 60 == 59 || i == from + frames - 1) {
      uint64_t picture = f.picture_hash();
      played.pictures = fnv64(&picture, sizeof picture) ^ (played.pictures * 1099511628211ull);
    }
  }
  played.sound = fnv64(f.sound.data() + sound_from, (f.sound.size() - sound_from) * 2);
  return played;
}

int replay(const char* core, const char* system) {
  pin_watch();
  RetroFrontend f(core, system);
  if (!f.start()) return 1;
  f.run();
  const uint64_t menu = f.picture_hash();  // its text drawn from the font
  start_monkey_game_a(f);
  const int half = 1800;  // half a minute at 60 frames per second
  Played first = play(f, 0, half);
  std::vector<uint8_t> state = f.save();
  if (state.empty()) return 1;
  Played second = play(f, half, half);
  bool loaded = f.load(state);
  Played again = play(f, half, half);
  bool same = loaded && again.pictures == second.pictures && again.sound == second.sound;
  std::printf("menu %016" PRIx64 " pictures %016" PRIx64 " %016" PRIx64 " sound %016" PRIx64
              " %016" PRIx64 " state %016" PRIx64 " (%zu bytes) replay %s\n",
              menu, first.pictures, second.pictures, first.sound, second.sound,
              fnv64(state.data(), state.size()), state.size(),
              same     ? "same"
              : loaded ? "DIFFERENT"
                       : "REFUSED");
  return same && !f.shutdown ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "frame" && argc == 6) return frame(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
  if (command == "bench" && argc >= 4) {
    int frames = argc > 4 ? std::atoi(argv[4]) : 36000;  // ten minutes of play
    double floor = argc > 5 ? std::atof(argv[5]) : 0;
    double zoom0 = game_a_fps(argv[2], argv[3], 0, frames);
    double zoom2 = game_a_fps(argv[2], argv[3], 1, frames);  // R: none -> the handheld's box
    return zoom0 >= floor && zoom2 >= floor ? 0 : 1;
  }
  if (command == "startup" && argc >= 4)
    return startup(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 21);
  if (command == "replay" && argc == 4) return replay(argv[2], argv[3]);
  std::fprintf(stderr,
               "usage: %s frame CORE SYSTEM FRAMES OUT.png | bench CORE SYSTEM [FRAMES] [MIN_FPS]"
               " | startup CORE SYSTEM [ROUNDS] | replay CORE SYSTEM\n",
               argv[0]);
  return 2;
}
