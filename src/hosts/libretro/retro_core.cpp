// The libretro host's frame loop, input translation and save states.
#include "hosts/libretro/retro_core.h"

#include <libretro.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/random.h"
#include "framework/state.h"

namespace {

const uint32_t kMagic = 0x5453545a;  // "ZTST"
const uint32_t kVersion = 1;
const size_t kHeader = 16;  // magic, version, payload length, checksum

// RetroPad buttons and the keys they press; L and R are handled apart.
struct PadKey {
  unsigned id;
  int key;
};
const PadKey kPad[] = {
    {RETRO_DEVICE_ID_JOYPAD_UP, ZT_KEY_UP},        {RETRO_DEVICE_ID_JOYPAD_DOWN, ZT_KEY_DOWN},
    {RETRO_DEVICE_ID_JOYPAD_LEFT, ZT_KEY_LEFT},    {RETRO_DEVICE_ID_JOYPAD_RIGHT, ZT_KEY_RIGHT},
    {RETRO_DEVICE_ID_JOYPAD_A, ZT_KEY_GAME_A},     {RETRO_DEVICE_ID_JOYPAD_B, ZT_KEY_GAME_B},
    {RETRO_DEVICE_ID_JOYPAD_Y, ZT_KEY_TIME},       {RETRO_DEVICE_ID_JOYPAD_START, ZT_KEY_ENTER},
    {RETRO_DEVICE_ID_JOYPAD_SELECT, ZT_KEY_BACK},  {RETRO_DEVICE_ID_JOYPAD_L2, ZT_KEY_VOLUME_DOWN},
    {RETRO_DEVICE_ID_JOYPAD_R2, ZT_KEY_VOLUME_UP},
};

// The desktop program's keyboard.
struct BoardKey {
  unsigned code;
  int key;
};
const BoardKey kBoard[] = {
    {RETROK_UP, ZT_KEY_UP},
    {RETROK_DOWN, ZT_KEY_DOWN},
    {RETROK_LEFT, ZT_KEY_LEFT},
    {RETROK_RIGHT, ZT_KEY_RIGHT},
    {RETROK_RETURN, ZT_KEY_ENTER},
    {RETROK_KP_ENTER, ZT_KEY_ENTER},
    {RETROK_BACKSPACE, ZT_KEY_BACK},
    {RETROK_ESCAPE, ZT_KEY_ESCAPE},
    {RETROK_PLUS, ZT_KEY_VOLUME_UP},
    {RETROK_EQUALS, ZT_KEY_VOLUME_UP},
    {RETROK_KP_PLUS, ZT_KEY_VOLUME_UP},
    {RETROK_MINUS, ZT_KEY_VOLUME_DOWN},
    {RETROK_KP_MINUS, ZT_KEY_VOLUME_DOWN},
    {RETROK_1, ZT_KEY_GAME_A},
    {RETROK_2, ZT_KEY_GAME_B},
    {RETROK_3, ZT_KEY_TIME},
    {RETROK_q, ZT_KEY_LEFT_UP},
    {RETROK_p, ZT_KEY_RIGHT_UP},
    {RETROK_a, ZT_KEY_LEFT_DOWN},
    {RETROK_l, ZT_KEY_RIGHT_DOWN},
    {RETROK_7, ZT_KEY_ZOOM_0},
    {RETROK_9, ZT_KEY_ZOOM_1},
    {RETROK_8, ZT_KEY_ZOOM_2},
};

// Zoom levels by magnification: none, the handheld's box, the LCD (the
// desktop's keys 7, 8, 9 run the same way).
const int kZoomOrder[] = {0, 2, 1};

int zoom_rank(int zoom) {
  for (int i = 0; i < 3; ++i)
    if (kZoomOrder[i] == zoom) return i;
  return 0;
}

bool held(uint32_t buttons, unsigned id) { return (buttons >> id) & 1u; }

}  // namespace

