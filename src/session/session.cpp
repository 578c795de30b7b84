// SPDX-License-Identifier: MIT
// The session: the simulator put together once for every step-driven host,
// its clock, keys, views, due times and save states.
#include "session/session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/datapath.h"
#include "platform/keys.h"

namespace {

const uint32_t kMagic = 0x5453545a;  // "ZTST"
// 3 holds the LCD's segment fades; a state of 2 (without) loads with none.
const uint32_t kVersion = 3;
const uint32_t kVersionWithoutFades = 2;
const size_t kHeader = 16;  // magic, version, payload length, checksum
const char kButtonsFile[] = "buttons.txt";
const size_t kFadeBytes = 6 * 4 + 1;  // a segment's fade in a state

// What the pad's buttons press; L, R and X mean something only in a game.
struct PadKey {
  int pad;
  int key;
};
const PadKey kPad[] = {
    {ZT_Session::PAD_UP, ZT_KEY_UP},        {ZT_Session::PAD_DOWN, ZT_KEY_DOWN},
    {ZT_Session::PAD_LEFT, ZT_KEY_LEFT},    {ZT_Session::PAD_RIGHT, ZT_KEY_RIGHT},
    {ZT_Session::PAD_A, ZT_KEY_GAME_A},     {ZT_Session::PAD_B, ZT_KEY_GAME_B},
    {ZT_Session::PAD_Y, ZT_KEY_TIME},       {ZT_Session::PAD_START, ZT_KEY_ENTER},
    {ZT_Session::PAD_SELECT, ZT_KEY_BACK},  {ZT_Session::PAD_L2, ZT_KEY_VOLUME_DOWN},
    {ZT_Session::PAD_R2, ZT_KEY_VOLUME_UP},
};

bool bit(uint32_t bits, int n) { return (bits >> n) & 1u; }

}  // namespace

// Rise and fall times by eye, after how twisted-nematic segments behave: they
// darken about twice as fast as they clear, and take several times as long
// in the cold.
const ZT_Session::Response ZT_Session::kResponses[] = {
    {"off", "Off", 0, 0},
    {"quick", "Quick", 30, 80},
    {"natural", "Natural", 60, 150},
    {"cold", "Cold", 150, 400},
};
const int ZT_Session::kResponseCount = static_cast<int>(sizeof kResponses / sizeof kResponses[0]);

ZT_Session::ZT_Session(const Data& data)
    : platform(kWidth, kHeight),
      start_zoom(0),
      start_volume(ZT_Platform_StartVolume),
      game_seen(false),
      keys_held(0),
      pad_held(0),
      tap_key(-1),
      ms_rest(0),
      samples_rest(0),
      shown(0),
      force_new(true),
      size(0) {
  const bool folder =
      !data.folder.empty() && (data.pack == nullptr || ZT_Platform_is_folder(data.folder));
  platform.datapath_set(folder ? data.folder : std::string("zentick.pack"));
  if (!folder) platform.pack_set(data.pack);
  try {
    platform.initialize();
  } catch (const ZT_Exception& e) {
    // A folder copied in part shows only the first file missing: say which
    // folder was used, and what it lacks.
    if (!folder) throw;
    throw ZT_Exception("The data folder " + data.folder + " is incomplete: " + e.message);
  }
  clock = data.clock ? data.clock : Clock(ZT_Platform_Time_now);
  time_set(ZT_Platform_Time_unknown);
  time_reanchor();
  gamelist.reset(new ZT_GameList(&platform));
  menu.reset(new ZT_Menu(&platform, gamelist.get()));
  menu->random = &random;
  size = state_size_measure();
  backup.resize(size);
}

ZT_Session::~ZT_Session() {
  menu.reset();  // ends a running game, releasing its pictures and sounds
  gamelist.reset();
  platform.finalize();
}

// ---------------------------------------------------------------------------
// Time and sound

bool ZT_Session::advance(unsigned ms) {
  while (ms > 0) {
    // Steps before the next due time change nothing: the clock skips them.
    const int due = step_due();
    if (due != 0 && due != 1) {
      const unsigned idle = due < 0 ? ms : std::min(ms, static_cast<unsigned>(due - 1));
      platform.ticks_advance(idle);
      ms -= idle;
      if (ms == 0) break;
    }
    platform.ticks_advance(1);
    --ms;
    if (wall_follow) wall_check();
    if (!menu->Step()) return false;
    const bool running = menu->device != nullptr;
    if (running && !game_seen) game_started();
    game_seen = running;
  }
  // The segments on their way, as they look at the clock now: the same at
  // whatever rate the host takes frames.
  if (platform.fade_active()) platform.fade_refresh();
  return true;
}

