// The libretro API of Zentick: the 25 retro_* entry points around one
// ZT_RetroCore. No exception leaves these functions: a fatal error becomes an
// on-screen message, a log line and a request to shut the core down.
#include <libretro.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "hosts/libretro/core_file.h"
#include "hosts/libretro/retro_core.h"

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

// Everything the core keeps between calls; retro_deinit puts it all back.
struct Session {
  retro_environment_t environ_cb = nullptr;
  retro_video_refresh_t video_cb = nullptr;
  retro_audio_sample_t audio_cb = nullptr;
  retro_audio_sample_batch_t audio_batch_cb = nullptr;
  retro_input_poll_t input_poll_cb = nullptr;
  retro_input_state_t input_state_cb = nullptr;
  retro_log_printf_t log_cb = nullptr;
  ZT_RetroCore* core = nullptr;
  size_t state_size = 0;  // kept after a failure: the size never changes while loaded
  bool can_dupe = false;
  int volume_option = -1;
};
Session session;

// A black picture and silence for a core that could not start. The picture
// is not const: as a constant its 600 KB of zeros would be in the core file.
uint16_t kBlack[ZT_RetroCore::kWidth * ZT_RetroCore::kHeight];
const int16_t kSilence[2 * ZT_RetroCore::kMaxFrameSamples] = {};

const char kZoomKey[] = "zentick_zoom";
const char kVolumeKey[] = "zentick_volume";

void log_line(enum retro_log_level level, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (session.log_cb != nullptr)
    session.log_cb(level, "[Zentick] %s\n", line);
  else
    std::fprintf(stderr, "[Zentick] %s\n", line);
}

void show_message(const std::string& text, unsigned frames) {
  if (session.environ_cb == nullptr) return;
  retro_message message = {text.c_str(), frames};
  session.environ_cb(RETRO_ENVIRONMENT_SET_MESSAGE, &message);
}

