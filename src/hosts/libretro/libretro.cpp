// SPDX-License-Identifier: MIT
// The libretro API of Zentick: the 25 retro_* entry points around one
// ZT_Session. It translates the frontend's time, RetroPad, keyboard, video,
// sound, options and save states, and nothing more. No exception leaves
// these functions: a fatal error becomes an on-screen message, a log line and
// a request to shut the core down.
#include <libretro.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "hosts/libretro/core_file.h"
#include "hosts/libretro/core_pack.h"
#include "hosts/libretro/libretro_session.h"
#include "platform/datapath.h"
#include "platform/decode/pack.h"
#include "platform/keys.h"
#include "session/session.h"

#ifndef ZT_LIBRETRO_DATA_FROM_CORE
#define ZT_LIBRETRO_DATA_FROM_CORE "../../share/zentick/data"
#endif
#ifndef ZT_LIBRETRO_DATADIR
#define ZT_LIBRETRO_DATADIR "/usr/local/share/zentick/data"
#endif
#ifndef ZT_VERSION
#define ZT_VERSION "1.0"
#endif

namespace {

const unsigned kFps = 60;
const int kMaxFrameSamples = ZT_Session::kRate / kFps + 1;

// The pad's buttons are the session's, bit for bit.
static_assert(RETRO_DEVICE_ID_JOYPAD_B == ZT_Session::PAD_B &&
                  RETRO_DEVICE_ID_JOYPAD_Y == ZT_Session::PAD_Y &&
                  RETRO_DEVICE_ID_JOYPAD_SELECT == ZT_Session::PAD_SELECT &&
                  RETRO_DEVICE_ID_JOYPAD_START == ZT_Session::PAD_START &&
                  RETRO_DEVICE_ID_JOYPAD_UP == ZT_Session::PAD_UP &&
                  RETRO_DEVICE_ID_JOYPAD_DOWN == ZT_Session::PAD_DOWN &&
                  RETRO_DEVICE_ID_JOYPAD_LEFT == ZT_Session::PAD_LEFT &&
                  RETRO_DEVICE_ID_JOYPAD_RIGHT == ZT_Session::PAD_RIGHT &&
                  RETRO_DEVICE_ID_JOYPAD_A == ZT_Session::PAD_A &&
                  RETRO_DEVICE_ID_JOYPAD_X == ZT_Session::PAD_X &&
                  RETRO_DEVICE_ID_JOYPAD_L == ZT_Session::PAD_L &&
                  RETRO_DEVICE_ID_JOYPAD_R == ZT_Session::PAD_R &&
                  RETRO_DEVICE_ID_JOYPAD_L2 == ZT_Session::PAD_L2 &&
                  RETRO_DEVICE_ID_JOYPAD_R2 == ZT_Session::PAD_R2,
              "RetroPad ids and session pad buttons differ");

// The desktop program's keyboard: RETROK_ codes are SDL 1.2's key numbers.
static_assert(RETROK_UP == ZT_KEYNUM_UP && RETROK_DOWN == ZT_KEYNUM_DOWN &&
                  RETROK_LEFT == ZT_KEYNUM_LEFT && RETROK_RIGHT == ZT_KEYNUM_RIGHT &&
                  RETROK_RETURN == ZT_KEYNUM_RETURN && RETROK_BACKSPACE == ZT_KEYNUM_BACKSPACE &&
                  RETROK_ESCAPE == ZT_KEYNUM_ESCAPE && RETROK_PLUS == '+' && RETROK_1 == '1' &&
                  RETROK_q == 'q',
              "RETROK_ codes differ from the keyboard table's numbers");

// The frontend's callbacks live from retro_set_* to the core's unloading;
// the running simulator from retro_load_game to retro_unload_game.
struct Frontend {
  retro_environment_t environ_cb = nullptr;
  retro_video_refresh_t video_cb = nullptr;
  retro_audio_sample_batch_t audio_batch_cb = nullptr;
  retro_input_poll_t input_poll_cb = nullptr;
  retro_input_state_t input_state_cb = nullptr;
  retro_log_printf_t log_cb = nullptr;
};
Frontend frontend;

struct Running {
  ZT_Session* session = nullptr;
  size_t state_size = 0;  // kept after a failure: the size never changes while loaded
  bool can_dupe = false;
  int volume_option = -1;
  // The watch follows the local time unless the option keeps the game's
  // clock, or the frontend says that peers must agree (netplay) or that this
  // is run-ahead's second instance (which only replays the first one's states).
  bool watch_local = true;
  bool netplay = false;
  bool second_instance = false;
  std::string content;  // the handheld the content file opened, "" without one
};
Running running;

int16_t mono[kMaxFrameSamples];
int16_t stereo[2 * kMaxFrameSamples];

// A black picture for a core that could not start. Not const: as a constant
// its 600 KB of zeros would be in the core file.
uint16_t kBlack[ZT_Session::kWidth * ZT_Session::kHeight];

const char kZoomKey[] = "zentick_zoom";
const char kVolumeKey[] = "zentick_volume";
const char kWatchKey[] = "zentick_watch";
const char kResponseKey[] = "zentick_lcd_response";

void log_line(enum retro_log_level level, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (frontend.log_cb != nullptr)
    frontend.log_cb(level, "[Zentick] %s\n", line);
  else
    std::fprintf(stderr, "[Zentick] %s\n", line);
}

void show_message(const std::string& text, unsigned frames) {
  if (frontend.environ_cb == nullptr) return;
  retro_message message = {text.c_str(), frames};
  frontend.environ_cb(RETRO_ENVIRONMENT_SET_MESSAGE, &message);
}

void session_end() {
  delete running.session;
  running.session = nullptr;
}

// A fatal error: tell the player and the log, stop the simulator, and ask
// the frontend to close the core.
void fatal(const std::string& text) {
  log_line(RETRO_LOG_ERROR, "%s", text.c_str());
  show_message("Zentick: " + text, 600);
  session_end();
  if (frontend.environ_cb != nullptr) frontend.environ_cb(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
}

template <class F>
void guarded(F body) {
  try {
    body();
  } catch (const ZT_Exception& e) {
    fatal(e.message);
  } catch (const std::bad_alloc&) {
    fatal("out of memory");
  } catch (...) {
    fatal("unexpected internal error");
  }
}

// ---------------------------------------------------------------------------
// Core options

retro_core_option_v2_category kCategories[] = {
    {"play", "Play", "How a handheld starts."},
    {"watch", "Watch", "Where the handhelds' watch takes its time from."},
    {"display", "Display", "How the LCD looks."},
    {nullptr, nullptr, nullptr},
};

retro_core_option_v2_definition kOptions[] = {
    {kZoomKey,
     "Zoom when a game starts",
     "Zoom",
     "The view a handheld starts with: the whole picture, the handheld's body or its LCD. "
     "L and R change it while playing.",
     nullptr,
     "play",
     {{"none", "None"}, {"handheld", "Handheld"}, {"LCD", "LCD"}, {nullptr, nullptr}},
     "none"},
    {kVolumeKey,
     "Volume",
     "Volume",
     "The loudness of the handhelds' beeps; L2 and R2 change it while playing.",
     nullptr,
     "play",
     {{"0", nullptr},
      {"10", nullptr},
      {"20", nullptr},
      {"30", nullptr},
      {"40", nullptr},
      {"50", nullptr},
      {"60", nullptr},
      {"70", nullptr},
      {"75", nullptr},
      {"80", nullptr},
      {"90", nullptr},
      {"100", nullptr},
      {nullptr, nullptr}},
     "75"},
    {kWatchKey,
     "Watch time",
     "Time",
     "Local time: the watch shows the system's local time, and is set by it again after a "
     "pause, fast-forward, slow motion or a change to or from summer time. Game clock: the "
     "watch starts at the local time, then counts the game's own time, so that netplay peers "
     "and recorded input replays agree (netplay keeps it by itself where the frontend tells).",
     nullptr,
     "watch",
     {{"local", "Local time"}, {"game", "Game clock"}, {nullptr, nullptr}},
     "local"},
    {kResponseKey,
     "LCD response",
     "LCD response",
     "How fast the LCD's segments darken and clear. Off: at once, the picture as it always "
     "was. Quick, Natural and Cold: over tens of milliseconds (longer in the cold), as real "
     "liquid crystal does, so that a moving figure leaves a short, fading trail and the "
     "watch's colon pulses.",
     nullptr,
     "display",
     {{nullptr, nullptr}},  // the session's responses, filled in by options_declare
     "off"},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {{nullptr, nullptr}}, nullptr},
};

void options_declare(retro_environment_t cb) {
  static std::string responses = "LCD response; ";
  for (retro_core_option_v2_definition& option : kOptions) {
    if (option.key == nullptr || std::strcmp(option.key, kResponseKey) != 0) continue;
    for (int i = 0; i < ZT_Session::kResponseCount; ++i)
      option.values[i] = {ZT_Session::kResponses[i].name, ZT_Session::kResponses[i].label};
    option.default_value = ZT_Session::kResponses[0].name;
  }
  if (responses.back() == ' ')
    for (int i = 0; i < ZT_Session::kResponseCount; ++i)
      responses += std::string(i ? "|" : "") + ZT_Session::kResponses[i].name;
  unsigned version = 0;
  if (cb(RETRO_ENVIRONMENT_GET_CORE_OPTIONS_VERSION, &version) && version >= 2) {
    retro_core_options_v2 options = {kCategories, kOptions};
    if (cb(RETRO_ENVIRONMENT_SET_CORE_OPTIONS_V2, &options)) return;
  }
  // Older frontends: the same options as plain variables.
  static const retro_variable kVariables[] = {
      {kZoomKey, "Zoom when a game starts; none|handheld|LCD"},
      {kVolumeKey, "Volume; 75|80|90|100|0|10|20|30|40|50|60|70"},
      {kWatchKey, "Watch time; local|game"},
      {kResponseKey, responses.c_str()},
      {nullptr, nullptr},
  };
  cb(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(kVariables));
}

const char* variable(const char* key) {
  retro_variable var = {key, nullptr};
  if (frontend.environ_cb == nullptr || !frontend.environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE, &var))
    return nullptr;
  return var.value;
}

