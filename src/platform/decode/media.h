// SPDX-License-Identifier: MIT
// The software platform's file readers as plain data: bytes, pictures as
// stored, samples, fonts with their glyphs. They know no platform, so that the
// platforms, the tests and the fuzzers reach them with bytes rather than files.
#ifndef ZT_PLATFORM_DECODE_MEDIA_H
#define ZT_PLATFORM_DECODE_MEDIA_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zt_decode {

// A file's whole contents; false with the reason when it cannot be read.
bool file_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason);

struct Rgb {
  uint8_t r;
  uint8_t g;
  uint8_t b;
};

// A BMP as stored: each pixel's value in the file's own format (a palette
// index, or packed bits under the masks), so that the colour key is compared
// where the desktop program compares it.
struct Bitmap {
  int width = 0;
  int height = 0;
  int bits = 0;                   // 8 (1- and 4-bit pictures are widened to it), 15, 16, 24 or 32
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue; unused with a palette
  std::vector<Rgb> palette;
  std::vector<uint32_t> values;  // row after row, top row first
};

// Reads a BMP; false with the reason when it is damaged or of a kind not read.
bool bmp_decode(const uint8_t* data, size_t size, Bitmap* out, std::string* reason);

// A WAV's chunks as SDL 1.2's reader walks them: one after the other without
// padding, up to the first "data" chunk.
struct WavChunk {
  uint32_t tag = 0;  // the four letters, little-endian
  size_t start = 0;  // where its bytes begin in the file
  size_t length = 0;
};
struct WavChunks {
  WavChunk first;  // the first chunk other than "fact" and "LIST"
  WavChunk data;
};
enum WavWalk {
  kWavNotWave,  // no RIFF WAVE header
  kWavDamaged,  // a chunk runs past the end, or a format chunk is too short
  kWavWalked,
};
// Walks the chunks; with kWavDamaged, `reason` says why as the desktop
// program says it.
WavWalk wav_walk(const uint8_t* data, size_t size, WavChunks* chunks, std::string* reason);

// Reads a WAV and converts it to the mixer's format (signed 16-bit mono at
// `rate` Hz); false with the reason when it is damaged or of a kind not read.
bool wav_decode(const uint8_t* data, size_t size, int rate, std::vector<int16_t>* samples,
                std::string* reason);

// One glyph as SDL_ttf keeps it: its box on whole pixels around the pen
// (y upward) and its one-bit picture, maxx - minx wide and maxy - miny high.
struct Glyph {
  int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
  std::vector<uint8_t> bits;
};

// The font opened at one size: SDL_ttf's metrics and every 8-bit character's
// glyph, rendered once so that drawing text only copies.
struct Font {
  int ascent = 0;
  int height = 0;    // SDL_ttf's height of every line: ascent - descent + 1
  int lineskip = 0;  // the distance between lines
  Glyph glyphs[256];
};

// Opens a TrueType font from its file's bytes at `size` points (72 dpi, as
// SDL_ttf opens it); null with SDL_ttf's reason when it cannot.
Font* font_parse(const std::vector<uint8_t>& file, int size, std::string* reason);

}  // namespace zt_decode

#endif
