// The software platform's file readers, kept apart from the platform so that
// the tests and the fuzzer reach them with bytes rather than files.
#ifndef ZT_PLATFORM_PLAT_SOFT_MEDIA_H
#define ZT_PLATFORM_PLAT_SOFT_MEDIA_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/plat_soft.h"

// One glyph as SDL_ttf keeps it: its box on whole pixels around the pen
// (y upward) and its one-bit picture, maxx - minx wide and maxy - miny high.
struct ZT_PlatformSoft_Glyph {
  int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
  std::vector<uint8_t> bits;
};

// The font opened at one size: SDL_ttf's metrics and every 8-bit character's
// glyph, rendered once so that drawing text only copies.
struct ZT_PlatformSoft_Font {
  int ascent = 0;
  int height = 0;    // SDL_ttf's height of every line: ascent - descent + 1
  int lineskip = 0;  // the distance between lines
  ZT_PlatformSoft_Glyph glyphs[256];
};

namespace zt_soft {

// A file's whole contents; false with the reason when it cannot be read.
bool file_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason);

// A BMP as stored: each pixel's value in the file's own format (a palette
// index, or packed bits under the masks), so that the colour key is compared
// where the desktop program compares it.
struct Bitmap {
  int width = 0;
  int height = 0;
  int bits = 0;                   // 8 (1- and 4-bit pictures are widened to it), 15, 16, 24 or 32
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue; unused with a palette
  std::vector<ZT_Platform_RGB> palette;
  std::vector<uint32_t> values;  // row after row, top row first
};

// Reads a BMP; false with the reason when it is damaged or of a kind not read.
bool bmp_decode(const uint8_t* data, size_t size, Bitmap* out, std::string* reason);

// The picture in the frame's format with the colour key applied (null: none).
ZT_PlatformSoft_Image* bitmap_image(const Bitmap& bitmap, const ZT_Platform_RGB* key);

// Reads a WAV and converts it to the mixer's format (signed 16-bit mono at
// 22050 Hz); false with the reason when it is damaged or of a kind not read.
bool wav_decode(const uint8_t* data, size_t size, std::vector<int16_t>* samples,
                std::string* reason);

// Opens a TrueType font at `size` points (72 dpi, as SDL_ttf opens it); null
// with the reason when it cannot.
ZT_PlatformSoft_Font* font_open(const std::string& path, int size, std::string* reason);
// The same from the font file's bytes.
ZT_PlatformSoft_Font* font_parse(const std::vector<uint8_t>& file, int size, std::string* reason);

}  // namespace zt_soft

#endif
