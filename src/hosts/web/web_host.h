// The web page's host: the software platform, the catalogue and the menu,
// driven by the page through a handful of C functions (exported to
// JavaScript by the WebAssembly build; plain functions elsewhere).
#ifndef ZT_HOSTS_WEB_WEB_HOST_H
#define ZT_HOSTS_WEB_WEB_HOST_H

#include <cstdint>

extern "C" {
// Builds the platform, the catalogue and the menu on the data folder `datapath`
// (the page's is "/data"). 0 on success; -1 with zt_web_error() set.
int zt_web_start(const char* datapath);
// Releases everything zt_web_start built; safe to call when nothing was.
void zt_web_stop();
// Advances the clock by `ms` milliseconds, one menu step per millisecond.
// 0 on success; -1 when the simulator stopped on an error (zt_web_error()).
int zt_web_run(int ms);
// A key of the keyboard, as a ZT_KEY_ code (same meanings as on the desktop).
void zt_web_key(int key);
// An on-screen button, as a ZT_KEY_ code: in the menu, Left and Right choose
// the game, as a phone has no Up and Down buttons.
void zt_web_button(int key);
// The on-screen zoom button: the next zoom level of the running game.
void zt_web_zoom();
// 1 while a game runs, 0 in the menu.
int zt_web_in_game();
int zt_web_width();
int zt_web_height();
// The presented frame as RGBA bytes (width x height x 4) when it changed
// since the last call; null when it did not.
const uint8_t* zt_web_frame();
// `frames` samples of signed 16-bit mono sound at 22050 Hz, mixed now.
const int16_t* zt_web_audio(int frames);
int zt_web_audio_rate();
// The message of the last error, or an empty text.
const char* zt_web_error();
}

#endif
