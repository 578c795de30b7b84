// SPDX-License-Identifier: MIT
// The web page's host: translates the page's calls into session calls and
// keeps an error as text for the page instead of ending it.
#include "hosts/web/web_host.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/decode/pack.h"
#include "platform/keys.h"
#include "session/session.h"

namespace {

std::unique_ptr<ZT_Session> session;
std::string error;
std::string name;
std::vector<uint8_t> rgba;
std::vector<int16_t> sound;
char watch[64];
// The page's clock; until the page hands a time, the C library's.
bool browser_known = false;
ZT_Platform_Time browser_time;

bool browser_clock(ZT_Platform_Time* now) {
  if (!browser_known) return ZT_Platform_Time_now(now);
  *now = browser_time;
  return true;
}

// Ends the simulator on an error, keeping its message for the page.
int stop_on(const std::string& message) {
  error = message;
  session.reset();
  return -1;
}

// Runs `body` on the session, turning what it throws into the page's error.
template <class F>
int guarded(F body) {
  if (!session) return -1;
  try {
    body();
  } catch (const ZT_Exception& e) {
    return stop_on(e.message);
  } catch (const std::exception& e) {  // out of memory, most likely
    return stop_on(e.what());
  }
  return 0;
}

int start(const ZT_Session::Data& data) {
  zt_web_stop();
  error.clear();
  try {
    ZT_Session::Data with_clock = data;
    with_clock.clock = browser_clock;
    session.reset(new ZT_Session(with_clock));
    session->wall_follow = true;  // a page has no peers to agree with
  } catch (const ZT_Exception& e) {
    return stop_on(e.message);
  } catch (const std::exception& e) {
    return stop_on(e.what());
  }
  return 0;
}

// 5-6-5 bits widened so that full scale stays full scale.
void rgb565_to_rgba(const uint16_t* in, size_t count, std::vector<uint8_t>& out) {
  out.resize(count * 4);
  uint8_t* o = out.data();
  for (size_t i = 0; i < count; ++i) {
    const unsigned p = in[i], r = p >> 11, g = (p >> 5) & 63, b = p & 31;
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
  ZT_Session::Data data;
  data.folder = datapath != nullptr ? datapath : "";
  return start(data);
}

int zt_web_start_pack(const uint8_t* pack, int size) {
  ZT_Session::Data data;
  std::string reason;
  data.pack =
      ZT_Pack::open_bytes(std::vector<uint8_t>(pack, pack + (size > 0 ? size : 0)), &reason);
  if (data.pack == nullptr) {
    zt_web_stop();
    return stop_on("Unable to read the data pack: " + reason);
  }
  return start(data);
}

void zt_web_stop() { session.reset(); }

// A page cannot close itself: Escape in the menu (the desktop's quit) leaves
// the menu as it is, so advance's result is not needed.
int zt_web_run(int ms) {
  return guarded([&] { session->advance(ms > 0 ? static_cast<unsigned>(ms) : 0); });
}

int zt_web_key(const char* key_name, int down) {
  const int key = ZT_Platform_key_find(key_name);
  if (key < 0 || !session) return -1;
  if (down)
    session->key_down(key);
  else
    session->key_up(key);
  return 0;
}

const char* zt_web_board_key(int number) {
  const char* key = ZT_Platform_key_name(ZT_Platform_keyboard_find(number));
  return key != nullptr ? key : "";
}

int zt_web_button(const char* key_name, int down) {
  const int key = ZT_Platform_key_find(key_name);
  if (key < 0 || !session) return -1;
  if (down) session->button_down(key);
  return 0;
}

void zt_web_pad(unsigned buttons) {
  if (session) session->pad_set(buttons);
}

void zt_web_zoom(int step) {
  if (session) session->zoom_step(step < 0 ? -1 : 1, true);
}

int zt_web_tap(int x, int y, int down) { return session && session->tap(x, y, down != 0) ? 1 : 0; }

int zt_web_in_game() { return session && session->in_game() ? 1 : 0; }

int zt_web_width() { return ZT_Session::kWidth; }

int zt_web_height() { return ZT_Session::kHeight; }

const uint8_t* zt_web_frame() {
  if (!session || !session->frame_new()) return nullptr;
  rgb565_to_rgba(session->frame(), static_cast<size_t>(ZT_Session::kWidth) * ZT_Session::kHeight,
                 rgba);
  return rgba.data();
}

const int16_t* zt_web_audio(int frames) {
  if (!session || frames <= 0) return nullptr;
  sound.resize(static_cast<size_t>(frames));
  session->audio(sound.data(), frames);
  return sound.data();
}

int zt_web_audio_rate() { return ZT_Session::kRate; }

int zt_web_due_ms() { return session ? session->due_ms() : -1; }

void zt_web_time(int year, int month, int day, int hour, int minute, int second) {
  const ZT_Platform_Time t = {static_cast<int16_t>(day),         static_cast<int16_t>(month),
                              static_cast<int16_t>(year - 1900), static_cast<int16_t>(hour),
                              static_cast<int16_t>(minute),      static_cast<int16_t>(second)};
  browser_known = year >= 1900 && year <= 9999 && ZT_Platform_Time_valid(t);
  if (browser_known) browser_time = t;
}

void zt_web_reanchor() {
  if (session) session->time_reanchor();
}

const char* zt_web_watch() {
  watch[0] = '\0';
  if (session) {
    const ZT_Platform_Time t = session->platform.time_get();
    std::snprintf(watch, sizeof watch, "%04d-%02d-%02d %02d:%02d:%02d", 1900 + t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
  }
  return watch;
}

const char* zt_web_game() {
  name = session ? session->game() : "";
  return name.c_str();
}

int zt_web_select(const char* game) {
  return session && game != nullptr && session->select(game) ? 0 : -1;
}

int zt_web_open(const char* game) {
  return session && game != nullptr && session->open(game) ? 0 : -1;
}

int zt_web_zoom_level() { return session ? session->zoom() : 0; }

void zt_web_zoom_set(int level) {
  if (session) session->zoom_set(level);
}

int zt_web_volume() { return session ? session->volume() : 0; }

void zt_web_volume_set(int volume) {
  if (session) session->volume_set(volume);
}

int zt_web_response() { return session ? session->response() : 0; }

void zt_web_response_set(int index) {
  if (session) session->response_set(index);
}

const char* zt_web_response_name(int index) {
  return index >= 0 && index < ZT_Session::kResponseCount ? ZT_Session::kResponses[index].label
                                                           : "";
}

const char* zt_web_error() { return error.c_str(); }
}
