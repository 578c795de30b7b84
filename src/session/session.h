// SPDX-License-Identifier: MIT
// One running simulator for hosts that own the frame loop (a libretro
// frontend, a web page, the test frontends): the software platform, the
// catalogue, the menu and the engines' random numbers, with what every such
// host needs (time, keys by name or pad button, the frame, zoom, volume,
// where the picture lies, when anything is next due, save states). A host
// only translates its own time, input, picture and sound into these calls.
#ifndef ZT_SESSION_SESSION_H
#define ZT_SESSION_SESSION_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/random.h"
#include "framework/state.h"
#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/decode/pack.h"
#include "platform/plat_soft.h"

class ZT_Session {
 public:
  static const int kWidth = 640;
  static const int kHeight = 480;
  static const int kRate = ZT_PlatformSoft::kMixRate;

  // A gamepad's buttons, numbered as the RetroPad numbers them; pad_set
  // takes one bit per button.
  enum Pad {
    PAD_B = 0,
    PAD_Y = 1,
    PAD_SELECT = 2,
    PAD_START = 3,
    PAD_UP = 4,
    PAD_DOWN = 5,
    PAD_LEFT = 6,
    PAD_RIGHT = 7,
    PAD_A = 8,
    PAD_X = 9,
    PAD_L = 10,
    PAD_R = 11,
    PAD_L2 = 12,
    PAD_R2 = 13,
  };

  // The host's wall clock: the local time now, or false when it cannot tell.
  typedef std::function<bool(ZT_Platform_Time*)> Clock;

  // Where the data comes from: a folder when `folder` names one that exists,
  // else the pack (null: the folder is used whatever it holds); and the wall
  // clock (empty: the C library's, ZT_Platform_Time_now).
  struct Data {
    std::string folder;
    std::shared_ptr<const ZT_Pack> pack;
    Clock clock;
  };

  // Builds the simulator on its data; the watch starts at the clock's local
  // time (ZT_Platform_Time_unknown when it cannot tell). Throws
  // ZT_Exception when the data cannot be used.
  explicit ZT_Session(const Data& data);
  ~ZT_Session();
  ZT_Session(const ZT_Session&) = delete;
  ZT_Session& operator=(const ZT_Session&) = delete;

  // Advances the clock `ms` milliseconds, one menu step each. False when the
  // user quit (Escape in the menu, which only a program can honour). Throws
  // what the simulator throws.
  bool advance(unsigned ms);
  // One frame of a host running at `fps`: its whole milliseconds, the
  // remainder carried to the next frame (kept in save states).
  bool advance_frame(unsigned fps);
  // Mixes `frames` samples of mono sound at `rate` Hz into `out`.
  void audio(int16_t* out, int frames, int rate = kRate);
  // The samples of one frame at `fps`, the remainder carried; at most
  // kRate / fps + 1 are written.
  int audio_frame(int16_t* out, unsigned fps);

  // A key (ZT_KEY_ code) went down or up; repeats of a held key are dropped.
  void key_down(int key);
  void key_up(int key);
  // An on-screen button: in the menu Left and Right choose the game, as a
  // touch screen has no Up and Down buttons.
  void button_down(int key);
  // The pad's buttons held now, one bit per Pad button.
  void pad_set(uint32_t buttons);
  // A pointer went down (or up) at (x, y) on the screen: presses the button
  // drawn on the handheld there; in the menu selects the title there, or
  // starts it when it is selected already. False when it hit nothing.
  bool tap(int x, int y, bool down);

  // The presented frame (RGB565, kWidth x kHeight).
  const uint16_t* frame() const { return platform.screen.data(); }
  // Whether a frame was presented since the last call (or a state loaded).
  bool frame_new();

  bool in_game() const;
  // The running game's catalogue name ("monkey"), or the selected one's in the menu.
  std::string game() const;
  // Selects a game of the catalogue by name in the menu; false when unknown
  // or while a game runs.
  bool select(const std::string& name);
  // Selects it and starts it, as Return in the menu does.
  bool open(const std::string& name);

