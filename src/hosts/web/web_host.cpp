// The web page's host. The page owns the frame loop, the clock and the input:
// it calls zt_web_run with the milliseconds that passed, pushes keys and reads
// the frame and the sound from here.
#include "hosts/web/web_host.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/plat_soft.h"
#include "platform/platform.h"

namespace {
const int kWidth = 640;
const int kHeight = 480;

struct Host {
  ZT_PlatformSoft platform{kWidth, kHeight};
  std::unique_ptr<ZT_GameList> gamelist;
  std::unique_ptr<ZT_Menu> menu;
  unsigned long shown = 0;  // the platform's presented count at the last frame read
  std::vector<uint8_t> rgba;
  std::vector<int16_t> audio;

  ~Host() {
    // The menu frees its picture and any running game before the platform goes.
    menu.reset();
    gamelist.reset();
    platform.finalize();
  }
};

std::unique_ptr<Host> host;
std::string error;

// Ends the simulator on an error, keeping its message for the page.
int stop_on(const std::string& message) {
  error = message;
  host.reset();
  return -1;
}

bool in_game() { return host && host->menu && host->menu->device != nullptr; }

// 5-6-5 bits widened so that full scale stays full scale.
void rgb565_to_rgba(const std::vector<uint16_t>& in, std::vector<uint8_t>& out) {
  out.resize(in.size() * 4);
  uint8_t* o = out.data();
  for (uint16_t p : in) {
    unsigned r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    o[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    o[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    o[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
    o[3] = 255;
    o += 4;
  }
}
}  // namespace

extern "C" {

int zt_web_start(const char* datapath) {
  zt_web_stop();
  error.clear();
  try {
    host.reset(new Host());
    host->platform.datapath_set(datapath != nullptr ? datapath : "");
    host->platform.initialize();
    // The catalogue copies the data path, so it comes after datapath_set.
    host->gamelist.reset(new ZT_GameList(&host->platform));
    host->menu.reset(new ZT_Menu(&host->platform, host->gamelist.get()));
  } catch (const ZT_Exception& e) {
    return stop_on(e.message);
  } catch (const std::exception& e) {  // out of memory, most likely
    return stop_on(e.what());
  }
  return 0;
}

void zt_web_stop() { host.reset(); }

int zt_web_run(int ms) {
  if (!host) return -1;
  try {
    for (int i = 0; i < ms; ++i) {
      host->platform.ticks_advance(1);
      // A page cannot close itself: Escape in the menu (the desktop's quit)
      // leaves the menu as it is, so the result of Step is not needed.
      host->menu->Step();
    }
  } catch (const ZT_Exception& e) {
    return stop_on(e.message);
  } catch (const std::exception& e) {  // out of memory, most likely
    return stop_on(e.what());
  }
  return 0;
}

void zt_web_key(int key) {
  if (host && key >= ZT_KEY_UP && key <= ZT_KEY_ZOOM_2) host->platform.key_push(key);
}

void zt_web_button(int key) {
  if (!in_game()) {
    if (key == ZT_KEY_LEFT) key = ZT_KEY_UP;
    if (key == ZT_KEY_RIGHT) key = ZT_KEY_DOWN;
  }
  zt_web_key(key);
}

void zt_web_zoom() {
  if (!in_game()) return;
  static const int kZoomKeys[] = {ZT_KEY_ZOOM_0, ZT_KEY_ZOOM_1, ZT_KEY_ZOOM_2};
  int next = (host->menu->device->zoom + 1) % 3;
  zt_web_key(kZoomKeys[next]);
}

int zt_web_in_game() { return in_game() ? 1 : 0; }

int zt_web_width() { return kWidth; }

int zt_web_height() { return kHeight; }

const uint8_t* zt_web_frame() {
  if (!host || host->platform.presented == host->shown) return nullptr;
  host->shown = host->platform.presented;
  rgb565_to_rgba(host->platform.screen, host->rgba);
  return host->rgba.data();
}

const int16_t* zt_web_audio(int frames) {
  if (!host || frames <= 0) return nullptr;
  host->audio.resize(frames);
  host->platform.audio_mix(host->audio.data(), frames, ZT_PlatformSoft::kMixRate);
  return host->audio.data();
}

int zt_web_audio_rate() { return ZT_PlatformSoft::kMixRate; }

const char* zt_web_error() { return error.c_str(); }
}