void ZT_Session::response_set(int index) {
  if (index < 0 || index >= kResponseCount) return;
  response_index = index;
  platform.fade_set(kResponses[index].rise_ms, kResponses[index].fall_ms);
}

void ZT_Session::wall_check() {
  // Only where the watch turns to a new second: the steps between change
  // nothing, and an idle session (in the menu, switched off) shows no watch.
  if (!platform.time_anchored || (platform.ticks - platform.anchor_ticks) % 1000 != 0) return;
  ZT_Platform_Time wall;
  if (!clock || !clock(&wall) || !ZT_Platform_Time_valid(wall)) return;
  const int64_t ahead =
      ZT_Platform_Time_seconds(wall) - ZT_Platform_Time_seconds(platform.time_get());
  if (ahead > kWallSlack || ahead < -kWallSlack) platform.time_anchor(wall);
}

bool ZT_Session::advance_frame(unsigned fps) {
  if (fps == 0) return true;
  const uint32_t total = ms_rest + 1000;
  ms_rest = total % fps;
  return advance(total / fps);
}

void ZT_Session::audio(int16_t* out, int frames, int rate) {
  platform.audio_mix(out, frames, rate);
}

int ZT_Session::audio_frame(int16_t* out, unsigned fps) {
  if (fps == 0) return 0;
  const uint32_t total = samples_rest + kRate;
  samples_rest = total % fps;
  const int frames = static_cast<int>(total / fps);
  platform.audio_mix(out, frames, kRate);
  return frames;
}

void ZT_Session::game_started() {
  ZT_Device* device = menu->device;
  if (start_zoom != device->zoom) {
    device->zoom = start_zoom;
    device->ZoomChanged();
  }
  if (start_volume != device->volume) device->Volume(start_volume);
  buttons_load();
}

// ---------------------------------------------------------------------------
// Input

void ZT_Session::press(int key) { platform.key_push(key); }

void ZT_Session::key_down(int key) {
  if (key < 0 || key >= ZT_KEY_COUNT || bit(keys_held, key)) return;
  keys_held |= 1u << key;
  press(key);
}

void ZT_Session::key_up(int key) {
  if (key >= 0 && key < ZT_KEY_COUNT) keys_held &= ~(1u << key);
}

void ZT_Session::button_down(int key) {
  if (!in_game()) {
    if (key == ZT_KEY_LEFT) key = ZT_KEY_UP;
    if (key == ZT_KEY_RIGHT) key = ZT_KEY_DOWN;
  }
  press(key);
}

void ZT_Session::pad_set(uint32_t buttons) {
  const uint32_t pressed = buttons & ~pad_held;
  pad_held = buttons;
  for (const PadKey& p : kPad)
    if (bit(pressed, p.pad)) press(p.key);
  if (!in_game()) return;  // in the menu X must not quit, and there is no zoom
  if (bit(pressed, PAD_L)) zoom_step(-1);
  if (bit(pressed, PAD_R)) zoom_step(+1);
  if (bit(pressed, PAD_X)) press(ZT_KEY_ESCAPE);
}

bool ZT_Session::tap(int x, int y, bool down) {
  if (!down) {
    if (tap_key < 0) return false;
    key_up(tap_key);
    tap_key = -1;
    return true;
  }
  if (!in_game()) {
    const int row = menu->row_at(y);
    if (row < 0) return false;
    const int selected = menu->current < 0 ? 0 : menu->current;
    if (row == selected) {
      press(ZT_KEY_ENTER);
    } else {
      for (int i = selected; i < row; ++i) press(ZT_KEY_DOWN);
      for (int i = selected; i > row; --i) press(ZT_KEY_UP);
    }
    return true;
  }
  View v;
  if (!view(&v) || v.width <= 0 || v.height <= 0) return false;
  // Screen to picture pixels through the picture's place on the screen.
  ZT_GameData_Image* bg = menu->game->data.image_get(menu->game->bgimage_get(), 0);
  if (bg == nullptr || bg->image == nullptr) return false;
  const int64_t pw = bg->image->width_get(), ph = bg->image->height_get();
  const int64_t px = (static_cast<int64_t>(x) - v.x) * pw / v.width;
  const int64_t py = (static_cast<int64_t>(y) - v.y) * ph / v.height;
  for (const Button& b : buttons)
    if (px >= b.x && px < b.x + b.width && py >= b.y && py < b.y + b.height) {
      if (tap_key >= 0) key_up(tap_key);
      tap_key = b.key;
      key_up(b.key);  // a second pointer on the same button presses it again
      key_down(b.key);
      return true;
    }
  return false;
}