  // Zoom 0 (none), 1 (the LCD) or 2 (the handheld): of the running game, and
  // the level games start with.
  int zoom() const;
  void zoom_set(int level);
  // The next (+1) or previous (-1) level by magnification, stopping at the
  // ends unless `wrap`.
  void zoom_step(int step, bool wrap = false);
  // The volume, 0..100: the one playing, and the one games start with.
  int volume() const;
  void volume_set(int volume);

  // The LCD's segment response: how fast a segment darkens and clears. The
  // first (off) draws every segment at once, as the desktop program does.
  struct Response {
    const char* name;   // "natural"
    const char* label;  // "Natural"
    unsigned rise_ms, fall_ms;
  };
  static const Response kResponses[];
  static const int kResponseCount;
  // The response in use (an index of kResponses), of every game; not part of
  // save states, as it changes only the picture.
  int response() const { return response_index; }
  void response_set(int index);

  // Where the handheld's picture lies on the screen now, in screen pixels;
  // false in the menu.
  struct View {
    int x, y, width, height;
  };
  bool view(View* out);

  // Milliseconds until anything is due (a timer, the watch's next change, a
  // sound to mix, a key to handle): 0 now, -1 nothing until the next input.
  int due_ms();

  // The watch: from `time` on (tests, replays), or from the wall clock now
  // (a host that knows real time passed outside the simulation; nothing
  // when the clock cannot tell).
  void time_set(const ZT_Platform_Time& time);
  void time_reanchor();

  // Save states of the whole simulator, all of one fixed size; saving
  // allocates nothing. Loading refuses a damaged or foreign state, or one
  // this simulator could not have written, leaving the running one as it was.
  size_t state_size() const { return size; }
  bool state_save(uint8_t* out, size_t length);
  bool state_load(const uint8_t* in, size_t length);

  // Whether the watch follows the wall clock: at each new second of the
  // watch (so at most once a second, at the same steps in a replay), when
  // the two differ by more than kWallSlack seconds (a pause, fast-forward,
  // slow motion, a daylight-saving change), the watch takes the clock's time.
  // The new time is the watch's anchor, kept in save states. Off, the watch
  // counts the session's own time from where it was set: the same for
  // netplay peers and recorded replays at any hour.
  bool wall_follow = false;
  static const int kWallSlack = 2;
  Clock clock;

  ZT_PlatformSoft platform;
  ZT_Random random;
  std::unique_ptr<ZT_GameList> gamelist;
  std::unique_ptr<ZT_Menu> menu;
  int start_zoom;
  int start_volume;

 private:
  struct Button {
    int key;
    int x, y, width, height;
  };
  void press(int key);
  void wall_check();
  void game_started();
  void buttons_load();
  // Like due_ms, without the sound: when the next menu step can change anything.
  int step_due() const;
  size_t state_size_measure();
  void payload_save(ZT_StateWriter& out);
  bool payload_load(ZT_StateReader& in, uint32_t version);
  bool fade_key(const ZT_PlatformSoft_Image* picture, int* id, int* index) const;
  void fades_save(ZT_StateWriter& out);
  bool fades_load(ZT_StateReader& in);

  bool game_seen;         // a game's start has been handled
  uint32_t keys_held;     // ZT_KEY_ bits
  uint32_t pad_held;      // Pad bits
  int tap_key;            // the key a pointer holds down, -1 none
  uint32_t ms_rest;       // fractions of a millisecond carried, in 1/fps
  uint32_t samples_rest;  // fractions of a sample carried, in 1/fps
  uint32_t shown;         // platform.presented when last looked at
  bool force_new;
  std::vector<Button> buttons;  // the running game's, in picture pixels
  std::string buttons_folder;   // the game they belong to
  size_t size;
  std::vector<uint8_t> backup;  // the running state while a load is tried
  int response_index = 0;
  size_t fade_slots = 0;  // the segment fades a state holds at most
};

#endif
