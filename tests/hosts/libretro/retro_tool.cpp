// SPDX-License-Identifier: MIT
// Command-line uses of the test frontend:
//   zentick-retro-tool frame SYSTEM FRAMES OUT.png [CONTENT]
//     runs the core FRAMES frames without input (loaded with the content
//     file CONTENT if given) and writes its picture;
//   zentick-retro-tool bench SYSTEM [FRAMES] [MIN_FPS] [RESPONSE]
//     frames per second of retro_run during Game A at zoom levels 0 and 2,
//     unthrottled, with the LCD response RESPONSE (default off); fails below
//     MIN_FPS (default 0: report only);
//   zentick-retro-tool startup SYSTEM [ROUNDS]
//     milliseconds from retro_load_game to the end of the first retro_run;
//   zentick-retro-tool replay SYSTEM
//     a scripted minute of Monkey's Game A (natural LCD response) with a save state in the middle,
//     then the second half again from the state; prints the hashes of the
//     pictures, the sound and the state, which must be the same on every
//     system, and fails if the replay differs;
//   zentick-retro-tool load CORE
//     opens the core file as a frontend does (dlopen, LoadLibrary on Windows)
//     and prints what retro_get_system_info says;
//   zentick-retro-tool start CORE SYSTEM
//     opens the core file as load does and starts it without content on the
//     system folder SYSTEM; prints "started", or "refused: " and the core's
//     message (a damaged data folder there: thrown and caught inside the
//     core file) and fails.
// Paths are UTF-8, as frontends pass them (on Windows from the wide-char
// command line).
#include <libretro.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "frontend.h"
#include "platform/decode/path.h"

