// SPDX-License-Identifier: MIT
// The game base: power, mode, redraw flag, timer polling and the registry
// operations the engines use.
#include "framework/game.h"

#include "framework/device.h"

ZT_Game::ZT_Game()
    : data(this),
      zoom_width(0),
      zoom_height(0),
      turned_on(false),
      mode(-1),
      lcd_x(-1),
      lcd_y(-1),
      lcd_width(-1),
      lcd_height(-1),
      device(nullptr),
      changed(true) {}

ZT_Game::~ZT_Game() {}

int ZT_Game::ModeCount() { return do_modecount(); }
void ZT_Game::Event(ZT_Platform_Event*) {}
int ZT_Game::bgimage_get() { return -1; }
ZT_Platform_GameType ZT_Game::do_gametype_get() { return ZT_GAMETYPE_NONE; }
void ZT_Game::do_turnon() {}
void ZT_Game::do_turnoff() {}
int ZT_Game::do_modecount() { return 0; }
bool ZT_Game::do_setmode(int) { return false; }
void ZT_Game::do_timer(int) {}
void ZT_Game::do_update() {}

void ZT_Game::Load(ZT_Device* device, const std::string& path) {
  this->device = device;  // first: the items reach the platform through it
  data.Load(path + "/" + folder);
}

void ZT_Game::Unload() {
  data.Unload();
  device = nullptr;
}

void ZT_Game::SetMode(int mode) {
  if (!turned_on) return;
  if (!do_setmode(mode)) return;
  this->mode = mode;  // after the hook, which still sees the previous mode
}

void ZT_Game::Changed() { changed = true; }

bool ZT_Game::CheckChanged() {
  bool was = changed;
  changed = false;
  return was;
}

ZT_Platform* ZT_Game::platform_get() { return device != nullptr ? device->platform : nullptr; }

void ZT_Game::Update() {
  // Walk by key rather than by iterator: do_timer may declare timers again or
  // unload the registry, and the held copy keeps the fired timer alive meanwhile.
  auto it = data.timers.begin();
  while (it != data.timers.end()) {
    const int key = it->first;
    linked_ptr<ZT_GameData_Timer> timer(it->second);
    if (timer.get() != nullptr && timer->finished()) {
      do_timer(timer->id);
      timer->loop();
    }
    it = data.timers.upper_bound(key);
  }
  do_update();
}

void ZT_Game::data_playsound(int id) {
  ZT_GameData_Sound* sound = data.sound_get(id);
  ZT_Platform* platform = platform_get();
  if (sound == nullptr || sound->sound == nullptr || platform == nullptr) return;
  platform->sound_play(sound->sound);
}

void ZT_Game::data_stopallsounds() {
  ZT_Platform* platform = platform_get();
  if (platform != nullptr) platform->sound_stop_all();
}

void ZT_Game::data_starttimer(int id, unsigned int ms) {
  ZT_GameData_Timer* timer = data.timer_get(id);
  if (timer != nullptr) timer->start(ms);
}

void ZT_Game::data_delaytimer(int id, unsigned int ms) {
  ZT_GameData_Timer* timer = data.timer_get(id);
  if (timer != nullptr) timer->delay(ms);
}

void ZT_Game::data_stopalltimers() {
  for (auto& entry : data.timers)
    if (entry.second.get() != nullptr) entry.second->stop();
}

void ZT_Game::data_hideall(bool reset) {
  for (auto& outer : data.positions)
    for (auto& inner : outer.second) {
      ZT_GameData_Position* position = inner.second.get();
      if (position == nullptr) continue;
      position->visible = false;
      if (reset) position->state = -1;
      Changed();
    }
}

void ZT_Game::data_showall() {
  for (auto& outer : data.positions)
    for (auto& inner : outer.second) {
      ZT_GameData_Position* position = inner.second.get();
      if (position == nullptr) continue;
      position->visible = true;
      Changed();
    }
}