ZT_RetroCore::ZT_RetroCore(const std::string& datapath)
    : start_zoom(0),
      start_volume(75),
      platform(kWidth, kHeight),
      gamelist(nullptr),
      menu(nullptr),
      buttons_held(0),
      ms_rest(0),
      samples_rest(0),
      in_game(false),
      shown(0),
      force_show(true),
      keys_count(0),
      keyboard_down(),
      mono(),
      stereo(),
      samples(0),
      size(0) {
  // Every core starts where a new desktop program starts.
  ZT_Random::shared().seed(1);
  platform.datapath_set(datapath);
  platform.initialize();
  try {
    gamelist = new ZT_GameList(&platform);
    menu = new ZT_Menu(&platform, gamelist);
    size = state_size_measure();
    backup.resize(size);
  } catch (...) {
    delete menu;
    delete gamelist;
    platform.finalize();
    throw;
  }
}

size_t ZT_RetroCore::state_size_measure() {
  // One size for every state while the core runs (frontends rewind and run
  // ahead with it): the largest running game's, measured on fresh games.
  size_t largest = 0;
  for (int i = 0; i < gamelist->count(); ++i) {
    std::unique_ptr<ZT_Game> game(gamelist->get(i)->create());
    ZT_Device device(&platform);
    ZT_StateWriter probe(nullptr, 0);
    probe.text(gamelist->get(i)->name);
    device.state_save(probe);
    game->state_save(probe);
    largest = std::max(largest, probe.size());
  }
  ZT_StateWriter probe(nullptr, 0);
  payload_save(probe);  // the menu's share, with no game running
  return (kHeader + probe.size() + largest + 255) / 256 * 256;
}

ZT_RetroCore::~ZT_RetroCore() {
  delete menu;  // ends a running game, releasing its pictures and sounds
  delete gamelist;
  platform.finalize();
  ZT_Random::shared().seed(1);
}

void ZT_RetroCore::press(int key) { platform.key_push(key); }

