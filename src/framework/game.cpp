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
