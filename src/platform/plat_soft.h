// SPDX-License-Identifier: MIT
// The software platform: the whole platform in portable C++ with no SDL, for
// hosts that own the frame loop, the clock, the sound device and the input (a
// libretro frontend, a web page). It draws into an RGB565 frame like the
// desktop program's, mixes six sound channels on request and reads the same
// BMP, WAV and TrueType files, from the data folder or from a data pack.
#ifndef ZT_PLATFORM_PLAT_SOFT_H
#define ZT_PLATFORM_PLAT_SOFT_H

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

// A picture in the frame's format; pixels the colour key hides are marked.
class ZT_PlatformSoft;

class ZT_PlatformSoft_Image : public ZT_Platform_Image {
 public:
  ZT_PlatformSoft_Image(int width, int height);
  ~ZT_PlatformSoft_Image() override;
  int width_get() override;
  int height_get() override;
  bool resize_fit(int width, int height) override;

  int width;
  int height;
  std::vector<uint16_t> pixels;  // RGB565, row after row
  std::vector<uint8_t> opaque;   // 0 where the pixel is see-through; empty: all drawn

  // How the desktop program scales this picture in resize_fit: a palette
  // picture that SDL keeps in its own format steps by exact fractions, and a
  // 32-bit one it keeps loses its colour key.
  bool palette_kept = false;
  bool key_lost_on_zoom = false;
  // A picture SDL keeps in a format of 8-bit channels (0xRRGGBB here) comes
  // back from SDL_gfx's scaling as RGBA, which SDL then alpha-blends even at
  // full opacity: a channel below the frame's comes out one step brighter.
  std::vector<uint32_t> rgb;  // kept pictures only; empty otherwise
  bool blended = false;       // rescaled so: drawn through that blend

  // The drawn pixels as runs per row, so that drawing is a few row copies.
  // Rebuilt by image_load and resize_fit; call again after changing `opaque`.
  struct Run {
    int x;
    int length;
  };
  std::vector<Run> runs;
  std::vector<uint32_t> row_runs;  // runs of row y: [row_runs[y], row_runs[y + 1])
  // For pictures of many short runs (the LCD segments): 0xffff where drawn,
  // 0 where see-through, so that whole rows are merged without branches.
  std::vector<uint16_t> mask;
  // Unique to this picture and its contents (renewed by runs_update), so that
  // the platform can tell it drew this very picture before.
  uint64_t generation = 0;
  void runs_update();
  // The platform that loaded it (null once that platform is gone), which
  // forgets it when it goes: it may be fading on the LCD.
  ZT_PlatformSoft* platform = nullptr;
};

class ZT_Pack;
namespace zt_decode {
struct Font;
}

// A sample converted to the mixer's format: signed 16-bit mono at the mixer's rate.
class ZT_PlatformSoft_Sound : public ZT_Platform_Sound {
 public:
  ~ZT_PlatformSoft_Sound() override;
  std::vector<int16_t> samples;
  // The platform that may be playing it (null once that platform is gone):
  // destroying a playing sound stops it there, as freeing a mixer chunk does.
  ZT_PlatformSoft* platform = nullptr;
};

class ZT_PlatformSoft : public ZT_Platform {
 public:
  static const int kMixRate = ZT_Platform_MixRate;
  static const int kChannels = ZT_Platform_MixChannels;

  ZT_PlatformSoft(int width = 640, int height = 480);
  ~ZT_PlatformSoft() override;

