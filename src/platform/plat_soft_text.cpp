// SPDX-License-Identifier: MIT
// Text for the software platform: lines laid out and measured with SDL_ttf's
// arithmetic from the font the decoders read, drawn in one bit like SDL_ttf's
// solid text, so that the menu's layout is the desktop program's.
#include "platform/decode/media.h"
#include "platform/plat_soft.h"

// SDL_ttf's size of a line: the pen's extent, widened by glyphs that reach
// past it; the height is always the font's.
static void text_extent(const zt_decode::Font* font, const std::string& text, int* minx,
                        int* maxx) {
  int x = 0, lo = 0, hi = 0;
  for (unsigned char c : text) {
    const zt_decode::Glyph& g = font->glyphs[c];
    if (x + g.minx < lo) lo = x + g.minx;
    const int z = x + (g.advance > g.maxx ? g.advance : g.maxx);
    if (z > hi) hi = z;
    x += g.advance;
  }
  *minx = lo;
  *maxx = hi;
}

int ZT_PlatformSoft::text_fontheight() { return font ? font->lineskip : -1; }

int ZT_PlatformSoft::text_width(const std::string& text) {
  if (!font) return -1;
  int lo, hi;
  text_extent(font.get(), text, &lo, &hi);
  return hi - lo;
}

int ZT_PlatformSoft::text_height(const std::string& text) {
  (void)text;
  return font ? font->height : -1;
}

void ZT_PlatformSoft::text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) {
  drawing_pictures = false;
  if (!font) return;
  int lo, hi;
  text_extent(font.get(), text, &lo, &hi);
  const int w = hi - lo, h = font->height;
  if (w <= 0) return;  // SDL_ttf renders nothing for a line without width
  frame_prepare(0, 0, width, height);
  // As SDL_ttf renders a line: glyphs set into a box of the line's size and
  // clipped to it; the box then copied with its unset pixels see-through.
  const uint16_t ink = colour ? rgb565_get(colour->r, colour->g, colour->b) : 0xffff;
  int pen = 0;
  bool first = true;
  for (unsigned char c : text) {
    const zt_decode::Glyph& g = font->glyphs[c];
    if (first && g.minx < 0) pen -= g.minx;
    first = false;
    const int gw = g.maxx - g.minx, yoffset = font->ascent - g.maxy;
    for (int row = 0; row < g.maxy - g.miny; ++row) {
      const int ly = row + yoffset, fy = y + ly;
      if (ly < 0 || ly >= h || fy < 0 || fy >= height) continue;
      const uint8_t* bits = &g.bits[static_cast<size_t>(row) * gw];
      for (int col = 0; col < gw; ++col) {
        const int lx = pen + g.minx + col, fx = x + lx;
        if (bits[col] && lx >= 0 && lx < w && fx >= 0 && fx < width) {
          frame[static_cast<size_t>(fy) * width + fx] = ink;
        }
      }
    }
    pen += g.advance;
  }
}
