// SPDX-License-Identifier: MIT
// Writes the seed pictures and sounds of the media fuzz target: tiny BMPs of
// every depth SDL reads, WAV samples in each encoding, a tiny TrueType font and
// a data pack, byte by byte, so that no binary file is kept in the repository.
// Usage: media_seeds OUTPUT_FOLDER
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "support/media_files.h"

namespace {

// A BMP with the old 12-byte OS/2 header: 24 bits, 2 x 2.
Bytes bmp_os2() {
  Bytes b;
  append_text(b, "BM");
  le32(b, 14 + 12 + 16);
  le32(b, 0);
  le32(b, 14 + 12);
  le32(b, 12);
  le16(b, 2);
  le16(b, 2);
  le16(b, 1);
  le16(b, 24);
  const Bytes pixels = {0, 0, 255, 255, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  append(b, pixels);
  return b;
}

Bytes grey_palette(int entries) {
  Bytes p;
  for (int i = 0; i < entries; i++) {
    const uint8_t v = static_cast<uint8_t>(i * 255 / (entries > 1 ? entries - 1 : 1));
    p.insert(p.end(), {v, v, v, 0});
  }
  return p;
}

void be16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)}); }
void be32(Bytes& b, uint32_t v) {
  be16(b, v >> 16);
  be16(b, v & 0xffff);
}

// A TrueType font of two glyphs, the empty missing glyph and a square that the
// capital letters map to: the smallest file with every table the fonts need.
Bytes tiny_font() {
  Bytes head, hhea, maxp, hmtx, loca, glyf, cmap;
  be32(head, 0x00010000);
  be32(head, 0x00010000);
  be32(head, 0);  // checksum adjustment
  be32(head, 0x5f0f3cf5);
  be16(head, 0);
  be16(head, 1000);                                // units per em
  for (int i = 0; i < 16; ++i) head.push_back(0);  // dates
  for (uint32_t v : {0u, 0u, 500u, 700u}) be16(head, v);
  for (uint32_t v : {0u, 8u, 2u, 0u, 0u}) be16(head, v);  // style, ppem, direction, short loca
  be32(hhea, 0x00010000);
  for (uint32_t v : {800u, 0xff38u, 0u, 600u}) be16(hhea, v);  // ascender, descender, gap
  for (int i = 0; i < 11; ++i) be16(hhea, 0);
  be16(hhea, 2);  // long metrics
  be32(maxp, 0x00005000);
  be16(maxp, 2);
  for (int g = 0; g < 2; ++g) {
    be16(hmtx, 600);
    be16(hmtx, 0);
  }
  // One contour of four points on the curve, their positions as deltas.
  for (uint32_t v : {1u, 0u, 0u, 500u, 700u, 3u, 0u}) be16(glyf, v);
  glyf.insert(glyf.end(), {1, 1, 1, 1});
  for (uint32_t v : {0u, 500u, 0u, 0xfe0cu, 0u, 0u, 700u, 0u}) be16(glyf, v);
  for (uint32_t v : {0u, 0u, static_cast<uint32_t>(glyf.size() / 2)}) be16(loca, v);
  be16(cmap, 0);
  be16(cmap, 1);
  for (uint32_t v : {3u, 1u}) be16(cmap, v);
  be32(cmap, 12);
  for (uint32_t v : {4u, 32u, 0u, 4u, 4u, 1u, 0u, 0x5au, 0xffffu, 0u, 0x41u, 0xffffu,
                     (1u - 0x41u) & 0xffff, 1u, 0u, 0u}) {
    be16(cmap, v);
  }
  const std::pair<const char*, Bytes*> tables[] = {
      {"cmap", &cmap}, {"glyf", &glyf}, {"head", &head}, {"hhea", &hhea},
      {"hmtx", &hmtx}, {"loca", &loca}, {"maxp", &maxp}};
  Bytes font;
  be32(font, 0x00010000);
  for (uint32_t v : {7u, 64u, 2u, 48u}) be16(font, v);
  uint32_t offset = 12 + 16 * 7;
  for (const auto& t : tables) {
    append_text(font, t.first);
    be32(font, 0);
    be32(font, offset);
    be32(font, static_cast<uint32_t>(t.second->size()));
    offset += (t.second->size() + 3) & ~size_t(3);
  }
  for (const auto& t : tables) {
    append(font, *t.second);
    font.resize((font.size() + 3) & ~size_t(3), 0);
  }
  return font;
}