  void initialize() override;
  void finalize() override;
  int width_get() override;
  int height_get() override;
  unsigned int ticks_get() override;
  unsigned int time_ms_get() override;
  ZT_Platform_Time time_get() override;
  bool event(ZT_Platform_GameType type, ZT_Platform_Event* event) override;
  void draw_clear() override;
  void draw_image(ZT_Platform_Image* image, int x, int y) override;
  void draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) override;
  void draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                      ZT_Platform_RGB* fill, int alpha) override;
  void draw_flip(int width, int height) override;
  void text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) override;
  int text_fontheight() override;
  int text_width(const std::string& text) override;
  int text_height(const std::string& text) override;
  void sound_play(ZT_Platform_Sound* sound) override;
  int sound_volume(unsigned short volume) override;
  void sound_stop_all() override;
  ZT_Platform_Image* image_load(const std::string& path, ZT_Platform_RGB* transparent) override;
  ZT_Platform_Sound* sound_load(const std::string& path) override;

  // Host side. Queue a key press (a ZT_KEY_ code) or a quit request for event().
  void key_push(int key);
  void quit_push();
  // Advance the millisecond clock that ticks_get reads (it wraps after 2^32
  // ms; an anchored calendar counts on across the wrap).
  void ticks_advance(unsigned int ms);
  // Pin the calendar that time_get and time_ms_get read (tests, replays);
  // unpinned, they read the local wall clock.
  void time_pin(const ZT_Platform_Time& time);
  // Start the calendar at `start` now: from then on it advances with the
  // millisecond clock, whole seconds at a time, the same on every system and
  // at any hour a replay runs. Replaces a pinned time; time_unpin ends both.
  void time_anchor(const ZT_Platform_Time& start);
  void time_unpin();
  // Moves the anchor forward by whole days while it lies a day or more
  // behind the clock (the wrapping difference of the two): the calendar reads
  // the same, and never lies 2^32 ms (49.7 days) away, where it would start
  // over. The same at whatever steps the clock went, so states compare.
  void time_carry();
  static constexpr uint32_t kAnchorSpan = 86400000;  // a day in ms
  // Read the files below the data folder from `pack` (by the path below the
  // folder) instead of the folder; null goes back to the folder. A file the
  // pack lacks is refused as a missing file is.
  void pack_set(std::shared_ptr<const ZT_Pack> pack);
  // Mix `frames` samples of signed 16-bit mono at `rate` Hz into `out`
  // (silence when nothing plays), advancing the playing channels.
  void audio_mix(int16_t* out, int frames, int rate = kMixRate);

  // LCD segment response. With a rise or a fall time set, a frame drawn of
  // pictures alone (a handheld's: the menu's text keeps every frame sharp)
  // takes each picture after its first (the background) as a segment: one
  // that appears darkens from clear to full over `rise_ms`, one that is no
  // longer drawn clears over `fall_ms`, each from wherever it stands, by the
  // millisecond clock. 0 and 0 (the default): pictures show as drawn.
  void fade_set(unsigned rise_ms, unsigned fall_ms);
  // Whether the frame presented last shows a segment on its way;
  // fade_refresh then presents it again as it looks at the clock now.
  bool fade_active() const { return fade_pending; }
  void fade_refresh();
  static constexpr int kFadeFull = 256;  // a segment's level when fully dark
  // A segment seen: drawn at (x, y); its level was `from` at the tick
  // `since`, and goes up (rising) or down from there.
  struct Fade {
    const ZT_PlatformSoft_Image* picture;
    int x, y;
    uint32_t since;
    int from;
    bool rising;
    bool drawn;  // in the frame being drawn
  };
  int fade_level(const Fade& fade) const;
  unsigned fade_rise = 0, fade_fall = 0;
  std::vector<Fade> fades;  // rising, dark, or not yet clear
  bool fade_pending = false;

  int width;
  int height;
  bool initialized;
  unsigned int ticks;
  bool time_pinned;
  ZT_Platform_Time pinned;
  // The anchored calendar, as a save state keeps it: the start and the
  // millisecond clock's reading then, less than kAnchorSpan ago.
  bool time_anchored = false;
  ZT_Platform_Time anchor = ZT_Platform_Time();
  uint32_t anchor_ticks = 0;
  std::deque<ZT_Platform_Event> events;
  std::vector<uint16_t> frame;   // drawing target, RGB565, width x height
  std::vector<uint16_t> screen;  // the presented frame the host reads
  uint32_t presented;            // draw_flip calls so far: unchanged means nothing new to show
  int volume;                    // 0..100, applied on the mixer's 0..128 scale
  struct Channel {
    const ZT_PlatformSoft_Sound* sound;  // null when free
    size_t position;                     // next sample at the mixer's rate
  };
  Channel channels[kChannels];
  // Where the mixer stands between two of its samples when the host pulls at
  // another rate: with the channels, what a save state keeps of the sound.
  uint32_t mix_phase = 0;
  int mix_rate = kMixRate;  // the rate the host pulled at last
  std::unique_ptr<zt_decode::Font> font;
  std::shared_ptr<const ZT_Pack> pack;  // null: files come from the folder

  // `frame` is whole after each draw_flip; a draw_clear waits for the next
  // drawing call. Between frames the platform remembers what `frame` holds
  // (which part is still black, which background it shows under what was
  // drawn since) to repaint only what changes; code that writes `frame`
  // itself (restoring a saved state, say) calls this so that the next frame
  // is painted in full.
  void frame_forget() {
    black_known = false;
    base_valid = false;
  }

  // The frame's pixel for a colour, as SDL maps it to RGB565.
  static uint16_t rgb565_get(int r, int g, int b) {
    return static_cast<uint16_t>(((r & 0xf8) << 8) | ((g & 0xfc) << 3) | ((b & 0xff) >> 3));
  }
  // A sound going away: its channels fall silent and the platform forgets it.
  void sound_forget(ZT_PlatformSoft_Sound* sound);
  // A picture going away: it leaves the LCD and the frame to draw again.
  void image_forget(ZT_PlatformSoft_Image* image);
  // A data file's bytes from the pack or the folder; false with the reason.
  bool data_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason);

 private:
  void frame_prepare(int x0, int y0, int x1, int y1);
  void background_pass(const ZT_PlatformSoft_Image* picture, int x, int y, int wx0, int wy0,
                       int wx1, int wy1, bool around);
  void span_fill(int x1, int x2, int y, uint16_t colour, int alpha);
  void hline(int x1, int x2, int y, uint16_t colour, int alpha);
  void vline(int x, int y1, int y2, uint16_t colour, int alpha);
  void box(int x1, int y1, int x2, int y2, uint16_t colour, int alpha);
  int stretch_blocks(uint16_t* dst, const uint16_t* line);

  bool clear_pending = false;  // draw_clear not yet applied to `frame`
  bool black_known = false;    // `frame` is black outside the box below
  int black_x0 = 0, black_y0 = 0, black_x1 = 0, black_y1 = 0;
  // The frame as a cleared frame with `base` drawn over it at its position,
  // but for the boxes drawn into since: a frame that starts the same way
  // again only repaints those boxes.
  bool base_valid = false;
  const ZT_PlatformSoft_Image* base = nullptr;
  uint64_t base_generation = 0;
  int base_x = 0, base_y = 0;
  struct Box {
    int x0, y0, x1, y1;
  };
  std::vector<Box> drawn_since_base;
  std::vector<ZT_PlatformSoft_Sound*> sounds;  // loaded and not yet destroyed
  std::vector<ZT_PlatformSoft_Image*> images;  // likewise
  void picture_draw(const ZT_PlatformSoft_Image* picture, int x, int y, int level);
  Fade* fade_find(const ZT_PlatformSoft_Image* picture, int x, int y);
  // The frame being drawn, and the last one drawn of pictures alone, which
  // fade_refresh draws again: its pictures in order, and its view box.
  struct Layer {
    ZT_PlatformSoft_Image* picture;
    int x, y;
  };
  std::vector<Layer> drawing, layers;
  bool drawing_pictures = false;  // nothing but pictures since the clear
  bool layers_valid = false;
  int layers_view_width = 0, layers_view_height = 0;
  size_t fade_hint = 0;                   // where the next segment drawn is likely found
  int stretch_width = -1;                 // the source width that `stretch_columns` is for
  std::vector<uint16_t> stretch_columns;  // source column of each screen column
  // The same in blocks of eight screen columns for byte shuffles: the first
  // source column of each block and where in the block's eight source pixels
  // each of its screen pixels lies (two bytes per pixel).
  std::vector<uint16_t> stretch_block_start;
  std::vector<uint8_t> stretch_block_shuffle;
};

#endif
