// SPDX-License-Identifier: MIT
// stb_image's zlib decoder and nothing else of it: the data pack's inflater.
// Kept to this file, static, so that it meets no other copy of stb_image.
#include "platform/decode/inflate.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_JPEG
#define STBI_NO_PNG
#define STBI_NO_BMP
#define STBI_NO_PSD
#define STBI_NO_TGA
#define STBI_NO_GIF
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STBI_SUPPORT_ZLIB
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_SIMD
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include "stb_image.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace zt_decode {

bool inflate_zlib(const uint8_t* in, size_t in_size, size_t out_size, std::vector<uint8_t>* out) {
  // stb counts in int; the pack keeps every length far below that.
  if (in_size < 6 || in_size > 0x7fffffff || out_size >= 0x7fffffff) return false;
  // One byte of room more than expected, so that a stream that holds more
  // than it says is told from one that holds exactly that.
  out->resize(out_size + 1);
  const int got =
      stbi_zlib_decode_buffer(reinterpret_cast<char*>(out->data()), static_cast<int>(out->size()),
                              reinterpret_cast<const char*>(in), static_cast<int>(in_size));
  out->resize(out_size);
  if (got < 0 || static_cast<size_t>(got) != out_size) return false;
  // stb leaves the stream's Adler-32 unread: checked here, so that damaged
  // data is refused rather than shown.
  uint32_t a = 1, b = 0;
  const uint8_t* p = out->data();
  for (size_t left = out_size; left > 0;) {
    const size_t n = left < 5552 ? left : 5552;  // no overflow before the modulo
    for (size_t i = 0; i < n; ++i) {
      a += *p++;
      b += a;
    }
    a %= 65521;
    b %= 65521;
    left -= n;
  }
  const uint8_t* t = in + in_size - 4;
  const uint32_t stored = static_cast<uint32_t>(t[0]) << 24 | t[1] << 16 | t[2] << 8 | t[3];
  return stored == (b << 16 | a);
}

}  // namespace zt_decode