void watch_update() {
  if (running.session != nullptr)
    running.session->wall_follow =
        running.watch_local && !running.netplay && !running.second_instance;
}

void options_read() {
  if (running.session == nullptr) return;
  const char* response = variable(kResponseKey);
  for (int i = 0; response != nullptr && i < ZT_Session::kResponseCount; ++i)
    if (std::strcmp(response, ZT_Session::kResponses[i].name) == 0)
      running.session->response_set(i);
  const char* watch = variable(kWatchKey);
  running.watch_local = watch == nullptr || std::strcmp(watch, "game") != 0;
  watch_update();
  const char* zoom = variable(kZoomKey);
  if (zoom != nullptr)
    running.session->start_zoom = std::strcmp(zoom, "LCD") == 0        ? 1
                                  : std::strcmp(zoom, "handheld") == 0 ? 2
                                                                       : 0;
  const char* volume = variable(kVolumeKey);
  if (volume != nullptr) {
    int v = std::atoi(volume);
    if (v < 0 || v > ZT_Platform_MaxVolume) v = ZT_Platform_StartVolume;
    // Only a change of the option itself overrides the player's volume keys.
    if (v != running.volume_option) running.session->volume_set(v);
    running.volume_option = v;
  }
}

// What the frontend says of how it runs the core, where it says it: a state
// taken for rollback netplay, or frames run by run-ahead's second instance.
void context_read() {
  int context = RETRO_SAVESTATE_CONTEXT_NORMAL;
  if (!running.netplay && frontend.environ_cb(RETRO_ENVIRONMENT_GET_SAVESTATE_CONTEXT, &context) &&
      context == RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY) {
    running.netplay = true;
    log_line(RETRO_LOG_INFO, "netplay: the watch keeps the game's clock");
  }
  int enabled = 3;
  running.second_instance =
      frontend.environ_cb(RETRO_ENVIRONMENT_GET_AUDIO_VIDEO_ENABLE, &enabled) &&
      (enabled & 8) != 0;  // "hard disable audio": the second instance
  watch_update();
}

