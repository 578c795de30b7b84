// Pictures for the software platform: a BMP as stored (zt_decode) in the
// frame's format. The colour key and the conversion to RGB565 follow SDL's
// blits, so that the drawn pixels agree.
#include "platform/plat_soft_media.h"

namespace zt_soft {

namespace {

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

ZT_PlatformSoft_Image* bitmap_image(const zt_decode::Bitmap& bitmap, const ZT_Platform_RGB* key) {
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
      const zt_decode::Rgb c = static_cast<size_t>(i) < bitmap.palette.size()
                                   ? bitmap.palette[static_cast<size_t>(i)]
                                   : zt_decode::Rgb{0, 0, 0};
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