void ZT_Session::buttons_load() {
  buttons.clear();
  buttons_folder = menu->game->folder;
  std::vector<uint8_t> bytes;
  std::string reason;
  const std::string path = platform.datapath_get() + "/" + menu->game->folder + "/" + kButtonsFile;
  // The buttons are a convenience: a data set without them plays as before.
  if (!platform.data_read(path, &bytes, &reason)) return;
  // Lines "NAME X Y WIDTH HEIGHT"; '#' starts a comment line. Read with
  // sscanf: streams would bring the C++ library's locales into the core file.
  const std::string text(bytes.begin(), bytes.end());
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    char name[32];
    Button b;
    if (line.empty() || line[0] == '#' ||
        std::sscanf(line.c_str(), "%31s %d %d %d %d", name, &b.x, &b.y, &b.width, &b.height) != 5)
      continue;
    b.key = ZT_Platform_key_find(name);
    if (b.key >= 0 && b.width > 0 && b.height > 0) buttons.push_back(b);
  }
}

// ---------------------------------------------------------------------------
// What the host shows

bool ZT_Session::frame_new() {
  if (!force_new && shown == platform.presented) return false;
  force_new = false;
  shown = platform.presented;
  return true;
}

bool ZT_Session::in_game() const { return menu->device != nullptr; }

std::string ZT_Session::game() const {
  const int index = menu->current < 0 ? 0 : menu->current;
  if (index >= gamelist->count()) return "";
  return gamelist->get(index)->name;
}

bool ZT_Session::select(const std::string& name) {
  if (in_game()) return false;
  for (int i = 0; i < gamelist->count(); ++i) {
    if (gamelist->get(i)->name != name) continue;
    const int selected = menu->current < 0 ? 0 : menu->current;
    for (int k = selected; k < i; ++k) press(ZT_KEY_DOWN);
    for (int k = selected; k > i; --k) press(ZT_KEY_UP);
    return true;
  }
  return false;
}

bool ZT_Session::open(const std::string& name) {
  if (!select(name)) return false;
  press(ZT_KEY_ENTER);
  return true;
}

int ZT_Session::zoom() const { return in_game() ? menu->device->zoom : start_zoom; }

void ZT_Session::zoom_set(int level) {
  if (level < 0 || level > 2) return;
  start_zoom = level;
  if (in_game() && menu->device->zoom != level) press(ZT_KEY_ZOOM_0 + level);
}

void ZT_Session::zoom_step(int step, bool wrap) {
  if (!in_game()) return;
  ZT_Device* device = menu->device;
  int level = device->ZoomNext(step);
  if (level == device->zoom && wrap) level = device->ZoomNext(step > 0 ? -2 : 2);
  if (level != device->zoom) press(ZT_KEY_ZOOM_0 + level);
}

int ZT_Session::volume() const { return platform.volume; }

void ZT_Session::volume_set(int v) {
  if (v < 0) v = 0;
  if (v > ZT_Platform_MaxVolume) v = ZT_Platform_MaxVolume;
  start_volume = v;
  if (in_game())
    menu->device->Volume(v);
  else
    platform.sound_volume(static_cast<unsigned short>(v));
}

