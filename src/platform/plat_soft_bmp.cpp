// BMP reading for the software platform. It reads what the desktop program's
// SDL 1.2 reads, the same way: uncompressed 1, 4, 8, 15/16, 24 and 32-bit
// pictures, bit masks where the file gives them, the palette where SDL looks
// for it, rows bottom-up unless the height is negative. The colour key and the
// conversion to RGB565 follow SDL's blits, so that the drawn pixels agree.
#include <cstring>

#include "platform/plat_soft_media.h"

namespace zt_soft {

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

// One channel of a packed pixel widened to 8 bits as SDL's blits widen it:
// shifted up, the low bits left empty.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int loss = 8;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!(m & 1)) {
      m >>= 1;
      ++shift;
    }
    while (m & 1) {
      m >>= 1;
      --loss;
    }
  }
  uint32_t widen(uint32_t v) const {
    uint32_t c = (v & mask) >> shift;
    return loss >= 0 ? c << loss : c >> -loss;
  }
  uint32_t narrow(uint32_t c8) const { return loss >= 0 ? (c8 >> loss) << shift : 0; }
  // SDL_GetRGB's widening, which repeats the top bits in the low ones (where
  // its shift is defined): the way SDL carries a colour key to another format.
  uint32_t widen_repeated(uint32_t v) const {
    if (loss < 0) return widen(v);
    const uint32_t c = (v & mask) >> shift;
    return (c << loss) + (loss <= 4 ? c >> (8 - 2 * loss) : 0);
  }
};

uint16_t rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint16_t>((((r & 0xff) >> 3) << 11) | (((g & 0xff) >> 2) << 5) |
                               ((b & 0xff) >> 3));
}

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
  if (width <= 0 || height <= 0) {
    *reason = "BMP picture without pixels";
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
  if (bits == 8) {
    // Unfilled entries stay black; entries past 256 have no room and are skipped.
    uint32_t count = colours_used ? colours_used : 256;
    const uint32_t entry = header == 12 ? 3 : 4;
    if (count > 256) count = 256;
    out->palette.resize(count, ZT_Platform_RGB{0, 0, 0});
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
  const uint64_t needed = (static_cast<uint64_t>(height) - 1) * (row_bytes + pad) + row_bytes;
  if (offset > size || needed > size - offset) {
    *reason = "Error reading from datastream";
    return false;
  }
  out->width = static_cast<int>(width);
  out->height = static_cast<int>(height);
  out->bits = static_cast<int>(bits);
  std::memcpy(out->masks, masks, sizeof masks);
  out->values.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (int64_t r = 0; r < height; ++r) {
    const uint8_t* src = data + offset + r * (row_bytes + pad);
    const int64_t y = top_down ? r : height - 1 - r;
    uint32_t* dst = &out->values[static_cast<size_t>(y * width)];
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
      dst[x] = v;
    }
  }
  return true;
}

ZT_PlatformSoft_Image* bitmap_image(const Bitmap& bitmap, const ZT_Platform_RGB* key) {
  ZT_PlatformSoft_Image* image = new ZT_PlatformSoft_Image(bitmap.width, bitmap.height);
  const size_t count = bitmap.values.size();
  const bool indexed = bitmap.bits == 8;
  // The key in the file's own format, as SDL_MapRGB gives it: the nearest
  // palette entry (the first of equals), or the colour cut to the masks.
  uint32_t key_value = 0;
  if (key && indexed) {
    unsigned smallest = ~0u;
    for (size_t i = 0; i < bitmap.palette.size(); ++i) {
      const int rd = bitmap.palette[i].r - key->r, gd = bitmap.palette[i].g - key->g,
                bd = bitmap.palette[i].b - key->b;
      const unsigned distance = static_cast<unsigned>(rd * rd + gd * gd + bd * bd);
      if (distance < smallest) {
        key_value = static_cast<uint32_t>(i);
        if (distance == 0) break;
        smallest = distance;
      }
    }
  }
  const Channel red(bitmap.masks[0]), green(bitmap.masks[1]), blue(bitmap.masks[2]);
  if (key && !indexed) key_value = red.narrow(key->r) | green.narrow(key->g) | blue.narrow(key->b);

  uint16_t colours[256];
  if (indexed) {
    for (int i = 0; i < 256; ++i) {
      const ZT_Platform_RGB c = static_cast<size_t>(i) < bitmap.palette.size()
                                    ? bitmap.palette[static_cast<size_t>(i)]
                                    : ZT_Platform_RGB{0, 0, 0};
      colours[i] = rgb565(c.r, c.g, c.b);
    }
  }
  // SDL converts the picture to the frame's format unless it is in it already,
  // carrying the key over through SDL_GetRGB; it keeps the picture as loaded
  // when the converted key would hide pixels that were not the key. A
  // converted key may also hide fewer pixels than before (a 15-bit green key
  // widens differently from the pixels): those pixels are then drawn.
  const bool frame_format = !indexed && bitmap.bits == 16 && bitmap.masks[0] == 0xf800 &&
                            bitmap.masks[1] == 0x07e0 && bitmap.masks[2] == 0x001f;
  const uint16_t key565 =
      indexed ? colours[key_value & 0xff]
              : rgb565(red.widen_repeated(key_value), green.widen_repeated(key_value),
                       blue.widen_repeated(key_value));
  bool conversion_hides_more = false;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t v = bitmap.values[i];
    const uint16_t c =
        indexed ? colours[v & 0xff] : rgb565(red.widen(v), green.widen(v), blue.widen(v));
    image->pixels[i] = c;
    if (key && c == key565 && v != key_value) conversion_hides_more = true;
  }
  if (key) {
    const bool as_loaded = frame_format || conversion_hides_more;
    image->opaque.assign(count, 1);
    for (size_t i = 0; i < count; ++i) {
      if (as_loaded ? bitmap.values[i] == key_value : image->pixels[i] == key565) {
        image->opaque[i] = 0;
      }
    }
  }
  // A picture kept as loaded is rescaled by SDL_gfx in that format: a palette
  // picture steps by other fractions, a 32-bit one loses its key.
  if (!frame_format && conversion_hides_more) {
    image->palette_kept = indexed;
    image->key_lost_on_zoom = bitmap.bits == 32;
    if (!indexed && bitmap.bits != 32) {
      image->rgb.resize(count);
      for (size_t i = 0; i < count; ++i) {
        const uint32_t v = bitmap.values[i];
        image->rgb[i] =
            (red.widen(v) & 0xff) << 16 | (green.widen(v) & 0xff) << 8 | (blue.widen(v) & 0xff);
      }
    }
  }
  image->runs_update();
  return image;
}

}  // namespace zt_soft
