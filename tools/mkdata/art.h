// The pictures themselves: watch symbols, digits and, per handheld, a themed
// character with its poses, items and decorations; and the background.
#ifndef ZT_TOOLS_MKDATA_ART_H
#define ZT_TOOLS_MKDATA_ART_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include "mkdata/layout.h"

namespace mkdata {

// Colours of an unlit and a lit LCD.
extern const SDL_Color kLcdInk;

// Draw every segment picture of the layout into its mask; no ink is left
// outside the LCD at any place the picture is shown.
void draw_pictures(Layout& layout);

// The handheld: body, bezel, LCD panel with faint segments, title and buttons.
// A 32-bit surface of the zoom-box size; the caller frees it. Null on failure.
// Texts use the TrueType faces at the two paths.
SDL_Surface* draw_background(const Layout& layout, const std::string& title,
                             const std::string& bold_font, const std::string& regular_font);

}  // namespace mkdata

#endif
