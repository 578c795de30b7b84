// SPDX-License-Identifier: MIT
// The abstract platform: everything the simulator does with the outside world
// (window, pictures, text, sound, keys, clocks, data folder) goes through here.
#ifndef ZT_PLATFORM_PLATFORM_H
#define ZT_PLATFORM_PLATFORM_H

#include <cstdint>
#include <ctime>
#include <string>

// Default data directory; relative, resolved by the program at start-up.
extern const char* const ZT_Platform_DataPath;

// What every platform opens and plays with: the font in the platform's own
// data folder and its size in points, the mixer's rate and channels, the
// volume at start and the loudest.
constexpr const char* ZT_Platform_FontFile = "andalemo.ttf";
constexpr int ZT_Platform_FontSize = 16;
constexpr int ZT_Platform_MixRate = 22050;
constexpr int ZT_Platform_MixChannels = 6;
constexpr int ZT_Platform_StartVolume = 75;
constexpr int ZT_Platform_MaxVolume = 100;

// The program's one exception type: a complete message for the user.
class ZT_Exception {
 public:
  explicit ZT_Exception(const std::string& message) : message(message) {}
  std::string message;
};

struct ZT_Platform_RGB {
  uint8_t r;
  uint8_t g;
  uint8_t b;
};

// Each argument is kept to its low 8 bits.
ZT_Platform_RGB ZT_Platform_RGB_create(int r, int g, int b);

enum {
  ZT_EVENT_QUIT = 0,
  ZT_EVENT_KEY = 1,
};

enum {
  ZT_KEY_UP = 0,
  ZT_KEY_DOWN = 1,
  ZT_KEY_LEFT = 2,
  ZT_KEY_RIGHT = 3,
  ZT_KEY_ENTER = 4,
  ZT_KEY_BACK = 5,
  ZT_KEY_POWER = 6,
  ZT_KEY_ESCAPE = 7,
  ZT_KEY_VOLUME_UP = 8,
  ZT_KEY_VOLUME_DOWN = 9,
  ZT_KEY_GAME_A = 10,
  ZT_KEY_GAME_B = 11,
  ZT_KEY_TIME = 12,
  ZT_KEY_LEFT_UP = 13,
  ZT_KEY_RIGHT_UP = 14,
  ZT_KEY_LEFT_DOWN = 15,
  ZT_KEY_RIGHT_DOWN = 16,
  ZT_KEY_ZOOM_0 = 17,
  ZT_KEY_ZOOM_1 = 18,
  ZT_KEY_ZOOM_2 = 19,
  ZT_KEY_COUNT = 20,  // not a key: how many codes there are
};

struct ZT_Platform_Event {
  int32_t type;
  int32_t key;  // meaningful only for ZT_EVENT_KEY
};

enum ZT_Platform_GameType {
  ZT_GAMETYPE_NONE = 0,
  ZT_GAMETYPE_VTECH = 1,
};

// A local calendar time, as the C library's broken-down time gives it but
// with the month from 1: day of the month 1..31, month 1..12 (January is 1,
// unlike struct tm's tm_mon), year counted from 1900 (2026 is 126), hour
// 0..23, minute 0..59, second 0..60 (60 only for a leap second).
struct ZT_Platform_Time {
  int16_t day;
  int16_t month;
  int16_t year;
  int16_t hour;
  int16_t minute;
  int16_t second;
};

// Whether a time is a real one: each field in its range above, the day one
// its month has (29 February only in a leap year), the year from 1900 to 9999.
// Every time that comes from outside (a save state, a host's clock) is checked here.
bool ZT_Platform_Time_valid(const ZT_Platform_Time& time);
// The local calendar time now, from the C library's clock; false when that
// clock cannot tell (its time_t ran out, or it failed). Where time_t has 32
// bits the clock is read from the kernel in 64 bits and the calendar after
// 2038 comes from the same calendar of an earlier year (see below).
bool ZT_Platform_Time_now(ZT_Platform_Time* out);
// What a watch shows when no clock can tell the time: midnight, 1 January 2000.
constexpr ZT_Platform_Time ZT_Platform_Time_unknown = {1, 1, 100, 0, 0, 0};
// The local time now, or ZT_Platform_Time_unknown when the clock cannot tell.
ZT_Platform_Time ZT_Platform_Time_local();
// The local calendar time of `unix_seconds` after 1970-01-01 00:00 UTC in the
// C library's time zone. Past what a 32-bit time_t holds (`narrow`, true on
// such systems; tests ask for it anywhere), the C library converts the same
// instant of the year between 2010 and 2037 with the same leap day and
// weekdays, so that the month, the day and the daylight-saving dates come out
// right, and the year is put back.
bool ZT_Platform_Time_from_unix(int64_t unix_seconds, ZT_Platform_Time* out,
                                bool narrow = sizeof(time_t) < 8);
