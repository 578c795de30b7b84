// Command-line uses of the test frontend:
//   zentick-retro-tool frame SYSTEM FRAMES OUT.png
//     runs the core FRAMES frames without input and writes its picture;
//   zentick-retro-tool bench SYSTEM [FRAMES] [MIN_FPS]
//     frames per second of retro_run during Game A at zoom levels 0 and 2,
//     unthrottled; fails below MIN_FPS (default 0: report only).
#include <libretro.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontend.h"

namespace {

int frame(const char* system, int frames, const char* out) {
  RetroFrontend f(system);
  if (!f.start()) return 1;
  for (int i = 0; i < frames; ++i) f.run();
  return f.write_png(out) ? 0 : 1;
}

// Monkey in Game A (Down twice, Start to run it and to switch it on, A for
// the time and A again for the game), at `zoom` presses of R.
double game_a_fps(const char* system, int zoom_presses, int frames) {
  RetroFrontend f(system);
  if (!f.start()) return -1;
  f.run();
  const unsigned keys[] = {RETRO_DEVICE_ID_JOYPAD_DOWN,  RETRO_DEVICE_ID_JOYPAD_DOWN,
                           RETRO_DEVICE_ID_JOYPAD_START, RETRO_DEVICE_ID_JOYPAD_START,
                           RETRO_DEVICE_ID_JOYPAD_A,     RETRO_DEVICE_ID_JOYPAD_A};
  for (unsigned key : keys) f.tap(key, 5);
  for (int i = 0; i < zoom_presses; ++i) f.tap(RETRO_DEVICE_ID_JOYPAD_R, 5);
  f.sound.reserve(f.sound.size() + static_cast<size_t>(frames) * 800);
  typedef std::chrono::steady_clock Clock;
  std::chrono::duration<double> took(0), drawing(0);
  int drawn = 0;
  // Left now and then; A every five seconds starts a new game after a game
  // over (and does nothing during one), so that the whole run is play.
  for (int i = 0; i < frames; ++i) {
    uint32_t held = i % 300 == 150 ? 1u << RETRO_DEVICE_ID_JOYPAD_A
                    : i % 29 == 0  ? 1u << RETRO_DEVICE_ID_JOYPAD_LEFT
                                   : 0;
    int before = f.frames_new;
    Clock::time_point start = Clock::now();
    f.run(held);
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

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "frame" && argc == 5) return frame(argv[2], std::atoi(argv[3]), argv[4]);
  if (command == "bench" && argc >= 3) {
    int frames = argc > 3 ? std::atoi(argv[3]) : 36000;  // ten minutes of play
    double floor = argc > 4 ? std::atof(argv[4]) : 0;
    double zoom0 = game_a_fps(argv[2], 0, frames);
    double zoom2 = game_a_fps(argv[2], 1, frames);  // R: none -> the handheld's box
    return zoom0 >= floor && zoom2 >= floor ? 0 : 1;
  }
  std::fprintf(stderr, "usage: %s frame SYSTEM FRAMES OUT.png | bench SYSTEM [FRAMES] [MIN_FPS]\n",
               argv[0]);
  return 2;
}
