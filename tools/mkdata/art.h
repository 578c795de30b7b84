// SPDX-License-Identifier: MIT
// The pictures themselves: watch symbols, digits and, per handheld, a themed
// character with its poses, items and decorations; and the background.
#ifndef ZT_TOOLS_MKDATA_ART_H
#define ZT_TOOLS_MKDATA_ART_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

#include "mkdata/layout.h"

namespace mkdata {

// Colours of an unlit and a lit LCD.
extern const SDL_Color kLcdInk;

// Draw every segment picture of the layout into its mask; no ink is left
// outside the LCD at any place the picture is shown.
void draw_pictures(Layout& layout);

// The screen the handheld is shown on, centred on its LCD.
const int kScreenWidth = 640;
const int kScreenHeight = 480;

// Where a button is drawn on the background, for taps on the picture: a key
// name the hosts know ("left", "game_a", "power", ...) and its box in pixels.
struct Button {
  std::string name;
  int x, y, w, h;
};

// The handheld: body, bezel, LCD panel with faint segments, title and buttons.
// A 32-bit surface of the zoom-box size; the caller frees it. Null on failure.
// Texts use the TrueType faces at the two paths. The body stays within the
// screen when the LCD is centred on it. `buttons` receives the drawn buttons.
SDL_Surface* draw_background(const Layout& layout, const std::string& title,
                             const std::string& bold_font, const std::string& regular_font,
                             std::vector<Button>* buttons);

// The buttons as the text file beside the pictures: "NAME X Y WIDTH HEIGHT" lines.
std::string buttons_text(const std::vector<Button>& buttons);

}  // namespace mkdata

#endif