// Milliseconds since midnight of a calendar time, whole seconds only.
unsigned int ZT_Platform_Time_ms(const ZT_Platform_Time& time);
// Seconds from 1 January 1900, 00:00:00 to a calendar time (fields out of
// range are carried), in integers only so that every system gives the same.
int64_t ZT_Platform_Time_seconds(const ZT_Platform_Time& time);
// A calendar time `seconds` later, carried through minutes, hours, days,
// months and leap years (fields out of range are carried too).
ZT_Platform_Time ZT_Platform_Time_add(const ZT_Platform_Time& time, uint32_t seconds);

// The part of a width x height frame that draw_flip stretches over the screen
// for a view box: the smallest rectangle of the frame's proportions, centred,
// that holds the box. False when no box is asked for, or it is larger than
// the frame (which is then shown whole).
bool ZT_Platform_zoom_rect(int width, int height, int view_width, int view_height, int* x, int* y,
                           int* zoom_width, int* zoom_height);

// A loaded picture, owned by whoever called image_load.
class ZT_Platform_Image {
 public:
  virtual ~ZT_Platform_Image() {}
  // Width in pixels, -1 when unknown.
  virtual int width_get() { return -1; }
  // Height in pixels, -1 when unknown.
  virtual int height_get() { return -1; }
  // Rescale in place to fit width x height keeping proportions; true if rescaled.
  virtual bool resize_fit(int width, int height) {
    (void)width;
    (void)height;
    return false;
  }
};

// A loaded sound sample, owned by whoever called sound_load.
class ZT_Platform_Sound {
 public:
  virtual ~ZT_Platform_Sound() {}
};

class ZT_Platform {
 public:
  ZT_Platform() {}
  ZT_Platform(const ZT_Platform&) = delete;
  ZT_Platform& operator=(const ZT_Platform&) = delete;
  virtual ~ZT_Platform() {}

  // Bring up display, sound and text; idempotent; throws ZT_Exception.
  virtual void initialize() = 0;
  // Release what initialize acquired; no effect when not initialised.
  virtual void finalize() = 0;
  // Screen width in pixels.
  virtual int width_get() = 0;
  // Screen height in pixels.
  virtual int height_get() = 0;
  // The data directory: the one set, or the default when none was.
  virtual std::string datapath_get();
  // Store the data directory; empty brings the default back.
  virtual void datapath_set(const std::string& path);
  // The platform's own folder inside the data directory.
  virtual std::string platformdata_get();
  // Milliseconds of a monotonic counter: the game timers' clock. It wraps to
  // 0 after 2^32 ms (49.7 days), so clocks are compared by the unsigned
  // difference of two readings, never by which is larger.
  virtual unsigned int ticks_get() = 0;
  // Milliseconds since local midnight, whole seconds only.
  virtual unsigned int time_ms_get() = 0;
  // Local date and time.
  virtual ZT_Platform_Time time_get() = 0;
  // Next translated input event; false when none is pending. Never blocks.
  virtual bool event(ZT_Platform_GameType type, ZT_Platform_Event* event) = 0;
  // Clear the frame to black.
  virtual void draw_clear() = 0;
  // Draw a picture with its top-left corner at (x, y).
  virtual void draw_image(ZT_Platform_Image* image, int x, int y) = 0;
  // Opaque line; null colour is white.
  virtual void draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) = 0;
  // Outline and/or filled box with opacity alpha (negative is opaque).
  virtual void draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                              ZT_Platform_RGB* fill, int alpha) = 0;
  // Present the frame; a positive box zooms onto that area around the centre.
  virtual void draw_flip(int width, int height) = 0;
  // One line of text with its top-left corner at (x, y); null colour is white.
  virtual void text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) = 0;
  // Line height of the font.
  virtual int text_fontheight() = 0;
  // Rendered width of text.
  virtual int text_width(const std::string& text) = 0;
  // Rendered height of text.
  virtual int text_height(const std::string& text) = 0;
  // Play a sample once beside whatever plays already.
  virtual void sound_play(ZT_Platform_Sound* sound) = 0;
  // Set the volume of all sound (capped at 100); returns the volume set.
  virtual int sound_volume(unsigned short volume) = 0;
  // Stop every playing sample.
  virtual void sound_stop_all() = 0;
  // Load a picture; transparent (may be null) is drawn see-through. Throws.
  virtual ZT_Platform_Image* image_load(const std::string& path, ZT_Platform_RGB* transparent) = 0;
  // Load a sound sample. Throws.
  virtual ZT_Platform_Sound* sound_load(const std::string& path) = 0;

  std::string datapath;
};

#endif
