// The libretro host's running core: the software platform, the catalogue and
// the menu, driven one frame at a time. It translates and nothing more: time
// (1 ms clock steps, each followed by a menu Step), RetroPad and keyboard
// keys, the presented picture, the sound mix and save states.
#ifndef ZT_HOSTS_LIBRETRO_RETRO_CORE_H
#define ZT_HOSTS_LIBRETRO_RETRO_CORE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/plat_soft.h"

class ZT_RetroCore {
 public:
  static const int kWidth = 640;
  static const int kHeight = 480;
  static const int kFps = 60;
  static const int kSampleRate = ZT_PlatformSoft::kMixRate;
  // Sound samples of the longest frame.
  static const int kMaxFrameSamples = kSampleRate / kFps + 1;

  // Builds the platform on the data folder, the catalogue and the menu.
  // Throws ZT_Exception when the data cannot be used.
  explicit ZT_RetroCore(const std::string& datapath);
  ~ZT_RetroCore();
  ZT_RetroCore(const ZT_RetroCore&) = delete;
  ZT_RetroCore& operator=(const ZT_RetroCore&) = delete;

  // One frame. `buttons` holds the RetroPad buttons held now, one bit per
  // RETRO_DEVICE_ID_JOYPAD_ id. False when the user quit (Escape in the menu).
  // Throws what the simulator throws.
  bool frame(uint32_t buttons);
  // A key of the keyboard (a RETROK_ code) went down or up.
  void keyboard(unsigned keycode, bool down);

  // The frame to show, or null when nothing was presented since the last call.
  const uint16_t* video();
  // This frame's sound, interleaved stereo; returns the number of frames.
  int audio(const int16_t** stereo);

  // The fixed size of every save state of this core.
  size_t state_size() const { return size; }
  // Writes a state into `out` (at least state_size() bytes); allocates nothing.
  bool state_save(uint8_t* out, size_t length);
  // Restores a state; false, with the running state untouched, for a damaged
  // state or one that does not fit this catalogue.
  bool state_load(const uint8_t* in, size_t length);

  // Core options: zoom level (0, 1, 2) and volume a game starts with.
  int start_zoom;
  int start_volume;
  // The volume of the game that runs (and of the next ones).
  void volume_set(int volume);

  ZT_PlatformSoft platform;
  ZT_GameList* gamelist;
  ZT_Menu* menu;

 private:
  size_t state_size_measure();
  void press(int key);
  void game_started();
  void payload_save(ZT_StateWriter& out);
  bool payload_load(ZT_StateReader& in);

  uint32_t buttons_held;  // the last frame's buttons, for key-down edges
  uint32_t ms_rest;       // sixtieths of a millisecond carried to the next frame
  uint32_t samples_rest;  // sixtieths of a sample carried likewise
  bool in_game;           // a game's start has been seen (to apply the options once)
  unsigned long shown;    // the platform's presented count when last shown
  bool force_show;
  static const int kKeyQueue = 32;
  int keys[kKeyQueue];  // keyboard keys waiting for the next frame
  int keys_count;
  static const int kKeyboardKeys = 512;
  bool keyboard_down[kKeyboardKeys];
  int16_t mono[kMaxFrameSamples];
  int16_t stereo[2 * kMaxFrameSamples];
  int samples;
  size_t size;
  std::vector<uint8_t> backup;  // the running state while a load is tried
};

#endif