bool write(const std::string& dir, const char* name, const Bytes& bytes) {
  return write_file(dir + "/" + name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const Bytes none;
  Bytes masks565;
  le32(masks565, 0xf800);
  le32(masks565, 0x07e0);
  le32(masks565, 0x001f);

  bool ok = true;
  // Rows are padded to four bytes; bottom row first unless the height is negative.
  ok &= write(dir, "bmp24.bmp",
              bmp_bytes(2, 2, 24, 0, none, none,
                        {0, 0, 255, 255, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}));
  ok &= write(dir, "bmp24_topdown.bmp",
              bmp_bytes(2, -2, 24, 0, none, none,
                        {255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0}));
  ok &=
      write(dir, "bmp32.bmp", bmp_bytes(2, 1, 32, 0, none, none, {255, 0, 255, 0, 10, 20, 30, 0}));
  ok &= write(dir, "bmp16_bitfields.bmp",
              bmp_bytes(2, 1, 16, 3, masks565, none, {0x1f, 0xf8, 0xe0, 0x07}));
  ok &= write(dir, "bmp16_555.bmp", bmp_bytes(2, 1, 16, 0, none, none, {0x1f, 0x7c, 0xe0, 0x03}));
  ok &= write(dir, "bmp8.bmp",
              bmp_bytes(3, 2, 8, 0, none, grey_palette(4), {0, 1, 2, 0, 3, 2, 1, 0}));
  ok &= write(dir, "bmp4.bmp", bmp_bytes(3, 1, 4, 0, none, grey_palette(16), {0x1f, 0x80, 0, 0}));
  ok &= write(dir, "bmp1.bmp", bmp_bytes(9, 1, 1, 0, none, grey_palette(2), {0xa5, 0x80, 0, 0}));
  // RLE8: a run of 3, an absolute run of 3, end of line; a run of 6; end of bitmap.
  ok &= write(
      dir, "bmp8_rle.bmp",
      bmp_bytes(6, 2, 8, 1, none, grey_palette(4), {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 6, 2, 0, 1}));
  // RLE4: runs of alternating nibbles, a delta, end of bitmap.
  ok &= write(
      dir, "bmp4_rle.bmp",
      bmp_bytes(6, 2, 4, 2, none, grey_palette(16), {6, 0x12, 0, 0, 0, 2, 1, 0, 4, 0x34, 0, 1}));
  ok &= write(dir, "bmp_os2.bmp", bmp_os2());

  ok &= write(dir, "wav_u8.wav", wav_bytes(1, 1, 22050, 8, 1, none, none, ramp(32, 8)));
  ok &= write(dir, "wav_s16.wav", wav_bytes(1, 1, 22050, 16, 2, none, none, ramp(32, 37)));
  ok &=
      write(dir, "wav_s16_stereo_44k.wav", wav_bytes(1, 2, 44100, 16, 4, none, none, ramp(64, 5)));
  Bytes list;
  append_text(list, "LIST");
  le32(list, 4);
  append_text(list, "INFO");
  ok &= write(dir, "wav_list_chunk.wav", wav_bytes(1, 1, 11025, 8, 1, none, list, ramp(16, 16)));
  // IMA ADPCM: one 36-byte mono block holds a header sample and 64 more.
  Bytes ima_extra;
  le16(ima_extra, 2);
  le16(ima_extra, 65);
  Bytes ima_block = {0x00, 0x10, 5, 0};
  append(ima_block, ramp(32, 17));
  ok &=
      write(dir, "wav_ima_adpcm.wav", wav_bytes(0x11, 1, 22050, 4, 36, ima_extra, none, ima_block));
  // Microsoft ADPCM with its seven standard coefficient pairs; one 14-byte block.
  Bytes ms_extra;
  le16(ms_extra, 32);
  le16(ms_extra, 16);
  le16(ms_extra, 7);
  const int16_t coefs[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                               {240, 0}, {460, -208}, {392, -232}};
  for (const auto& pair : coefs) {
    le16(ms_extra, static_cast<uint16_t>(pair[0]));
    le16(ms_extra, static_cast<uint16_t>(pair[1]));
  }
  Bytes ms_block = {1, 16, 0, 0x10, 0x00, 0x20, 0x00, 0x30, 0x00};
  append(ms_block, ramp(5, 33));
  ok &= write(dir, "wav_ms_adpcm.wav", wav_bytes(2, 1, 22050, 4, 14, ms_extra, none, ms_block));
  ok &= write(dir, "tiny.ttf", tiny_font());
  // A data pack of a picture, a sample and the font, as the soft platform reads them.
  ok &= write(
      dir, "tiny.pack",
      pack_bytes({{"game/image/bg.bmp",
                   bmp_bytes(2, 1, 32, 0, none, none, {255, 0, 255, 0, 10, 20, 30, 0})},
                  {"game/sound/beep.wav", wav_bytes(1, 1, 22050, 16, 2, none, none, ramp(32, 37))},
                  {"zentick/andalemo.ttf", tiny_font()}}));

  // Regression inputs. 16383 x -2^31 at 32 bits, 118 bytes: SDL keeps that
  // height negative and puts no pixels behind it.
  ok &= write(dir, "bmp_height_int_min.bmp",
              bmp_bytes(16383, INT32_MIN, 32, 0, none, none, ramp(64, 7)));
  // A data chunk that claims about 4 GB, and a format chunk of two bytes.
  Bytes huge = wav_bytes(1, 1, 22050, 16, 2, none, none, ramp(960, 3));
  huge[40] = 0xf0;
  huge[41] = huge[42] = huge[43] = 0xff;
  ok &= write(dir, "wav_data_4g.wav", huge);
  const Bytes short_fmt = wav_short_fmt_bytes();
  ok &= write(dir, "wav_fmt_short.wav", short_fmt);
  // Each side of the mixer's ten conversion steps: 8-bit 8-channel 500 Hz takes
  // ten, 16-bit takes eight; 6 channels at 44.1 kHz and mono at 1 kHz load.
  ok &= write(dir, "wav_u8_8ch_500.wav", wav_bytes(1, 8, 500, 8, 8, none, none, ramp(64, 5)));
  ok &= write(dir, "wav_s16_8ch_500.wav", wav_bytes(1, 8, 500, 16, 16, none, none, ramp(128, 5)));
  ok &= write(dir, "wav_u8_6ch_44k.wav", wav_bytes(1, 6, 44100, 8, 6, none, none, ramp(60, 5)));
  ok &= write(dir, "wav_s16_1k.wav", wav_bytes(1, 1, 1000, 16, 2, none, none, ramp(64, 11)));
  if (!ok) {
    std::fprintf(stderr, "media_seeds: cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