bool ZT_Session::view(View* out) {
  if (!in_game()) return false;
  ZT_Game* game = menu->game;
  ZT_Device* device = menu->device;
  ZT_GameData_Image* bg = game->data.image_get(game->bgimage_get(), 0);
  if (bg == nullptr || bg->image == nullptr) return false;
  int64_t x = device->bg_x, y = device->bg_y;
  int64_t w = bg->image->width_get(), h = bg->image->height_get();
  int zx, zy, zw, zh;
  if (ZT_Platform_zoom_rect(kWidth, kHeight, device->view_width, device->view_height, &zx, &zy, &zw,
                            &zh)) {
    x = (x - zx) * kWidth / zw;
    y = (y - zy) * kHeight / zh;
    w = w * kWidth / zw;
    h = h * kHeight / zh;
  }
  *out = View{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
  return true;
}

int ZT_Session::due_ms() {
  for (const ZT_PlatformSoft::Channel& c : platform.channels)
    if (c.sound != nullptr) return 1;    // the sound is mixed as it plays
  if (platform.fade_active()) return 1;  // and a segment drawn as it fades
  return step_due();
}

int ZT_Session::step_due() const {
  if (!platform.events.empty()) return 0;
  if (!in_game()) return menu->redraw || !menu->started ? 0 : -1;
  const ZT_Game* game = menu->game;
  if (game->changed) return 0;
  if (!game->turned_on) return -1;
  // The watch changes on the second; the timers when their period is over
  // (by differences, as the clock wraps).
  const uint32_t now = platform.ticks;
  int64_t due = 1000 - (now - platform.anchor_ticks) % 1000;
  for (const auto& entry : game->data.timers) {
    const ZT_GameData_Timer* t = entry.second.get();
    if (t == nullptr || t->interval == 0 || t->starttime == 0) continue;
    const int64_t since = static_cast<int32_t>(now - t->starttime);
    due = std::min(due, std::max<int64_t>(0, static_cast<int64_t>(t->interval) + 1 - since));
  }
  return static_cast<int>(due);
}

void ZT_Session::time_set(const ZT_Platform_Time& time) { platform.time_anchor(time); }

void ZT_Session::time_reanchor() {
  ZT_Platform_Time now;
  if (clock && clock(&now) && ZT_Platform_Time_valid(now)) platform.time_anchor(now);
}

// ---------------------------------------------------------------------------
// Save states

size_t ZT_Session::state_size_measure() {
  // One size for every state while the session runs (frontends rewind and
  // run ahead with it): the largest running game's, measured on fresh games.
  size_t largest = 0, positions = 0;
  for (int i = 0; i < gamelist->count(); ++i) {
    std::unique_ptr<ZT_Game> game(gamelist->get(i)->create());
    ZT_Device device(&platform);
    ZT_StateWriter probe(nullptr, 0);
    probe.text(gamelist->get(i)->name);
    device.state_save(probe);
    game->state_save(probe);
    largest = std::max(largest, probe.size());
    size_t declared = 0;
    for (const auto& outer : game->data.positions) declared += outer.second.size();
    positions = std::max(positions, declared);
  }
  // Every segment lit and as many clearing: more than a handheld shows.
  fade_slots = 2 * positions;
  ZT_StateWriter probe(nullptr, 0);
  payload_save(probe);  // the menu's share, with no game running
  return (kHeader + probe.size() + largest + fade_slots * kFadeBytes + 255) / 256 * 256;
}

void ZT_Session::payload_save(ZT_StateWriter& out) {
  out.u32(platform.ticks);
  out.i32(platform.volume);
  out.u32(platform.anchor_ticks);
  const ZT_Platform_Time& t = platform.anchor;
  for (int16_t field : {t.day, t.month, t.year, t.hour, t.minute, t.second}) out.i32(field);
  out.u32(ms_rest);
  out.u32(samples_rest);
  out.u32(keys_held);
  out.u32(pad_held);
  out.i32(start_zoom);
  out.i32(start_volume);
  random.state_save(out);
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
  fades_save(out);
}

// The segments' fades by the registry's image keys, as many as a state holds.
bool ZT_Session::fade_key(const ZT_PlatformSoft_Image* picture, int* id, int* index) const {
  if (menu->game == nullptr) return false;
  for (const auto& outer : menu->game->data.images)
    for (const auto& inner : outer.second)
      if (inner.second.get() != nullptr &&
          inner.second->image == static_cast<const ZT_Platform_Image*>(picture)) {
        *id = outer.first;
        *index = inner.first;
        return true;
      }
  return false;
}

void ZT_Session::fades_save(ZT_StateWriter& out) {
  int id, index;
  uint32_t count = 0;
  for (const ZT_PlatformSoft::Fade& f : platform.fades)
    if (count < fade_slots && fade_key(f.picture, &id, &index)) ++count;
  out.u32(count);
  for (const ZT_PlatformSoft::Fade& f : platform.fades) {
    if (count == 0) break;
    if (!fade_key(f.picture, &id, &index)) continue;
    --count;
    out.i32(id);
    out.i32(index);
    out.i32(f.x);
    out.i32(f.y);
    out.u32(platform.ticks - f.since);
    out.i32(f.from);
    out.b(f.rising);
  }
}

bool ZT_Session::fades_load(ZT_StateReader& in) {
  platform.fades.clear();
  const uint32_t count = in.u32();
  if (count > fade_slots || (count > 0 && menu->game == nullptr)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t id = in.i32(), index = in.i32();
    // Beyond any picture, and small enough that no sum with a size overflows.
    const int32_t x = in.i32_in(-(1 << 20), 1 << 20), y = in.i32_in(-(1 << 20), 1 << 20);
    const uint32_t ago = in.u32();
    const int32_t from = in.i32_in(0, ZT_PlatformSoft::kFadeFull);
    const bool rising = in.b();
    if (!in.ok()) return false;
    ZT_GameData_Image* item = menu->game->data.image_get(id, index);
    const ZT_PlatformSoft_Image* picture =
        item != nullptr ? dynamic_cast<const ZT_PlatformSoft_Image*>(item->image) : nullptr;
    // A fade on its way lasts a fraction of a second; a settled one any time.
    const bool settled = rising && from == ZT_PlatformSoft::kFadeFull;
    if (picture == nullptr || (!settled && ago > 0xffff)) return false;
    platform.fades.push_back(
        ZT_PlatformSoft::Fade{picture, x, y, platform.ticks - ago, from, rising, false});
  }
  return true;
}

bool ZT_Session::state_save(uint8_t* out, size_t length) {
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

bool ZT_Session::payload_load(ZT_StateReader& in, uint32_t version) {
  const uint32_t ticks = in.u32();
  const int32_t volume = in.i32_in(0, ZT_Platform_MaxVolume);
  const uint32_t anchor_ticks = in.u32();
  ZT_Platform_Time anchor;
  for (int16_t* field :
       {&anchor.day, &anchor.month, &anchor.year, &anchor.hour, &anchor.minute, &anchor.second})
    *field = static_cast<int16_t>(in.i32_in(-32768, 32767));
  const uint32_t ms_carry = in.u32();
  const uint32_t samples_carry = in.u32();
  const uint32_t keys = in.u32();
  const uint32_t pad = in.u32();
  const int32_t zoom_start = in.i32_in(0, 2);
  const int32_t volume_start = in.i32_in(0, ZT_Platform_MaxVolume);
  // Any clock reading is one a session reaches (it wraps after 49.7 days),
  // and so is any anchor behind it: one more than a day back (from a build
  // that did not carry it) is carried below.
  if (!ZT_Platform_Time_valid(anchor) || ms_carry >= 1000 || samples_carry >= 1000 ||
      keys >> ZT_KEY_COUNT != 0 || pad >> (PAD_R2 + 1) != 0)
    in.fail();
  if (!in.ok()) return false;
  platform.ticks = ticks;  // first: the game's timers count from it
  platform.sound_volume(static_cast<unsigned short>(volume));
  platform.anchor = anchor;
  platform.anchor_ticks = anchor_ticks;
  platform.time_anchored = true;
  platform.time_carry();
  ms_rest = ms_carry;
  samples_rest = samples_carry;
  keys_held = keys;
  pad_held = pad;
  start_zoom = zoom_start;
  start_volume = volume_start;
  if (!random.state_load(in)) return false;
  if (!menu->state_load(in)) return false;
  game_seen = in_game();
  if (game_seen && buttons_folder != menu->game->folder) buttons_load();
  tap_key = -1;
  for (ZT_PlatformSoft::Channel& channel : platform.channels) {
    const int32_t id = in.i32();
    const uint32_t position = in.u32();
    if (!in.ok()) return false;
    channel.sound = nullptr;
    channel.position = 0;
    if (id < 0) continue;
    ZT_GameData_Sound* item = menu->game != nullptr ? menu->game->data.sound_get(id) : nullptr;
    const ZT_PlatformSoft_Sound* sound =
        item != nullptr ? dynamic_cast<const ZT_PlatformSoft_Sound*>(item->sound) : nullptr;
    // A channel that reached its sound's end is free: it was never saved so.
    if (sound == nullptr || position >= sound->samples.size()) return false;
    channel.sound = sound;
    channel.position = position;
  }
  if (version != kVersionWithoutFades && !fades_load(in)) return false;
  if (version == kVersionWithoutFades) platform.fades.clear();
  force_new = true;
  return in.ok();
}

bool ZT_Session::state_load(const uint8_t* in, size_t length) {
  if (in == nullptr || length < kHeader) return false;
  ZT_StateReader header(in, kHeader);
  const uint32_t magic = header.u32(), version = header.u32();
  if (magic != kMagic || (version != kVersion && version != kVersionWithoutFades)) return false;
  const uint32_t payload = header.u32();
  const uint32_t checksum = header.u32();
  if (payload > length - kHeader || ZT_State_checksum(in + kHeader, payload) != checksum)
    return false;
  ZT_StateWriter kept(backup.data(), backup.size());
  payload_save(kept);
  if (!kept.ok()) return false;
  ZT_StateReader reader(in + kHeader, payload);
  if (payload_load(reader, version)) return true;
  // Refused half way: go back to what ran before.
  ZT_StateReader undo(backup.data(), kept.size());
  payload_load(undo, kVersion);
  return false;
}
