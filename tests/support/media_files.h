// SPDX-License-Identifier: MIT
// Files made byte by byte for tests and fuzz seeds: little-endian fields and
// BMP and WAV images, so that no binary file is kept in the repository.
#ifndef ZT_TESTS_SUPPORT_MEDIA_FILES_H
#define ZT_TESTS_SUPPORT_MEDIA_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

typedef std::vector<uint8_t> Bytes;

void le16(Bytes& b, uint32_t v);
void le32(Bytes& b, uint32_t v);
// The characters of `s` without its terminating NUL.
void append_text(Bytes& b, const char* s);
void append(Bytes& b, const Bytes& more);

// `count` bytes, byte i being i * step.
Bytes ramp(size_t count, int step);

// A BMP with a 40-byte info header. `palette` holds 4-byte BGRX entries,
// `extra` sits between header and palette (bit masks), `pixels` is stored as is.
Bytes bmp_bytes(int32_t width, int32_t height, int bpp, int compression, const Bytes& extra,
                const Bytes& palette, const Bytes& pixels);

// A RIFF WAVE file: a "fmt " chunk from the fields given, optional extra chunks
// before the data, then the data chunk.
Bytes wav_bytes(int format, int channels, uint32_t rate, int bits, int block_align,
                const Bytes& fmt_extra, const Bytes& other_chunks, const Bytes& data);

// A WAV whose format chunk claims two bytes (SDL 1.2 reads sixteen anyway),
// then four bytes of samples.
Bytes wav_short_fmt_bytes();

// A data pack of (name, bytes) files in that order, each stored without
// compression in a zlib stream, as the pack reader takes any deflate stream.
Bytes pack_bytes(const std::vector<std::pair<std::string, Bytes>>& files);

// Writes the bytes as the whole file; false if it cannot be written.
bool write_file(const std::string& path, const uint8_t* data, size_t size);
bool write_file(const std::string& path, const Bytes& bytes);

#endif