// ---------------------------------------------------------------------------
// Input

// Read through the input-state callback inside retro_run, so that a frontend
// replaying input (run-ahead with a second instance, netplay) replays keys too.
void keyboard_read() {
  bool down[ZT_KEY_COUNT] = {};
  for (int i = 0; i < ZT_Platform_keyboard_count; ++i) {
    const ZT_Platform_BoardKey& k = ZT_Platform_keyboard[i];
    if (frontend.input_state_cb(0, RETRO_DEVICE_KEYBOARD, 0, static_cast<unsigned>(k.number)))
      down[k.key] = true;
  }
  for (int key = 0; key < ZT_KEY_COUNT; ++key) {
    if (down[key])
      running.session->key_down(key);
    else
      running.session->key_up(key);
  }
}

uint32_t pad_read() {
  uint32_t buttons = 0;
  for (unsigned id = 0; id <= RETRO_DEVICE_ID_JOYPAD_R3; ++id)
    if (frontend.input_state_cb(0, RETRO_DEVICE_JOYPAD, 0, id)) buttons |= 1u << id;
  return buttons;
}

const retro_input_descriptor kDescriptors[] = {
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_LEFT, "Left"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_RIGHT, "Right"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_UP, "Up (menu)"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_DOWN, "Down (menu)"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_A, "Game A"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_B, "Game B"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_Y, "Time"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_START, "Power on / start game"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_SELECT, "Power off"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_L, "Zoom out"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_R, "Zoom in"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_L2, "Volume down"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_R2, "Volume up"},
    {0, RETRO_DEVICE_JOYPAD, 0, RETRO_DEVICE_ID_JOYPAD_X, "Back to the menu"},
    {0, 0, 0, 0, nullptr},
};

