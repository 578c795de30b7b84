// A small libretro frontend for the tests and the benchmark: it opens the
// core (dlopen, or LoadLibrary on Windows), answers the environment calls a core without content
// makes, plays a RetroPad held by the caller, keeps the last picture (duplicates included) and all
// the sound, and writes them as PNG and WAV.
#ifndef ZT_TESTS_HOSTS_LIBRETRO_FRONTEND_H
#define ZT_TESTS_HOSTS_LIBRETRO_FRONTEND_H

#include <libretro.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class RetroFrontend {
 public:
  // Opens the core; `system` is the frontend's system folder handed to it.
  RetroFrontend(const std::string& core_path, const std::string& system);
  ~RetroFrontend();

  // retro_init and retro_load_game without content; false if refused.
  bool start();
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

  // The library's entry points, for the calls a test makes itself.
  template <class F>
  F symbol(const char* name) const {
    return reinterpret_cast<F>(entry_point(name));
  }
  void* entry_point(const char* name) const;

  void* library;
  std::string system;
  std::map<std::string, std::string> variables;  // core options the "player" set
  bool variables_changed;
  uint32_t buttons;
  std::vector<uint16_t> picture;  // RGB565, 640 x 480
  int width;
  int height;
  int frames_new;              // frames the core handed a picture for
  int frames_duped;            // frames it handed NULL for
  std::vector<int16_t> sound;  // interleaved stereo
  std::string message;         // the last on-screen message
  bool shutdown;
  retro_keyboard_event_t keyboard;
  bool loaded;
};

// 64-bit FNV-1a.
uint64_t fnv64(const void* data, size_t size);

#endif