namespace {

int frame(const char* system, int frames, const char* out, const char* content) {
  std::string text;
  if (content != nullptr) {
    FILE* in = std::fopen(content, "rb");
    if (in == nullptr) return 1;
    for (int c; (c = std::fgetc(in)) != EOF;) text += static_cast<char>(c);
    std::fclose(in);
  }
  RetroFrontend f(system);
  if (!f.start(content != nullptr ? text.c_str() : nullptr)) return 1;
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
double game_a_fps(const char* system, int zoom_presses, int frames, const char* response) {
  RetroFrontend f(system);
  f.variables["zentick_lcd_response"] = response;
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
int startup(const char* system, int rounds) {
  RetroFrontend f(system);
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

int replay(const char* system) {
  RetroFrontend f(system);
  // Segments fading too, in the pictures and in the state: the same bits on
  // every system, whether it mixes them eight at a time or one by one.
  f.variables["zentick_lcd_response"] = "natural";
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

// The core file as a frontend opens it: its imports resolved and its
// run-time started by the system's own loader, its entry points found.
struct CoreFile {
  explicit CoreFile(const char* core) {
#ifdef _WIN32
    library = LoadLibraryW(zt_decode::path_wide(core).c_str());
    const char* why = "";
#else
    library = dlopen(core, RTLD_NOW | RTLD_LOCAL);
    const char* why = library == nullptr ? dlerror() : "";
#endif
    if (library == nullptr) std::fprintf(stderr, "cannot open %s: %s\n", core, why);
  }
  ~CoreFile() {
    if (library == nullptr) return;
#ifdef _WIN32
    FreeLibrary(library);
#else
    dlclose(library);
#endif
  }
  template <class F>
  F* entry(const char* name) {
#ifdef _WIN32
    return reinterpret_cast<F*>(GetProcAddress(library, name));
#else
    return reinterpret_cast<F*>(dlsym(library, name));
#endif
  }
#ifdef _WIN32
  HMODULE library;
#else
  void* library;
#endif
};

int load(const char* core) {
  CoreFile file(core);
  if (file.library == nullptr) return 1;
  auto api_version = file.entry<unsigned()>("retro_api_version");
  auto system_info = file.entry<void(retro_system_info*)>("retro_get_system_info");
  if (api_version == nullptr || system_info == nullptr) return 1;
  retro_system_info info;
  system_info(&info);
  std::printf("%s %s, libretro API %u\n", info.library_name, info.library_version, api_version());
  return 0;
}

// What a frontend answers before a core without content starts; the rest
// refused.
struct Started {
  std::string system;
  std::string message;
};
Started started;

bool start_environment(unsigned cmd, void* data) {
  switch (cmd) {
    case RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY:
      *static_cast<const char**>(data) = started.system.c_str();
      return true;
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
      return *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_RGB565;
    case RETRO_ENVIRONMENT_SET_MESSAGE:
      started.message = static_cast<const retro_message*>(data)->msg;
      return true;
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME:
    case RETRO_ENVIRONMENT_SET_VARIABLES:
    case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
    case RETRO_ENVIRONMENT_SHUTDOWN:
      return true;
    default:
      return false;
  }
}

int start(const char* core, const char* system) {
  started.system = system;
  CoreFile file(core);
  if (file.library == nullptr) return 1;
  auto set_environment = file.entry<void(retro_environment_t)>("retro_set_environment");
  auto init = file.entry<void()>("retro_init");
  auto load_game = file.entry<bool(const retro_game_info*)>("retro_load_game");
  auto unload_game = file.entry<void()>("retro_unload_game");
  auto deinit = file.entry<void()>("retro_deinit");
  auto state_size = file.entry<size_t()>("retro_serialize_size");
  auto save = file.entry<bool(void*, size_t)>("retro_serialize");
  auto restore = file.entry<bool(const void*, size_t)>("retro_unserialize");
  if (!set_environment || !init || !load_game || !unload_game || !deinit || !state_size || !save ||
      !restore)
    return 1;
  set_environment(start_environment);
  init();
  const bool loaded = load_game(nullptr);
  // A state of the day the frontend runs on, saved and loaded again.
  std::vector<uint8_t> state(loaded ? state_size() : 0);
  const bool states =
      loaded && save(state.data(), state.size()) && restore(state.data(), state.size());
  if (loaded) unload_game();
  deinit();
  if (loaded)
    std::printf("started; a state %s\n", states ? "saved and loaded" : "REFUSED");
  else
    std::printf("refused: %s\n", started.message.c_str());
  return loaded && states ? 0 : 1;
}

}  // namespace

static int tool_main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "frame" && (argc == 5 || argc == 6))
    return frame(argv[2], std::atoi(argv[3]), argv[4], argc == 6 ? argv[5] : nullptr);
  if (command == "bench" && argc >= 3 && argc <= 6) {
    int frames = argc > 3 ? std::atoi(argv[3]) : 36000;  // ten minutes of play
    double floor = argc > 4 ? std::atof(argv[4]) : 0;
    const char* response = argc > 5 ? argv[5] : "off";
    double zoom0 = game_a_fps(argv[2], 0, frames, response);
    double zoom2 = game_a_fps(argv[2], 1, frames, response);  // R: none -> the handheld's box
    return zoom0 >= floor && zoom2 >= floor ? 0 : 1;
  }
  if (command == "startup" && argc >= 3)
    return startup(argv[2], argc > 3 ? std::atoi(argv[3]) : 21);
  if (command == "replay" && argc == 3) return replay(argv[2]);
  if (command == "load" && argc == 3) return load(argv[2]);
  if (command == "start" && argc == 4) return start(argv[2], argv[3]);
  std::fprintf(
      stderr,
      "usage: %s frame SYSTEM FRAMES OUT.png [CONTENT] | bench SYSTEM [FRAMES] [MIN_FPS] [RESPONSE]"
      " | startup SYSTEM [ROUNDS] | replay SYSTEM | load CORE | start CORE SYSTEM\n",
      argv[0]);
  return 2;
}

#ifdef _WIN32
// The arguments as UTF-8, from Windows' wide-char command line (the narrow
// one is in the ANSI code page, which cannot name every folder).
int wmain(int argc, wchar_t** wide) {
  std::vector<std::string> args(static_cast<size_t>(argc));
  std::vector<char*> argv;
  for (int i = 0; i < argc; ++i) {
    args[i] = zt_decode::path_utf8(wide[i]);
    argv.push_back(&args[i][0]);
  }
  argv.push_back(nullptr);
  return tool_main(argc, argv.data());
}
#else
int main(int argc, char** argv) { return tool_main(argc, argv); }
#endif