// ---------------------------------------------------------------------------
// Loading

// The data: <system directory>/zentick/ when it exists (custom art), else
// the data installed with the core, else the pack built into the core.
ZT_Session::Data data_find() {
  const char* system = nullptr;
  if (!frontend.environ_cb(RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY, &system)) system = nullptr;
  const std::string own =
      system != nullptr && *system != '\0' ? std::string(system) + "/zentick" : "";
  ZT_Session::Data data;
  data.folder = ZT_Platform_folder_first(
      {own, ZT_Platform_path_join(zt_core_folder(), ZT_LIBRETRO_DATA_FROM_CORE),
       ZT_LIBRETRO_DATADIR},
      "");
  size_t size = 0;
  const uint8_t* pack = zt_core_pack(&size);
  std::string reason;
  if (pack != nullptr && !(data.pack = ZT_Pack::open_memory(pack, size, &reason)))
    log_line(RETRO_LOG_ERROR, "the data built into the core is damaged: %s", reason.c_str());
  return data;
}

// A content file (Monkey.zentick) is a line of text naming a handheld by its
// catalogue name, in any case ("monkey"). False with the reason otherwise.
bool content_name(const retro_game_info& game, std::string* name, std::string* reason) {
  const char* text = static_cast<const char*>(game.data);
  size_t size = game.data != nullptr ? game.size : 0;
  if (size > 4096) {
    *reason = "it is not a Zentick content file (over 4 KB)";
    return false;
  }
  if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) text += 3, size -= 3;  // a BOM
  name->clear();
  bool line_done = false;
  for (size_t i = 0; i < size; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == 0 || c == 0x7f || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
      *reason = "it is not text";
      return false;
    }
    if (c == '\n' && !name->empty()) line_done = true;
    if (line_done || c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    *name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  if (name->empty()) *reason = "it names no handheld";
  return !name->empty();
}

// Opens the handheld a content file names, as choosing it in the menu does.
bool content_open(const retro_game_info& game) {
  std::string name, reason;
  if (!content_name(game, &name, &reason)) {
  } else if (running.session->open(name)) {
    running.content = name;
    return true;
  } else {
    reason = "no handheld is called \"" + name + "\" (";
    for (int i = 0; i < running.session->gamelist->count(); ++i)
      reason += (i ? ", " : "") + running.session->gamelist->get(i)->name;
    reason += ")";
  }
  log_line(RETRO_LOG_ERROR, "%s is refused: %s", game.path != nullptr ? game.path : "the content",
           reason.c_str());
  return false;
}

bool load(const retro_game_info* game) {
  frontend.environ_cb(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS,
                      const_cast<retro_input_descriptor*>(kDescriptors));
  retro_pixel_format format = RETRO_PIXEL_FORMAT_RGB565;
  if (!frontend.environ_cb(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    log_line(RETRO_LOG_ERROR, "the frontend cannot show RGB565 pictures");
    return false;
  }
  bool dupe = false;
  running.can_dupe = frontend.environ_cb(RETRO_ENVIRONMENT_GET_CAN_DUPE, &dupe) && dupe;

  ZT_Session::Data data = data_find();
  if (data.folder.empty())
    log_line(RETRO_LOG_INFO, "data built into the core");
  else
    log_line(RETRO_LOG_INFO, "data folder %s", data.folder.c_str());
  running.session = new ZT_Session(data);
  running.state_size = running.session->state_size();
  running.volume_option = -1;
  options_read();
  if (game != nullptr && !content_open(*game)) {
    session_end();
    return false;
  }
  const ZT_Platform_Time t = running.session->platform.time_get();
  log_line(RETRO_LOG_INFO, "watch set to %04d-%02d-%02d %02d:%02d:%02d", 1900 + t.year, t.month,
           t.day, t.hour, t.minute, t.second);
  return true;
}

}  // namespace

