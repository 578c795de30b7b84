// SPDX-License-Identifier: MIT
// The web page's host: one ZT_Session driven by the page through a handful of
// C functions (exported to JavaScript by the WebAssembly build; plain
// functions elsewhere). The page owns the frame loop, the clock and the
// input; keys travel by name.
#ifndef ZT_HOSTS_WEB_WEB_HOST_H
#define ZT_HOSTS_WEB_WEB_HOST_H

#include <cstdint>

// Kept in the WebAssembly module and callable from the page.
#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define ZT_WEB_API EMSCRIPTEN_KEEPALIVE
#else
#define ZT_WEB_API
#endif

extern "C" {
// Builds the simulator on the data folder `datapath`. 0 on success; -1 with
// zt_web_error() set.
ZT_WEB_API int zt_web_start(const char* datapath);
// The same on the data pack's `size` bytes at `pack` (copied).
ZT_WEB_API int zt_web_start_pack(const uint8_t* pack, int size);
// Releases everything a start built; safe to call when nothing was.
ZT_WEB_API void zt_web_stop();
// Advances the clock by `ms` milliseconds, one menu step per millisecond.
// 0 on success; -1 when the simulator stopped on an error (zt_web_error()).
ZT_WEB_API int zt_web_run(int ms);
// A key of the keyboard by name ("game_a"), down (1) or up (0); -1 for a
// name that is no key.
ZT_WEB_API int zt_web_key(const char* name, int down);
// The name of the key that the desktop's key number `number` (SDL 1.2's,
// '1' for the digit one) presses, "" for none: the page maps its keyboard
// through the desktop's own table.
ZT_WEB_API const char* zt_web_board_key(int number);
// An on-screen button by name: in the menu Left and Right choose the game.
ZT_WEB_API int zt_web_button(const char* name, int down);
// A gamepad: the RetroPad buttons held now, one bit per RetroPad id.
ZT_WEB_API void zt_web_pad(unsigned buttons);
// The zoom button: the next (+1) or previous (-1) level by magnification,
// round and round.
ZT_WEB_API void zt_web_zoom(int step);
// A pointer went down (1) or up (0) at (x, y) of the 640 x 480 screen: the
// button drawn on the handheld there, or a title of the menu. 1 if it hit.
ZT_WEB_API int zt_web_tap(int x, int y, int down);
// 1 while a game runs, 0 in the menu.
ZT_WEB_API int zt_web_in_game();
ZT_WEB_API int zt_web_width();
ZT_WEB_API int zt_web_height();
// The presented frame as RGBA bytes (width x height x 4) when it changed
// since the last call; null when it did not.
ZT_WEB_API const uint8_t* zt_web_frame();
// `frames` samples of signed 16-bit mono sound at zt_web_audio_rate(), mixed now.
ZT_WEB_API const int16_t* zt_web_audio(int frames);
ZT_WEB_API int zt_web_audio_rate();
// Milliseconds until anything is due; -1 when nothing is until the next input.
ZT_WEB_API int zt_web_due_ms();
// The browser's local time now (year as 2026, month 1..12): the watch starts
// from it and follows it (the C library's clock of a WebAssembly module ends
// in 2038). The page hands it before a start and before each run.
ZT_WEB_API void zt_web_time(int year, int month, int day, int hour, int minute, int second);
// The watch back on that time (after a hidden tab).
ZT_WEB_API void zt_web_reanchor();
// The watch's date and time, "2026-12-09 10:30:00".
ZT_WEB_API const char* zt_web_watch();
// The selected (or running) game's name, "" when none; selecting one by name
// in the menu (-1 when unknown or in a game).
ZT_WEB_API const char* zt_web_game();
ZT_WEB_API int zt_web_select(const char* name);
// Selects it and starts it, as Return in the menu does (-1 as above).
ZT_WEB_API int zt_web_open(const char* name);
// Zoom (0 none, 1 the LCD, 2 the handheld) and volume (0..100): of the game
// that runs and of those started later.
ZT_WEB_API int zt_web_zoom_level();
ZT_WEB_API void zt_web_zoom_set(int level);
ZT_WEB_API int zt_web_volume();
ZT_WEB_API void zt_web_volume_set(int volume);
// The LCD's segment response: the level in use (0 off), setting it, and the
// name of level `index` ("Natural"; "" past the last).
ZT_WEB_API int zt_web_response();
ZT_WEB_API void zt_web_response_set(int index);
ZT_WEB_API const char* zt_web_response_name(int index);
// The message of the last error, or an empty text.
ZT_WEB_API const char* zt_web_error();
}

#endif
