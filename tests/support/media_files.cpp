// SPDX-License-Identifier: MIT
// Little-endian writers and BMP/WAV byte images for tests and fuzz seeds.
#include "support/media_files.h"

#include <algorithm>
#include <cstdio>

void le16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xff);
  b.push_back((v >> 8) & 0xff);
}

void le32(Bytes& b, uint32_t v) {
  le16(b, v & 0xffff);
  le16(b, v >> 16);
}

void append_text(Bytes& b, const char* s) {
  while (*s) b.push_back(static_cast<uint8_t>(*s++));
}

void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

Bytes ramp(size_t count, int step) {
  Bytes d;
  for (size_t i = 0; i < count; i++) d.push_back(static_cast<uint8_t>(i * step));
  return d;
}

Bytes bmp_bytes(int32_t width, int32_t height, int bpp, int compression, const Bytes& extra,
                const Bytes& palette, const Bytes& pixels) {
  Bytes b;
  const uint32_t offset = 14 + 40 + extra.size() + palette.size();
  append_text(b, "BM");
  le32(b, offset + pixels.size());
  le32(b, 0);
  le32(b, offset);
  le32(b, 40);
  le32(b, static_cast<uint32_t>(width));
  le32(b, static_cast<uint32_t>(height));
  le16(b, 1);
  le16(b, bpp);
  le32(b, compression);
  le32(b, pixels.size());
  le32(b, 2835);
  le32(b, 2835);
  le32(b, palette.size() / 4);
  le32(b, 0);
  append(b, extra);
  append(b, palette);
  append(b, pixels);
  return b;
}

Bytes wav_short_fmt_bytes() {
  Bytes out;
  append_text(out, "RIFF");
  le32(out, 4 + 10 + 8 + 4);
  append_text(out, "WAVEfmt ");
  le32(out, 2);
  le16(out, 1);
  append_text(out, "data");
  le32(out, 4);
  append(out, ramp(4, 9));
  return out;
}

Bytes wav_bytes(int format, int channels, uint32_t rate, int bits, int block_align,
                const Bytes& fmt_extra, const Bytes& other_chunks, const Bytes& data) {
  Bytes fmt;
  le16(fmt, format);
  le16(fmt, channels);
  le32(fmt, rate);
  le32(fmt, rate * block_align);
  le16(fmt, block_align);
  le16(fmt, bits);
  append(fmt, fmt_extra);
  Bytes body;
  append_text(body, "WAVE");
  append_text(body, "fmt ");
  le32(body, fmt.size());
  append(body, fmt);
  append(body, other_chunks);
  append_text(body, "data");
  le32(body, data.size());
  append(body, data);
  Bytes b;
  append_text(b, "RIFF");
  le32(b, body.size());
  append(b, body);
  return b;
}

Bytes pack_bytes(const std::vector<std::pair<std::string, Bytes>>& files) {
  std::vector<Bytes> streams;
  size_t index = 0;
  for (const auto& f : files) {
    Bytes z = {0x78, 0x01};
    size_t at = 0;
    do {  // stored blocks of at most 65535 bytes, the last one marked
      const size_t n = std::min<size_t>(f.second.size() - at, 65535);
      z.push_back(at + n == f.second.size() ? 1 : 0);
      le16(z, static_cast<uint32_t>(n));
      le16(z, static_cast<uint32_t>(~n & 0xffff));
      z.insert(z.end(), f.second.begin() + at, f.second.begin() + at + n);
      at += n;
    } while (at < f.second.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : f.second) {
      a = (a + c) % 65521;
      b = (b + a) % 65521;
    }
    for (int shift : {24, 16, 8, 0}) z.push_back(static_cast<uint8_t>((b << 16 | a) >> shift));
    streams.push_back(z);
    index += 14 + f.first.size();
  }
  Bytes out;
  append_text(out, "ZTPK");
  le32(out, 1);
  le32(out, static_cast<uint32_t>(files.size()));
  le32(out, static_cast<uint32_t>(index));
  size_t offset = 16 + index;
  for (size_t i = 0; i < files.size(); ++i) {
    le32(out, static_cast<uint32_t>(offset));
    le32(out, static_cast<uint32_t>(streams[i].size()));
    le32(out, static_cast<uint32_t>(files[i].second.size()));
    le16(out, static_cast<uint32_t>(files[i].first.size()));
    append_text(out, files[i].first.c_str());
    offset += streams[i].size();
  }
  for (const Bytes& z : streams) append(out, z);
  return out;
}

bool write_file(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

bool write_file(const std::string& path, const Bytes& bytes) {
  return write_file(path, bytes.data(), bytes.size());
}