// A fatal error: tell the player and the log, stop the simulator, and ask
// the frontend to close the core.
void fatal(const std::string& text) {
  log_line(RETRO_LOG_ERROR, "%s", text.c_str());
  show_message("Zentick: " + text, 600);
  delete session.core;
  session.core = nullptr;
  if (session.environ_cb != nullptr) session.environ_cb(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
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

bool is_folder(const std::string& path) {
  struct stat info;
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const char* variable(const char* key) {
  retro_variable var = {key, nullptr};
  if (session.environ_cb == nullptr || !session.environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE, &var))
    return nullptr;
  return var.value;
}

void options_read() {
  if (session.core == nullptr) return;
  const char* zoom = variable(kZoomKey);
  if (zoom != nullptr)
    session.core->start_zoom = std::strcmp(zoom, "LCD") == 0        ? 1
                               : std::strcmp(zoom, "handheld") == 0 ? 2
                                                                    : 0;
  const char* volume = variable(kVolumeKey);
  if (volume != nullptr) {
    int v = std::atoi(volume);
    if (v < 0 || v > 100) v = 75;
    // Only a change of the option itself overrides the player's volume keys.
    if (v != session.volume_option) session.core->volume_set(v);
    session.volume_option = v;
  }
}

// For tests and replays: pin the watch to "YYYY-MM-DD HH:MM:SS".
void time_pin_from_environment(ZT_PlatformSoft& platform) {
  const char* text = std::getenv("ZENTICK_TIME");
  int year, month, day, hour, minute, second;
  if (text == nullptr ||
      std::sscanf(text, "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6)
    return;
  ZT_Platform_Time time;
  time.day = static_cast<int16_t>(day);
  time.month = static_cast<int16_t>(month);
  time.year = static_cast<int16_t>(year - 1900);
  time.hour = static_cast<int16_t>(hour);
  time.minute = static_cast<int16_t>(minute);
  time.second = static_cast<int16_t>(second);
  platform.time_pin(time);
}

void keyboard_event(bool down, unsigned keycode, uint32_t, uint16_t) {
  if (session.core != nullptr) session.core->keyboard(keycode, down);
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

// The data installed beside the core: the same path from the core's folder
// as from the configured prefix's, so that a package or another prefix works.
std::string installed_data() {
  std::string folder = zt_core_folder();
  return folder.empty() ? "" : folder + ZT_LIBRETRO_DATA_FROM_CORE;
}

bool load() {
  session.environ_cb(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS,
                     const_cast<retro_input_descriptor*>(kDescriptors));
  retro_pixel_format format = RETRO_PIXEL_FORMAT_RGB565;
  if (!session.environ_cb(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
    log_line(RETRO_LOG_ERROR, "the frontend cannot show RGB565 pictures");
    return false;
  }
  bool dupe = false;
  session.can_dupe = session.environ_cb(RETRO_ENVIRONMENT_GET_CAN_DUPE, &dupe) && dupe;
  retro_keyboard_callback keyboard = {keyboard_event};
  session.environ_cb(RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK, &keyboard);

  // The data: <system directory>/zentick/ when it exists, else the data
  // installed with the core.
  const char* system = nullptr;
  if (!session.environ_cb(RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY, &system)) system = nullptr;
  std::string own = system != nullptr && *system != '\0' ? std::string(system) + "/zentick" : "";
  std::string installed = installed_data();
  std::string datapath;
  if (is_folder(own))
    datapath = own;
  else if (is_folder(installed))
    datapath = installed;
  else if (is_folder(ZT_LIBRETRO_DATADIR))
    datapath = ZT_LIBRETRO_DATADIR;
  if (datapath.empty()) {
    std::string wanted = own.empty() ? std::string(ZT_LIBRETRO_DATADIR) : own;
    std::string text =
        "no data found: create the folder " + wanted + "/ and put the Zentick data set in it";
    log_line(RETRO_LOG_ERROR, "%s", text.c_str());
    show_message("Zentick: " + text, 3600);
    return true;  // running on, black, so that the player reads the message
  }
  log_line(RETRO_LOG_INFO, "data folder %s", datapath.c_str());
  session.core = new ZT_RetroCore(datapath);
  session.state_size = session.core->state_size();
  time_pin_from_environment(session.core->platform);
  options_read();
  return true;
}

}  // namespace

extern "C" {

RETRO_API unsigned retro_api_version(void) { return RETRO_API_VERSION; }

RETRO_API void retro_set_environment(retro_environment_t cb) {
  session.environ_cb = cb;
  bool no_game = true;
  cb(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &no_game);
  static const retro_variable kVariables[] = {
      {kZoomKey, "Zoom when a game starts; none|handheld|LCD"},
      {kVolumeKey, "Volume; 75|80|85|90|95|100|0|5|10|15|20|25|30|35|40|45|50|55|60|65|70"},
      {nullptr, nullptr},
  };
  cb(RETRO_ENVIRONMENT_SET_VARIABLES, const_cast<retro_variable*>(kVariables));
  retro_log_callback logging = {nullptr};
  session.log_cb = cb(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &logging) ? logging.log : nullptr;
}

RETRO_API void retro_set_video_refresh(retro_video_refresh_t cb) { session.video_cb = cb; }
RETRO_API void retro_set_audio_sample(retro_audio_sample_t cb) { session.audio_cb = cb; }
RETRO_API void retro_set_audio_sample_batch(retro_audio_sample_batch_t cb) {
  session.audio_batch_cb = cb;
}
RETRO_API void retro_set_input_poll(retro_input_poll_t cb) { session.input_poll_cb = cb; }
RETRO_API void retro_set_input_state(retro_input_state_t cb) { session.input_state_cb = cb; }

RETRO_API void retro_init(void) {}

RETRO_API void retro_deinit(void) {
  delete session.core;
  session = Session();
}

RETRO_API void retro_get_system_info(struct retro_system_info* info) {
  std::memset(info, 0, sizeof *info);
  info->library_name = "Zentick";
  info->library_version = ZT_VERSION;
  info->valid_extensions = "";
  info->need_fullpath = false;
  info->block_extract = false;
}

RETRO_API void retro_get_system_av_info(struct retro_system_av_info* info) {
  std::memset(info, 0, sizeof *info);
  info->geometry.base_width = ZT_RetroCore::kWidth;
  info->geometry.base_height = ZT_RetroCore::kHeight;
  info->geometry.max_width = ZT_RetroCore::kWidth;
  info->geometry.max_height = ZT_RetroCore::kHeight;
  info->geometry.aspect_ratio = 4.0f / 3.0f;
  info->timing.fps = ZT_RetroCore::kFps;
  info->timing.sample_rate = ZT_RetroCore::kSampleRate;
}

RETRO_API void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_API void retro_reset(void) {
  // As if the program started again, on the same data.
  if (session.core == nullptr) return;
  guarded([] {
    std::string datapath = session.core->platform.datapath_get();
    delete session.core;
    session.core = nullptr;
    session.core = new ZT_RetroCore(datapath);
    time_pin_from_environment(session.core->platform);
    session.volume_option = -1;
    options_read();
  });
}

RETRO_API void retro_run(void) {
  if (session.input_poll_cb != nullptr) session.input_poll_cb();
  guarded([] {
    if (session.core == nullptr) return;
    bool updated = false;
    if (session.environ_cb(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated)
      options_read();
    uint32_t buttons = 0;
    if (session.input_state_cb != nullptr)
      for (unsigned id = 0; id <= RETRO_DEVICE_ID_JOYPAD_R3; ++id)
        if (session.input_state_cb(0, RETRO_DEVICE_JOYPAD, 0, id)) buttons |= 1u << id;
    if (!session.core->frame(buttons)) {
      // Escape in the menu: the program would end here.
      delete session.core;
      session.core = nullptr;
      session.environ_cb(RETRO_ENVIRONMENT_SHUTDOWN, nullptr);
    }
  });
  const int16_t* sound = kSilence;
  int samples = ZT_RetroCore::kSampleRate / ZT_RetroCore::kFps;
  const uint16_t* picture = kBlack;
  if (session.core != nullptr) {
    picture = session.core->video();
    if (picture == nullptr && !session.can_dupe) picture = session.core->platform.screen.data();
    samples = session.core->audio(&sound);
  }
  if (session.video_cb != nullptr)
    session.video_cb(picture, ZT_RetroCore::kWidth, ZT_RetroCore::kHeight,
                     ZT_RetroCore::kWidth * sizeof(uint16_t));
  if (session.audio_batch_cb != nullptr) session.audio_batch_cb(sound, samples);
}

RETRO_API size_t retro_serialize_size(void) { return session.state_size; }

RETRO_API bool retro_serialize(void* data, size_t size) {
  if (session.core == nullptr) return false;
  bool done = false;
  guarded([&] { done = session.core->state_save(static_cast<uint8_t*>(data), size); });
  return done;
}

RETRO_API bool retro_unserialize(const void* data, size_t size) {
  if (session.core == nullptr) return false;
  bool done = false;
  guarded([&] { done = session.core->state_load(static_cast<const uint8_t*>(data), size); });
  return done;
}

RETRO_API void retro_cheat_reset(void) {}
RETRO_API void retro_cheat_set(unsigned, bool, const char*) {}

RETRO_API bool retro_load_game(const struct retro_game_info*) {
  if (session.environ_cb == nullptr) return false;
  bool loaded = false;
  guarded([&] { loaded = load(); });
  return loaded;
}

RETRO_API bool retro_load_game_special(unsigned, const struct retro_game_info*, size_t) {
  return false;
}

RETRO_API void retro_unload_game(void) {
  delete session.core;
  session.core = nullptr;
  session.state_size = 0;
}

RETRO_API unsigned retro_get_region(void) { return RETRO_REGION_NTSC; }
RETRO_API void* retro_get_memory_data(unsigned) { return nullptr; }
RETRO_API size_t retro_get_memory_size(unsigned) { return 0; }

}  // extern "C"