namespace {
// Bounds for coordinates read from a state: far beyond any picture, small
// enough that no sum of them overflows.
const int32_t kCoordinateLimit = 1 << 20;
// No engine sets a timer longer than a minute: a state with one further
// ahead was not written by a game and would stop it for good.
const uint32_t kTimerLimit = 1 << 16;

// Declared positions and timers (a state holds them all, and only them).
uint32_t positions_declared(ZT_GameData& data) {
  uint32_t count = 0;
  for (auto& outer : data.positions)
    for (auto& inner : outer.second)
      if (inner.second.get() != nullptr) ++count;
  return count;
}

uint32_t timers_declared(ZT_GameData& data) {
  uint32_t count = 0;
  for (auto& entry : data.timers)
    if (entry.second.get() != nullptr) ++count;
  return count;
}
}  // namespace

void ZT_Game::state_save(ZT_StateWriter& out) {
  out.text(folder);  // names the handheld: the layouts of two may be alike
  out.b(turned_on);
  out.i32(mode);
  out.u32(positions_declared(data));
  for (auto& outer : data.positions)
    for (auto& inner : outer.second) {
      const ZT_GameData_Position* p = inner.second.get();
      if (p == nullptr) continue;
      out.i32(outer.first);
      out.i32(inner.first);
      out.i32(p->x);
      out.i32(p->y);
      out.i32(p->image_id);
      out.i32(p->image_index);
      out.i32(p->state);
      out.b(p->visible);
    }
  ZT_Platform* platform = platform_get();
  uint32_t now = platform != nullptr ? platform->ticks_get() : 0;
  out.u32(timers_declared(data));
  for (auto& entry : data.timers) {
    const ZT_GameData_Timer* t = entry.second.get();
    if (t == nullptr) continue;
    out.i32(entry.first);
    out.i32(t->id);
    out.u32(t->interval);
    out.b(t->repeat);
    out.b(t->starttime != 0);
    // Relative: a period may start in the future; 0 for a stopped timer,
    // whose start means nothing.
    out.u32(t->starttime != 0 ? t->starttime - now : 0);
    out.u32(t->pending_delay);
  }
}

bool ZT_Game::state_load(ZT_StateReader& in) {
  if (!in.text_is(folder)) return false;
  bool on = in.b();
  int32_t new_mode = in.i32_in(-1, ModeCount() - 1);
  if (in.u32() != positions_declared(data)) in.fail();
  // Keys must match this game's declarations one by one: a state of another
  // game, or of another version of this one, is refused here.
  for (auto& outer : data.positions) {
    for (auto& inner : outer.second) {
      ZT_GameData_Position* p = inner.second.get();
      if (p == nullptr) continue;
      if (in.i32() != outer.first || in.i32() != inner.first) in.fail();
      int32_t x = in.i32_in(-kCoordinateLimit, kCoordinateLimit);
      int32_t y = in.i32_in(-kCoordinateLimit, kCoordinateLimit);
      int32_t image_id = in.i32();
      int32_t image_index = in.i32();
      int32_t state = in.i32();
      bool visible = in.b();
      if (!in.ok()) return false;
      p->x = x;
      p->y = y;
      p->image_id = image_id < 0 ? -1 : image_id;
      p->image_index = image_id < 0 ? -1 : image_index;
      p->state = state;
      p->visible = visible;
    }
  }
  ZT_Platform* platform = platform_get();
  uint32_t now = platform != nullptr ? platform->ticks_get() : 0;
  if (in.u32() != timers_declared(data)) in.fail();
  for (auto& entry : data.timers) {
    ZT_GameData_Timer* t = entry.second.get();
    if (t == nullptr) continue;
    if (in.i32() != entry.first || in.i32() != t->id) in.fail();
    uint32_t interval = in.u32();
    bool repeat = in.b();
    bool running = in.b();
    uint32_t ahead = in.u32();
    uint32_t start = now + ahead;
    uint32_t delay = in.u32();
    if (interval > kTimerLimit || delay > kTimerLimit ||
        (running && static_cast<int32_t>(ahead) > 0 && ahead > kTimerLimit))
      in.fail();
    if (!in.ok()) return false;
    t->interval = interval;
    t->repeat = repeat;
    t->starttime = running ? (start == 0 ? 1 : start) : 0;  // 0 would read as stopped
    t->pending_delay = delay;
  }
  if (!in.ok()) return false;
  turned_on = on;
  mode = new_mode;
  changed = true;  // the loaded picture is drawn afresh
  return true;
}
