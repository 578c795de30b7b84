// SPDX-License-Identifier: MIT
// BMP reading. It reads what the desktop program's
// SDL 1.2 reads, the same way: uncompressed 1, 4, 8, 15/16, 24 and 32-bit
// pictures, bit masks where the file gives them, the palette where SDL looks
// for it, rows bottom-up unless the height is negative. The colour key and the
// conversion to the frame's format are the software platform's.
#include <cstdio>
#include <cstring>

#include "platform/decode/media.h"

namespace zt_decode {

namespace {

const uint32_t kBiRgb = 0;
const uint32_t kBiBitfields = 3;

// Little-endian fields; past the end a field reads as 0 and `ok` turns false,
// as SDL's reader leaves a field it could not fill.
struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos;
  bool ok;
  uint32_t byte() {
    if (pos >= size) {
      ok = false;
      return 0;
    }
    return data[pos++];
  }
  uint32_t u16() {
    uint32_t a = byte();
    return a | (byte() << 8);
  }
  uint32_t u32() {
    uint32_t a = u16();
    return a | (u16() << 16);
  }
};

}  // namespace

bool bmp_decode(const uint8_t* data, size_t size, Bitmap* out, std::string* reason) {
  Reader in{data, size, 0, true};
  if (size < 2) {
    *reason = "Error reading from datastream";
    return false;
  }
  if (data[0] != 'B' || data[1] != 'M') {
    *reason = "File is not a Windows BMP file";
    return false;
  }
  in.pos = 2;
  in.u32();  // file size: not trusted
  in.u32();  // reserved
  const uint32_t offset = in.u32();
  const uint32_t header = in.u32();
  int64_t width, height;
  uint32_t bits, compression = kBiRgb, colours_used = 0;
  if (header == 12) {
    width = in.u16();
    height = in.u16();
    in.u16();  // planes
    bits = in.u16();
  } else {
    width = static_cast<int32_t>(in.u32());
    height = static_cast<int32_t>(in.u32());
    in.u16();  // planes
    bits = in.u16();
    compression = in.u32();
    in.u32();  // image size
    in.u32();  // resolution
    in.u32();
    colours_used = in.u32();
    in.u32();  // important colours
  }
  if (!in.ok) {
    *reason = "Error reading from datastream";
    return false;
  }
  if (width <= 0 || height == 0) {
    char text[64];
    std::snprintf(text, sizeof text, "BMP file with bad dimensions (%dx%d)",
                  static_cast<int>(width), static_cast<int>(height));
    *reason = text;
    return false;
  }
  bool top_down = false;
  if (height < 0) {
    top_down = true;
    height = -height;
  }
  int expand = 0;
  if (bits == 1 || bits == 4) {
    expand = static_cast<int>(bits);
    bits = 8;
  }
  uint32_t masks[3] = {0, 0, 0};
  if (compression == kBiRgb && offset == 14 + header) {
    if (bits == 15 || bits == 16) {
      masks[0] = 0x7c00;
      masks[1] = 0x03e0;
      masks[2] = 0x001f;
    } else if (bits == 24 || bits == 32) {
      masks[0] = 0xff0000;
      masks[1] = 0x00ff00;
      masks[2] = 0x0000ff;
    }
  } else if (compression == kBiRgb || compression == kBiBitfields) {
    // The masks follow the header, also when the file only leaves room for them.
    if (bits == 15 || bits == 16 || bits == 32) {
      for (uint32_t& m : masks) m = in.u32();
    }
  } else {
    *reason = "Compressed BMP files not supported";
    return false;
  }
  if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) {
    *reason = "unsupported BMP pixel format";
    return false;
  }
  // Without masks SDL packs the bits it has: 5-6-5 for 16, 5-5-5 for 15, 8-8-8 above.
  if (bits > 8 && !masks[0] && !masks[1] && !masks[2]) {
    const int depth = bits > 24 ? 24 : static_cast<int>(bits);
    const int third = depth / 3, extra = depth % 3;
    masks[0] = ((0xffu >> (8 - third)) << (third + extra + third));
    masks[1] = ((0xffu >> (8 - third - extra)) << third);
    masks[2] = (0xffu >> (8 - third));
  }

  out->palette.clear();
  const uint32_t colours = colours_used ? colours_used : 256;
  if (bits == 8) {
    if (colours > 256) {
      *reason = "BMP file has an invalid number of colors";
      return false;
    }
    // Entries the file does not hold stay black.
    const uint32_t count = colours;
    const uint32_t entry = header == 12 ? 3 : 4;
    out->palette.resize(count, Rgb{0, 0, 0});
    for (uint32_t i = 0; i < count; ++i) {
      out->palette[i].b = static_cast<uint8_t>(in.byte());
      out->palette[i].g = static_cast<uint8_t>(in.byte());
      out->palette[i].r = static_cast<uint8_t>(in.byte());
      if (entry == 4) in.byte();
    }
  }

  // Rows are padded to four bytes; the last row's padding must be there too,
  // except in 1- and 4-bit pictures, whose padding SDL skips without checking.
  const uint64_t bytes_per_pixel = bits == 15 ? 2 : bits / 8;
  uint64_t row_bytes, pad;
  if (expand) {
    row_bytes = (static_cast<uint64_t>(width) * expand + 7) / 8;
    pad = row_bytes % 4 ? 4 - row_bytes % 4 : 0;
  } else {
    row_bytes = (static_cast<uint64_t>(width) * bytes_per_pixel + 3) & ~uint64_t(3);
    pad = 0;
  }
  // Rows in the file's order, as SDL reads them: a row that is not there
  // stops the reading, a palette index past the palette's end too.
  const uint64_t rows_there = offset > size ? 0
                              : size - offset >= row_bytes
                                  ? (size - offset - row_bytes) / (row_bytes + pad) + 1
                                  : 0;
  const bool whole = rows_there >= static_cast<uint64_t>(height);
  const bool check_palette = bits == 8 && colours < 256;
  if (whole) {
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bits = static_cast<int>(bits);
    std::memcpy(out->masks, masks, sizeof masks);
    out->values.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  }
  const int64_t rows = whole ? height : static_cast<int64_t>(rows_there);
  for (int64_t r = 0; r < rows; ++r) {
    const uint8_t* src = data + offset + r * (row_bytes + pad);
    const int64_t y = top_down ? r : height - 1 - r;
    uint32_t* dst = whole ? &out->values[static_cast<size_t>(y * width)] : nullptr;
    for (int64_t x = 0; x < width; ++x) {
      uint32_t v;
      if (expand == 1) {
        v = (src[x >> 3] >> (7 - (x & 7))) & 1;
      } else if (expand == 4) {
        v = (src[x >> 1] >> (x & 1 ? 0 : 4)) & 15;
      } else if (bits == 8) {
        v = src[x];
      } else if (bytes_per_pixel == 2) {
        v = src[2 * x] | (src[2 * x + 1] << 8);
      } else if (bytes_per_pixel == 3) {
        v = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
      } else {
        const uint8_t* p = src + 4 * x;
        v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
      }
      if (check_palette && v >= colours) {
        *reason = "A BMP image contains a pixel with a color out of the palette";
        return false;
      }
      if (dst) dst[x] = v;
    }
  }
  if (!whole) {
    // SDL reads 1- and 4-bit rows a byte at a time and says so.
    *reason = expand ? "Error reading from BMP" : "Error reading from datastream";
    return false;
  }
  return true;
}

}  // namespace zt_decode