bool ZT_RetroCore::frame(uint32_t buttons) {
  uint32_t pressed = buttons & ~buttons_held;
  buttons_held = buttons;
  for (const PadKey& p : kPad)
    if (held(pressed, p.id)) press(p.key);
  if (menu->device != nullptr) {
    // Zoom and leaving only mean something in a game; in the menu X must
    // not quit.
    int rank = zoom_rank(menu->device->zoom);
    if (held(pressed, RETRO_DEVICE_ID_JOYPAD_L) && rank > 0)
      press(ZT_KEY_ZOOM_0 + kZoomOrder[rank - 1]);
    if (held(pressed, RETRO_DEVICE_ID_JOYPAD_R) && rank < 2)
      press(ZT_KEY_ZOOM_0 + kZoomOrder[rank + 1]);
    if (held(pressed, RETRO_DEVICE_ID_JOYPAD_X)) press(ZT_KEY_ESCAPE);
  }
  for (int i = 0; i < keys_count; ++i) press(keys[i]);
  keys_count = 0;

  // The frame's length in whole milliseconds, the remainder carried, so that
  // 60 frames make exactly one second; the menu steps once per millisecond.
  uint32_t total = ms_rest + 1000;
  uint32_t steps = total / kFps;
  ms_rest = total % kFps;
  bool going = true;
  for (uint32_t i = 0; i < steps && going; ++i) {
    platform.ticks_advance(1);
    going = menu->Step();
    if (menu->device != nullptr && !in_game) game_started();
    in_game = menu->device != nullptr;
  }

  total = samples_rest + kSampleRate;
  samples = static_cast<int>(total / kFps);
  samples_rest = total % kFps;
  platform.audio_mix(mono, samples, kSampleRate);
  for (int i = 0; i < samples; ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
  return going;
}

void ZT_RetroCore::game_started() {
  in_game = true;
  ZT_Device* device = menu->device;
  if (start_zoom != device->zoom) {
    device->zoom = start_zoom;
    device->ZoomChanged();
  }
  if (start_volume != device->volume) device->Volume(start_volume);
}

void ZT_RetroCore::volume_set(int volume) {
  start_volume = volume;
  if (menu->device != nullptr) menu->device->Volume(volume);
}

void ZT_RetroCore::keyboard(unsigned keycode, bool down) {
  if (keycode >= static_cast<unsigned>(kKeyboardKeys)) return;
  // Key-down edges only, as on the desktop: a frontend's repeats are dropped.
  bool was = keyboard_down[keycode];
  keyboard_down[keycode] = down;
  if (!down || was || keys_count == kKeyQueue) return;
  for (const BoardKey& k : kBoard)
    if (k.code == keycode) keys[keys_count++] = k.key;
}

const uint16_t* ZT_RetroCore::video() {
  if (!force_show && shown == platform.presented) return nullptr;
  force_show = false;
  shown = platform.presented;
  return platform.screen.data();
}

int ZT_RetroCore::audio(const int16_t** out) {
  *out = stereo;
  return samples;
}

void ZT_RetroCore::payload_save(ZT_StateWriter& out) {
  out.u32(ms_rest);
  out.u32(samples_rest);
  out.u32(buttons_held);
  out.u32(platform.ticks);
  out.i32(platform.volume);
  ZT_Random::shared().state_save(out);
  menu->state_save(out);
  // Playing sounds by their registry id: pointers mean nothing in a state.
  for (const ZT_PlatformSoft::Channel& channel : platform.channels) {
    int id = -1;
    if (channel.sound != nullptr && menu->game != nullptr)
      for (auto& entry : menu->game->data.sounds)
        if (entry.second.get() != nullptr &&
            entry.second->sound == static_cast<const ZT_Platform_Sound*>(channel.sound))
          id = entry.first;
    out.i32(id);
    out.u32(id < 0 ? 0 : static_cast<uint32_t>(channel.position));
  }
}

bool ZT_RetroCore::state_save(uint8_t* out, size_t length) {
  if (out == nullptr || length < size) return false;
  ZT_StateWriter payload(out + kHeader, size - kHeader);
  payload_save(payload);
  if (!payload.ok()) return false;
  ZT_StateWriter header(out, kHeader);
  header.u32(kMagic);
  header.u32(kVersion);
  header.u32(static_cast<uint32_t>(payload.size()));
  header.u32(ZT_State_checksum(out + kHeader, payload.size()));
  std::memset(out + kHeader + payload.size(), 0, length - kHeader - payload.size());
  return true;
}

bool ZT_RetroCore::payload_load(ZT_StateReader& in) {
  uint32_t ms = in.u32();
  uint32_t samples_carry = in.u32();
  uint32_t buttons = in.u32();
  uint32_t ticks = in.u32();
  int32_t volume = in.i32_in(0, 100);
  if (ms >= static_cast<uint32_t>(kFps) || samples_carry >= static_cast<uint32_t>(kFps)) in.fail();
  if (!in.ok()) return false;
  ms_rest = ms;
  samples_rest = samples_carry;
  buttons_held = buttons;
  platform.ticks = ticks;  // first: the game's timers count from it
  platform.sound_volume(static_cast<unsigned short>(volume));
  if (!ZT_Random::shared().state_load(in)) return false;
  if (!menu->state_load(in)) return false;
  in_game = menu->device != nullptr;
  for (ZT_PlatformSoft::Channel& channel : platform.channels) {
    int32_t id = in.i32();
    uint32_t position = in.u32();
    if (!in.ok()) return false;
    channel.sound = nullptr;
    channel.position = 0;
    if (id < 0) continue;
    ZT_GameData_Sound* item = menu->game != nullptr ? menu->game->data.sound_get(id) : nullptr;
    const ZT_PlatformSoft_Sound* sound =
        item != nullptr ? dynamic_cast<const ZT_PlatformSoft_Sound*>(item->sound) : nullptr;
    if (sound == nullptr || position > sound->samples.size()) return false;
    channel.sound = sound;
    channel.position = position;
  }
  force_show = true;
  return in.ok();
}

bool ZT_RetroCore::state_load(const uint8_t* in, size_t length) {
  if (in == nullptr || length < kHeader) return false;
  ZT_StateReader header(in, kHeader);
  if (header.u32() != kMagic || header.u32() != kVersion) return false;
  uint32_t payload = header.u32();
  uint32_t checksum = header.u32();
  if (payload > length - kHeader || ZT_State_checksum(in + kHeader, payload) != checksum)
    return false;
  if (!state_save(backup.data(), backup.size())) return false;
  ZT_StateReader reader(in + kHeader, payload);
  if (payload_load(reader)) return true;
  // Refused half way: go back to what ran before.
  ZT_StateReader undo(backup.data() + kHeader, backup.size() - kHeader);
  payload_load(undo);
  return false;
}
