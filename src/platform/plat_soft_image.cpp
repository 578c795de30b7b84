// SPDX-License-Identifier: MIT
// Pictures for the software platform: a BMP as stored (zt_decode) in the
// frame's format, rescaled and cut into runs for drawing. The colour key, the
// conversion to RGB565 and the rescaling follow SDL and SDL_gfx, so that the
// drawn pixels agree.
#include <algorithm>
#include <cmath>

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

ZT_PlatformSoft_Image::ZT_PlatformSoft_Image(int width, int height)
    : width(width),
      height(height),
      pixels(static_cast<size_t>(width > 0 ? width : 0) *
             static_cast<size_t>(height > 0 ? height : 0)) {}

ZT_PlatformSoft_Image::~ZT_PlatformSoft_Image() {
  if (platform) platform->image_forget(this);
}

int ZT_PlatformSoft_Image::width_get() { return width; }

int ZT_PlatformSoft_Image::height_get() { return height; }

static uint64_t picture_generations = 0;

void ZT_PlatformSoft_Image::runs_update() {
  generation = ++picture_generations;
  // A key that hides nothing is no key: the picture is then drawn row by row.
  if (std::find(opaque.begin(), opaque.end(), 0) == opaque.end()) opaque.clear();
  runs.clear();
  row_runs.assign(static_cast<size_t>(height > 0 ? height : 0) + 1, 0);
  for (int y = 0; y < height; ++y) {
    row_runs[static_cast<size_t>(y)] = static_cast<uint32_t>(runs.size());
    if (opaque.empty()) {
      runs.push_back(Run{0, width});
      continue;
    }
    const uint8_t* row = &opaque[static_cast<size_t>(y) * width];
    for (int x = 0; x < width;) {
      if (!row[x]) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < width && row[x]) ++x;
      runs.push_back(Run{start, x - start});
    }
  }
  row_runs[static_cast<size_t>(height > 0 ? height : 0)] = static_cast<uint32_t>(runs.size());
  // Short runs cost more to walk than a masked merge of the whole row.
  mask.clear();
  if (!opaque.empty() && runs.size() * 16 > pixels.size()) {
    mask.resize(opaque.size());
    for (size_t i = 0; i < opaque.size(); ++i) mask[i] = opaque[i] ? 0xffff : 0;
  }
}

bool ZT_PlatformSoft_Image::resize_fit(int fit_width, int fit_height) {
  if (width <= 0 || height <= 0 || fit_width <= 0 || fit_height <= 0) return false;
  // SDL_gfx's zoomSurface without smoothing, fed the platform's single-precision factor.
  const float sx = static_cast<float>(fit_width) / static_cast<float>(width);
  const float sy = static_cast<float>(fit_height) / static_cast<float>(height);
  double zoom = sx < sy ? sx : sy;
  if (zoom < 0.001) zoom = 0.001;
  int w = static_cast<int>(std::floor(width * zoom + 0.5));
  int h = static_cast<int>(std::floor(height * zoom + 0.5));
  if (w < 1) w = 1;
  if (h < 1) h = 1;
  if (static_cast<double>(w) * h > 64.0 * 1024 * 1024) return false;  // no room, as SDL would find

  std::vector<int> xs(static_cast<size_t>(w)), ys(static_cast<size_t>(h));
  if (palette_kept) {
    // The palette scaler counts whole source steps per target pixel.
    for (int x = 0; x < w; ++x) xs[x] = static_cast<int>(static_cast<int64_t>(x) * width / w);
    for (int y = 0; y < h; ++y) ys[y] = static_cast<int>(static_cast<int64_t>(y) * height / h);
  } else {
    // The RGBA scaler steps in 16.16 fixed point, held at the last pixel.
    const int64_t step_x = static_cast<int>(
        65536.0 * static_cast<float>(static_cast<float>(width) / static_cast<float>(w)));
    const int64_t step_y = static_cast<int>(
        65536.0 * static_cast<float>(static_cast<float>(height) / static_cast<float>(h)));
    const int64_t last_x = (static_cast<int64_t>(width) << 16) - 1;
    const int64_t last_y = (static_cast<int64_t>(height) << 16) - 1;
    for (int x = 0; x < w; ++x) xs[x] = static_cast<int>(std::min(x * step_x, last_x) >> 16);
    for (int y = 0; y < h; ++y) ys[y] = static_cast<int>(std::min(y * step_y, last_y) >> 16);
  }
  std::vector<uint16_t> zoomed(static_cast<size_t>(w) * h);
  std::vector<uint8_t> zoomed_opaque;
  std::vector<uint32_t> zoomed_rgb(rgb.empty() ? 0 : zoomed.size());
  const bool keyed = !opaque.empty() && !key_lost_on_zoom;
  if (keyed) zoomed_opaque.resize(zoomed.size());
  for (int y = 0; y < h; ++y) {
    const size_t from = static_cast<size_t>(ys[y]) * width;
    for (int x = 0; x < w; ++x) {
      zoomed[static_cast<size_t>(y) * w + x] = pixels[from + xs[x]];
      if (keyed) zoomed_opaque[static_cast<size_t>(y) * w + x] = opaque[from + xs[x]];
      if (!rgb.empty()) zoomed_rgb[static_cast<size_t>(y) * w + x] = rgb[from + xs[x]];
    }
  }
  width = w;
  height = h;
  pixels.swap(zoomed);
  opaque.swap(zoomed_opaque);
  rgb.swap(zoomed_rgb);
  if (!rgb.empty()) blended = true;
  if (key_lost_on_zoom) palette_kept = false;
  runs_update();
  return true;
}