extern "C" {

ZT_Session* zt_libretro_session() { return running.session; }

RETRO_API unsigned retro_api_version(void) { return RETRO_API_VERSION; }

RETRO_API void retro_set_environment(retro_environment_t cb) {
  frontend.environ_cb = cb;
  bool no_game = true;
  cb(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
  options_declare(cb);
  retro_log_callback logging = {nullptr};
  frontend.log_cb = cb(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &logging) ? logging.log : nullptr;
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) { frontend.video_cb = cb; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) {
  frontend.audio_batch_cb = cb;
}
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) { frontend.input_poll_cb = cb; }
RETRO_API void retro_set_input_state(retro_input_state_t cb) { frontend.input_state_cb = cb; }

RETRO_API void retro_init(void) {}

// The frontend's callbacks stay: a frontend may set them once and then
// initialise the core again.
RETRO_API void retro_deinit(void) {
  session_end();
  running = Running();
}

RETRO_API void retro_get_system_info(struct retro_system_info* info) {
  std::memset(info, 0, sizeof *info);
  info->library_name = "Zentick";
  info->library_version = ZT_VERSION;
  info->valid_extensions = "zentick";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(struct retro_system_av_info* info) {
  std::memset(info, 0, sizeof *info);
  info->geometry.base_width = ZT_Session::kWidth;
  info->geometry.base_height = ZT_Session::kHeight;
  info->geometry.max_width = ZT_Session::kWidth;
  info->geometry.max_height = ZT_Session::kHeight;
  info->geometry.aspect_ratio = 4.0f / 3.0f;
  info->timing.fps = kFps;
  info->timing.sample_rate = ZT_Session::kRate;
}

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API void retro_reset(void) {
  // As if the program started again, on the same data.
  if (running.session == nullptr) return;
  guarded([] {
    session_end();
    running.session = new ZT_Session(data_find());
    running.volume_option = -1;
    options_read();
    if (!running.content.empty()) running.session->open(running.content);
  });
}

RETRO_API void retro_run(void) {
  if (frontend.input_poll_cb != nullptr) frontend.input_poll_cb();
  guarded([] {
    if (running.session == nullptr) return;
    bool updated = false;
    if (frontend.environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated)
      options_read();
    context_read();
    if (frontend.input_state_cb != nullptr) {
      running.session->pad_set(pad_read());
      keyboard_read();
    }
    if (!running.session->advance_frame(kFps)) {
      // Escape in the menu: the program would end here.
      session_end();
      frontend.environ_cb(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
    }
  });
  int samples = ZT_Session::kRate / kFps;
  const uint16_t* picture = kBlack;
  std::memset(mono, 0, sizeof mono);
  if (running.session != nullptr) {
    const bool changed = running.session->frame_new();
    picture = changed || !running.can_dupe ? running.session->frame() : nullptr;
    samples = running.session->audio_frame(mono, kFps);
  }
  for (int i = 0; i < samples; ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
  if (frontend.video_cb != nullptr)
    frontend.video_cb(picture, ZT_Session::kWidth, ZT_Session::kHeight,
                      ZT_Session::kWidth * sizeof(uint16_t));
  if (frontend.audio_batch_cb != nullptr) frontend.audio_batch_cb(stereo, samples);
}

RETRO_API size_t retro_serialize_size(void) { return running.state_size; }

RETRO_API bool retro_serialize(void* data, size_t size) {
  if (running.session == nullptr) return false;
  bool done = false;
  context_read();
  guarded([&] { done = running.session->state_save(static_cast<uint8_t*>(data), size); });
  return done;
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  if (running.session == nullptr) return false;
  bool done = false;
  context_read();
  guarded([&] { done = running.session->state_load(static_cast<const uint8_t*>(data), size); });
  return done;
}

RETRO_API void retro_cheat_reset(void) {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API bool retro_load_game(const struct retro_game_info* game) {
  if (frontend.environ_cb == nullptr) {
    log_line(RETRO_LOG_ERROR, "retro_load_game before retro_set_environment");
    return false;
  }
  // A second load without an unload replaces the first simulator.
  session_end();
  running.content.clear();
  bool loaded = false;
  guarded([&] { loaded = load(game); });
  return loaded;
}

RETRO_API bool retro_load_game_special(unsigned, const struct retro_game_info*, size_t) {
  return false;
}

RETRO_API void retro_unload_game(void) {
  session_end();
  running.state_size = 0;
}

RETRO_API unsigned retro_get_region(void) { return RETRO_REGION_NTSC; }
RETRO_API void* retro_get_memory_data(unsigned) { return nullptr; }
RETRO_API size_t retro_get_memory_size(unsigned) { return 0; }

}  // extern "C"
