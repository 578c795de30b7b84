// SPDX-License-Identifier: MIT
// The test frontend: environment answers, callbacks and file writers.
#include "frontend.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "hosts/libretro/libretro_session.h"
#include "platform/decode/path.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_OVERRIDE
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

// libretro callbacks carry no context: one frontend runs at a time.
RetroFrontend* active = nullptr;

void log_line(enum retro_log_level, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  active->log += line;
  std::fputs(line, stderr);
}

bool environment(unsigned cmd, void* data) {
  RetroFrontend& f = *active;
  switch (cmd) {
    case RETRO_ENVIRONMENT_GET_CAN_DUPE:
      *static_cast<bool*>(data) = true;
      return true;
    case RETRO_ENVIRONMENT_SET_PIXEL_FORMAT:
      return *static_cast<retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_RGB565;
    case RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY:
      *static_cast<const char**>(data) = f.system.c_str();
      return true;
    case RETRO_ENVIRONMENT_SET_MESSAGE:
      f.message = static_cast<const retro_message*>(data)->msg;
      return true;
    case RETRO_ENVIRONMENT_SHUTDOWN:
      f.shutdown = true;
      return true;
    case RETRO_ENVIRONMENT_GET_VARIABLE: {
      retro_variable* var = static_cast<retro_variable*>(data);
      auto it = f.variables.find(var->key);
      var->value = it == f.variables.end() ? nullptr : it->second.c_str();
      return var->value != nullptr;
    }
    case RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE:
      *static_cast<bool*>(data) = f.variables_changed;
      f.variables_changed = false;
      return true;
    case RETRO_ENVIRONMENT_GET_LOG_INTERFACE:
      static_cast<retro_log_callback*>(data)->log = log_line;
      return true;
    case RETRO_ENVIRONMENT_GET_SAVESTATE_CONTEXT:
      *static_cast<int*>(data) = f.savestate_context;
      return true;
    case RETRO_ENVIRONMENT_GET_AUDIO_VIDEO_ENABLE:
      *static_cast<int*>(data) = f.audio_video;
      return true;
    case RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME:
    case RETRO_ENVIRONMENT_SET_VARIABLES:
    case RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS:
      return true;
    default:
      return false;
  }
}

void video(const void* data, unsigned width, unsigned height, size_t pitch) {
  RetroFrontend& f = *active;
  f.width = static_cast<int>(width);
  f.height = static_cast<int>(height);
  if (data == nullptr) {
    ++f.frames_duped;
    return;
  }
  ++f.frames_new;
  f.picture.resize(width * height);
  for (unsigned y = 0; y < height; ++y)
    std::memcpy(&f.picture[y * width], static_cast<const uint8_t*>(data) + y * pitch, width * 2);
}

void audio_sample(int16_t left, int16_t right) {
  active->sound.push_back(left);
  active->sound.push_back(right);
}

size_t audio_batch(const int16_t* data, size_t frames) {
  active->sound.insert(active->sound.end(), data, data + 2 * frames);
  return frames;
}

void input_poll() {}

int16_t input_state(unsigned port, unsigned device, unsigned, unsigned id) {
  if (port != 0) return 0;
  if (device == RETRO_DEVICE_KEYBOARD) return active->keys.count(id);
  if (device != RETRO_DEVICE_JOYPAD || id > 15) return 0;
  return (active->buttons >> id) & 1u;
}

void pin_time() {
  ZT_Session* session = zt_libretro_session();
  if (session != nullptr) session->time_set(RetroFrontend::kTime);
}

void write_bytes(void* context, void* data, int size) {
  std::fwrite(data, 1, static_cast<size_t>(size), static_cast<FILE*>(context));
}

}  // namespace

uint64_t fnv64(const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

const ZT_Platform_Time RetroFrontend::kTime = {7, 3, 126, 13, 5, 10};  // 2026-03-07 13:05:10

RetroFrontend::RetroFrontend(const std::string& system)
    : system(system),
      variables{{"zentick_watch", "game"}},
      variables_changed(false),
      buttons(0),
      width(0),
      height(0),
      frames_new(0),
      frames_duped(0),
      shutdown(false),
      loaded(false) {}

RetroFrontend::~RetroFrontend() { stop(); }

bool RetroFrontend::start(const char* content) {
  active = this;
  retro_set_environment(environment);
  retro_set_video_refresh(video);
  retro_set_audio_sample(audio_sample);
  retro_set_audio_sample_batch(audio_batch);
  retro_set_input_poll(input_poll);
  retro_set_input_state(input_state);
  retro_init();
  retro_game_info game = {"Handheld.zentick", content, content ? std::strlen(content) : 0, nullptr};
  loaded = retro_load_game(content ? &game : nullptr);
  if (!loaded) retro_deinit();
  pin_time();
  return loaded;
}

void RetroFrontend::reset() {
  active = this;
  retro_reset();
  pin_time();
}

void RetroFrontend::stop() {
  if (!loaded) return;
  active = this;
  retro_unload_game();
  retro_deinit();
  loaded = false;
}

void RetroFrontend::run(uint32_t held) {
  active = this;
  buttons = held;
  retro_run();
}

void RetroFrontend::tap(unsigned button, int after) {
  run(1u << button);
  for (int i = 0; i < after; ++i) run(0);
}

std::vector<uint8_t> RetroFrontend::save() {
  active = this;
  std::vector<uint8_t> state(retro_serialize_size());
  if (!retro_serialize(state.data(), state.size())) state.clear();
  return state;
}

bool RetroFrontend::load(const std::vector<uint8_t>& state) {
  active = this;
  return retro_unserialize(state.data(), state.size());
}

uint64_t RetroFrontend::picture_hash() const {
  return fnv64(picture.data(), picture.size() * sizeof(uint16_t));
}

uint64_t RetroFrontend::sound_hash() const {
  return fnv64(sound.data(), sound.size() * sizeof(int16_t));
}

bool RetroFrontend::write_png(const std::string& path) const {
  std::vector<uint8_t> rgb(picture.size() * 3);
  for (size_t i = 0; i < picture.size(); ++i) {
    uint16_t p = picture[i];
    rgb[3 * i] = static_cast<uint8_t>((p >> 11) << 3 | (p >> 13));
    rgb[3 * i + 1] = static_cast<uint8_t>(((p >> 5) & 63) << 2 | ((p >> 9) & 3));
    rgb[3 * i + 2] = static_cast<uint8_t>((p & 31) << 3 | ((p >> 2) & 7));
  }
  FILE* file = zt_decode::path_open(path, "wb");
  if (file == nullptr) return false;
  bool ok = stbi_write_png_to_func(write_bytes, file, width, height, 3, rgb.data(), width * 3) != 0;
  return std::fclose(file) == 0 && ok;
}

bool RetroFrontend::write_wav(const std::string& path) const {
  FILE* file = zt_decode::path_open(path, "wb");
  if (file == nullptr) return false;
  const uint32_t rate = 22050, bytes = static_cast<uint32_t>(sound.size() * 2);
  auto u32 = [file](uint32_t v) { std::fwrite(&v, 4, 1, file); };
  auto u16 = [file](uint16_t v) { std::fwrite(&v, 2, 1, file); };
  std::fwrite("RIFF", 1, 4, file);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, file);
  u32(16);
  u16(1);  // PCM
  u16(2);
  u32(rate);
  u32(rate * 4);
  u16(4);
  u16(16);
  std::fwrite("data", 1, 4, file);
  u32(bytes);
  std::fwrite(sound.data(), 2, sound.size(), file);
  return std::fclose(file) == 0;
}
