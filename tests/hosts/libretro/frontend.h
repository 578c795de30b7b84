// SPDX-License-Identifier: MIT
// A small libretro frontend for the tests, the benchmark and the replays on
// other systems: it drives the core's entry points (linked in, so that it can
// pin the watch through the core's session), answers the environment calls a
// core without content makes, plays a RetroPad and a keyboard held by the
// caller, keeps the last picture (duplicates included) and all the sound, and
// writes them as PNG and WAV.
#ifndef ZT_TESTS_HOSTS_LIBRETRO_FRONTEND_H
#define ZT_TESTS_HOSTS_LIBRETRO_FRONTEND_H

#include <libretro.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class RetroFrontend {
 public:
  // `system` is the frontend's system folder handed to the core.
  explicit RetroFrontend(const std::string& system);
  ~RetroFrontend();

  // retro_init and retro_load_game with `content` (a content file's text),
  // or without content when null; the watch pinned to kTime; false if refused.
  bool start(const char* content = nullptr);
  // retro_reset, the watch pinned again.
  void reset();
  // retro_unload_game and retro_deinit.
  void stop();
  // One retro_run with `buttons` (bits of RETRO_DEVICE_ID_JOYPAD_ ids) held.
  void run(uint32_t buttons = 0);
  // Holds `button` for one frame, then runs `after` frames with nothing held.
  void tap(unsigned button, int after = 2);

  std::vector<uint8_t> save();
  bool load(const std::vector<uint8_t>& state);

  // FNV-1a of the current picture / of all the sound so far.
  uint64_t picture_hash() const;
  uint64_t sound_hash() const;
  bool write_png(const std::string& path) const;
  bool write_wav(const std::string& path) const;

  // The watch's time at every start, so that pictures do not depend on the hour.
  static const ZT_Platform_Time kTime;

  std::string system;
  // Core options the "player" set; the watch on the game's clock, so that
  // pictures do not depend on the hour the test runs at.
  std::map<std::string, std::string> variables;
  bool variables_changed;
  int savestate_context = RETRO_SAVESTATE_CONTEXT_NORMAL;  // what the core is told
  int audio_video = 3;                                     // likewise: both on
  uint32_t buttons;
  std::set<unsigned> keys;        // RETROK_ codes held
  std::vector<uint16_t> picture;  // RGB565, 640 x 480
  int width;
  int height;
  int frames_new;              // frames the core handed a picture for
  int frames_duped;            // frames it handed NULL for
  std::vector<int16_t> sound;  // interleaved stereo
  std::string message;         // the last on-screen message
  std::string log;             // the core's log lines, also written to stderr
  bool shutdown;
  bool loaded;
};

// 64-bit FNV-1a.
uint64_t fnv64(const void* data, size_t size);

#endif
