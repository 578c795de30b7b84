// The software platform: the frame and its presentation, drawing with the
// arithmetic of SDL and SDL_gfx on a 16-bit frame, the clocks the host drives,
// the event queue the host fills, and six mixing channels the host pulls.
#include "platform/plat_soft.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/plat_soft_media.h"

namespace {

const char* const kFontFile = "andalemo.ttf";
const int kFontSize = 16;
const int kStartVolume = 75;
const int kMaxVolume = 100;
const int kMixMaxVolume = 128;  // SDL_mixer's full volume
const int kKeyCount = 20;       // ZT_KEY_UP .. ZT_KEY_ZOOM_2

// SDL_gfx's blend of one 16-bit pixel towards `colour`, in its unsigned
// arithmetic (a darker target wraps around and is masked back).
inline uint16_t blend565(uint32_t dc, uint32_t colour, uint32_t alpha) {
  const uint32_t r =
      ((dc & 0xf800) + ((((colour & 0xf800) - (dc & 0xf800)) * alpha) >> 8)) & 0xf800;
  const uint32_t g =
      ((dc & 0x07e0) + ((((colour & 0x07e0) - (dc & 0x07e0)) * alpha) >> 8)) & 0x07e0;
  const uint32_t b =
      ((dc & 0x001f) + ((((colour & 0x001f) - (dc & 0x001f)) * alpha) >> 8)) & 0x001f;
  return static_cast<uint16_t>(r | g | b);
}

// SDL 1.2's per-pixel alpha blit of an opaque 8-bit-channel pixel onto the
// frame: each channel is blended in unsigned arithmetic with the frame's
// channel widened by a shift, which lands one above the source's channel when
// that is the lower.
inline uint16_t blend_opaque(uint32_t rgb, uint32_t dc) {
  const uint32_t sr = rgb >> 16 & 0xff, sg = rgb >> 8 & 0xff, sb = rgb & 0xff;
  const uint32_t dr = (dc >> 11) << 3, dg = ((dc >> 5) & 0x3f) << 2, db = (dc & 0x1f) << 3;
  const uint32_t r = ((((sr - dr) * 255 + 255) >> 8) + dr) & 0xff;
  const uint32_t g = ((((sg - dg) * 255 + 255) >> 8) + dg) & 0xff;
  const uint32_t b = ((((sb - db) * 255 + 255) >> 8) + db) & 0xff;
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

}  // namespace

namespace zt_soft {

bool file_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *reason = "Couldn't open " + path;
    return false;
  }
  bytes->clear();
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes->insert(bytes->end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *reason = "Error reading from datastream";
    return false;
  }
  return true;
}

}  // namespace zt_soft

// ---------------------------------------------------------------------------
// Pictures and samples

ZT_PlatformSoft_Image::ZT_PlatformSoft_Image(int width, int height)
    : width(width),
      height(height),
      pixels(static_cast<size_t>(width > 0 ? width : 0) *
             static_cast<size_t>(height > 0 ? height : 0)) {}

int ZT_PlatformSoft_Image::width_get() { return width; }

int ZT_PlatformSoft_Image::height_get() { return height; }

void ZT_PlatformSoft_Image::runs_update() {
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

ZT_PlatformSoft_Sound::~ZT_PlatformSoft_Sound() {
  if (platform) platform->sound_forget(this);
}

// ---------------------------------------------------------------------------
// Construction, start-up and shut-down

ZT_PlatformSoft::ZT_PlatformSoft(int width, int height)
    : width(width > 0 ? width : 0),
      height(height > 0 ? height : 0),
      initialized(false),
      ticks(0),
      time_pinned(false),
      pinned(),
      frame(static_cast<size_t>(this->width) * this->height, 0),
      screen(static_cast<size_t>(this->width) * this->height, 0),
      presented(0),
      volume(kStartVolume),
      channels() {}

ZT_PlatformSoft::~ZT_PlatformSoft() {
  if (initialized) finalize();
  for (ZT_PlatformSoft_Sound* sound : sounds) sound->platform = nullptr;
}

void ZT_PlatformSoft::initialize() {
  if (initialized) return;
  std::string reason;
  ZT_PlatformSoft_Font* opened =
      zt_soft::font_open(platformdata_get() + "/" + kFontFile, kFontSize, &reason);
  if (!opened) throw ZT_Exception("Unable to load font: " + reason);
  font.reset(opened);
  sound_volume(kStartVolume);
  initialized = true;
}

void ZT_PlatformSoft::finalize() {
  if (!initialized) return;
  sound_stop_all();
  font.reset();
  initialized = false;
}

int ZT_PlatformSoft::width_get() { return width; }

int ZT_PlatformSoft::height_get() { return height; }

// ---------------------------------------------------------------------------
// Clocks and events

unsigned int ZT_PlatformSoft::ticks_get() { return ticks; }

void ZT_PlatformSoft::ticks_advance(unsigned int ms) { ticks += ms; }

void ZT_PlatformSoft::time_pin(const ZT_Platform_Time& time) {
  pinned = time;
  time_pinned = true;
}

void ZT_PlatformSoft::time_unpin() { time_pinned = false; }

ZT_Platform_Time ZT_PlatformSoft::time_get() {
  if (time_pinned) return pinned;
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  ZT_Platform_Time t;
  t.day = static_cast<int16_t>(local.tm_mday);
  t.month = static_cast<int16_t>(local.tm_mon + 1);
  t.year = static_cast<int16_t>(local.tm_year);
  t.hour = static_cast<int16_t>(local.tm_hour);
  t.minute = static_cast<int16_t>(local.tm_min);
  t.second = static_cast<int16_t>(local.tm_sec);
  return t;
}

unsigned int ZT_PlatformSoft::time_ms_get() {
  const ZT_Platform_Time t = time_get();
  return static_cast<unsigned int>(t.hour * 3600 + t.minute * 60 + t.second) * 1000u;
}

void ZT_PlatformSoft::key_push(int key) {
  // Only the codes the desktop program's keyboard can give (and the power key).
  if (key < 0 || key >= kKeyCount) return;
  ZT_Platform_Event e;
  e.type = ZT_EVENT_KEY;
  e.key = key;
  events.push_back(e);
}

void ZT_PlatformSoft::quit_push() {
  ZT_Platform_Event e;
  e.type = ZT_EVENT_QUIT;
  e.key = -1;
  events.push_back(e);
}

bool ZT_PlatformSoft::event(ZT_Platform_GameType type, ZT_Platform_Event* out) {
  (void)type;
  if (events.empty()) return false;
  const ZT_Platform_Event e = events.front();
  events.pop_front();
  out->type = e.type;
  if (e.type == ZT_EVENT_KEY) out->key = e.key;  // a quit leaves the key as it was
  return true;
}

// ---------------------------------------------------------------------------
// Pictures and drawing

ZT_Platform_Image* ZT_PlatformSoft::image_load(const std::string& path,
                                               ZT_Platform_RGB* transparent) {
  std::vector<uint8_t> bytes;
  std::string reason;
  zt_soft::Bitmap bitmap;
  if (!zt_soft::file_read(path, &bytes, &reason) ||
      !zt_soft::bmp_decode(bytes.data(), bytes.size(), &bitmap, &reason)) {
    throw ZT_Exception("Unable to load image " + path + ": " + reason);
  }
  return zt_soft::bitmap_image(bitmap, transparent);
}

// draw_clear is applied when the next drawing needs it, and then only where a
// picture drawn over the whole of it does not cover the frame anyway.
void ZT_PlatformSoft::clear_settle() {
  if (!clear_pending) return;
  clear_pending = false;
  std::fill(frame.begin(), frame.end(), 0);
}

void ZT_PlatformSoft::draw_clear() { clear_pending = true; }

void ZT_PlatformSoft::draw_image(ZT_Platform_Image* image, int x, int y) {
  ZT_PlatformSoft_Image* picture = dynamic_cast<ZT_PlatformSoft_Image*>(image);
  if (!picture || picture->width <= 0 || picture->height <= 0) return;
  const int w = picture->width, h = picture->height;
  if (picture->row_runs.size() != static_cast<size_t>(h) + 1) picture->runs_update();
  const int x0 = std::max(x, 0), x1 = std::min(x + w, width);
  const int y0 = std::max(y, 0), y1 = std::min(y + h, height);
  if (clear_pending) {
    if (picture->opaque.empty() && x0 < x1 && y0 < y1) {
      // Black only around the picture: rows above and below, then the sides.
      clear_pending = false;
      uint16_t* f = frame.data();
      std::fill(f, f + static_cast<size_t>(y0) * width, 0);
      std::fill(f + static_cast<size_t>(y1) * width, f + frame.size(), 0);
      for (int row = y0; row < y1; ++row) {
        uint16_t* line = f + static_cast<size_t>(row) * width;
        std::fill(line, line + x0, 0);
        std::fill(line + x1, line + width, 0);
      }
    } else {
      clear_settle();
    }
  }
  if (x0 >= x1 || y0 >= y1) return;
  if (picture->blended) {
    for (int row = y0; row < y1; ++row) {
      const size_t from = static_cast<size_t>(row - y) * w - x;
      uint16_t* dst = &frame[static_cast<size_t>(row) * width];
      for (int col = x0; col < x1; ++col) {
        if (!picture->opaque.empty() && !picture->opaque[from + col]) continue;
        dst[col] = blend_opaque(picture->rgb[from + col], dst[col]);
      }
    }
    return;
  }
  for (int row = y0; row < y1; ++row) {
    const int py = row - y;
    const uint16_t* src = &picture->pixels[static_cast<size_t>(py) * w];
    uint16_t* dst = &frame[static_cast<size_t>(row) * width];
    const ZT_PlatformSoft_Image::Run* run = picture->runs.data() + picture->row_runs[py];
    const ZT_PlatformSoft_Image::Run* end = picture->runs.data() + picture->row_runs[py + 1];
    for (; run != end; ++run) {
      int a = x + run->x, b = a + run->length;
      if (a < x0) a = x0;
      if (b > x1) b = x1;
      if (a < b) std::memcpy(dst + a, src + (a - x), static_cast<size_t>(b - a) * 2);
    }
  }
}

// One row of pixels x1..x2 (inclusive, already clipped): set when opaque,
// else blended as SDL_gfx blends.
void ZT_PlatformSoft::span_fill(int x1, int x2, int y, uint16_t colour, int alpha) {
  uint16_t* p = &frame[static_cast<size_t>(y) * width];
  if (alpha == 255) {
    std::fill(p + x1, p + x2 + 1, colour);
    return;
  }
  for (int x = x1; x <= x2; ++x) p[x] = blend565(p[x], colour, static_cast<uint32_t>(alpha));
}

void ZT_PlatformSoft::hline(int x1, int x2, int y, uint16_t colour, int alpha) {
  if (x1 > x2) std::swap(x1, x2);
  if (x2 < 0 || x1 > width - 1 || y < 0 || y > height - 1) return;
  span_fill(std::max(x1, 0), std::min(x2, width - 1), y, colour, alpha);
}

void ZT_PlatformSoft::vline(int x, int y1, int y2, uint16_t colour, int alpha) {
  if (y1 > y2) std::swap(y1, y2);
  if (x < 0 || x > width - 1 || y2 < 0 || y1 > height - 1) return;
  y1 = std::max(y1, 0);
  y2 = std::min(y2, height - 1);
  for (int y = y1; y <= y2; ++y) span_fill(x, x, y, colour, alpha);
}

void ZT_PlatformSoft::box(int x1, int y1, int x2, int y2, uint16_t colour, int alpha) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 < 0 || x1 > width - 1 || y2 < 0 || y1 > height - 1) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width - 1);
  y1 = std::max(y1, 0);
  y2 = std::min(y2, height - 1);
  for (int y = y1; y <= y2; ++y) span_fill(x1, x2, y, colour, alpha);
}

void ZT_PlatformSoft::draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) {
  if (width <= 0 || height <= 0) return;
  clear_settle();
  const uint16_t c = colour ? rgb565_get(colour->r, colour->g, colour->b) : 0xffff;
  // SDL_gfx's lineColor: 16-bit coordinates, clipped Cohen-Sutherland style
  // in its own rounding, straight lines filled, others stepped by Bresenham.
  int16_t ax = static_cast<int16_t>(x1), ay = static_cast<int16_t>(y1);
  int16_t bx = static_cast<int16_t>(x2), by = static_cast<int16_t>(y2);
  const int left = 0, right = width - 1, top = 0, bottom = height - 1;
  auto code = [&](int x, int y) {
    return (x < left ? 1 : 0) | (x > right ? 2 : 0) | (y < top ? 4 : 0) | (y > bottom ? 8 : 0);
  };
  for (;;) {
    int c1 = code(ax, ay), c2 = code(bx, by);
    if (!(c1 | c2)) break;
    if (c1 & c2) return;
    if (!c1) {
      std::swap(ax, bx);
      std::swap(ay, by);
      std::swap(c1, c2);
    }
    const float m = bx != ax ? static_cast<float>(by - ay) / static_cast<float>(bx - ax) : 1.0f;
    if (c1 & 1) {
      ay = static_cast<int16_t>(ay + static_cast<int16_t>((left - ax) * m));
      ax = static_cast<int16_t>(left);
    } else if (c1 & 2) {
      ay = static_cast<int16_t>(ay + static_cast<int16_t>((right - ax) * m));
      ax = static_cast<int16_t>(right);
    } else if (c1 & 8) {
      if (bx != ax) ax = static_cast<int16_t>(ax + static_cast<int16_t>((bottom - ay) / m));
      ay = static_cast<int16_t>(bottom);
    } else if (c1 & 4) {
      if (bx != ax) ax = static_cast<int16_t>(ax + static_cast<int16_t>((top - ay) / m));
      ay = static_cast<int16_t>(top);
    }
  }
  if (ax == bx) {
    vline(ax, ay, by, c, 255);
    return;
  }
  if (ay == by) {
    hline(ax, bx, ay, c, 255);
    return;
  }
  int dx = bx - ax, dy = by - ay;
  const int sx = dx >= 0 ? 1 : -1, sy = dy >= 0 ? 1 : -1;
  dx = sx * dx + 1;
  dy = sy * dy + 1;
  long step_major = sx, step_minor = static_cast<long>(sy) * width;
  if (dx < dy) {
    std::swap(dx, dy);
    std::swap(step_major, step_minor);
  }
  long at = static_cast<long>(ay) * width + ax;
  for (int i = 0, e = 0; i < dx; ++i, at += step_major) {
    if (at >= 0 && at < static_cast<long>(frame.size())) frame[static_cast<size_t>(at)] = c;
    e += dy;
    if (e >= dx) {
      e -= dx;
      at += step_minor;
    }
  }
}

void ZT_PlatformSoft::draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                                     ZT_Platform_RGB* fill, int alpha) {
  if (width <= 0 || height <= 0) return;
  clear_settle();
  const int a = alpha < 0 ? 255 : (alpha & 0xff);
  const int16_t ax = static_cast<int16_t>(x1), ay = static_cast<int16_t>(y1);
  const int16_t bx = static_cast<int16_t>(x2), by = static_cast<int16_t>(y2);
  ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);
  if (!border && !fill) border = &white;
  if (border) {
    // SDL_gfx's rectangleColor: two rows, then the columns between them.
    const uint16_t c = rgb565_get(border->r, border->g, border->b);
    if (ax == bx) {
      vline(ax, ay, by, c, a);
    } else if (ay == by) {
      hline(ax, bx, ay, c, a);
    } else {
      const int l = std::min(ax, bx), r = std::max(ax, bx);
      const int t = std::min(ay, by), b = std::max(ay, by);
      hline(l, r, t, c, a);
      hline(l, r, b, c, a);
      if (t + 1 <= b - 1) {
        vline(l, t + 1, b - 1, c, a);
        vline(r, t + 1, b - 1, c, a);
      }
    }
  }
  if (fill) box(ax, ay, bx, by, rgb565_get(fill->r, fill->g, fill->b), a);
}

void ZT_PlatformSoft::draw_flip(int view_width, int view_height) {
  clear_settle();
  ++presented;
  const int w = width, h = height;
  if (view_width > 0 && view_height > 0) {
    // Single precision, as the desktop program computes the box.
    const float sx = static_cast<float>(view_width) / static_cast<float>(w);
    const float sy = static_cast<float>(view_height) / static_cast<float>(h);
    const float scale = sx > sy ? sx : sy;
    const int zw = static_cast<int>(scale * static_cast<float>(w));
    const int zh = static_cast<int>(scale * static_cast<float>(h));
    if (zw <= w && zh <= h && zw > 0 && zh > 0) {
      const int zx = w / 2 - zw / 2, zy = h / 2 - zh / 2;
      // SDL_SoftStretch: 16.16 steps over rows and columns, a source row
      // or column taken when the position passes a whole step.
      if (stretch_width != zw) {
        stretch_columns.resize(static_cast<size_t>(w));
        int pos = 0x10000, src = -1;
        const int inc = (zw << 16) / w;
        for (int i = 0; i < w; ++i) {
          while (pos >= 0x10000) {
            ++src;
            pos -= 0x10000;
          }
          stretch_columns[static_cast<size_t>(i)] = static_cast<uint16_t>(src);
          pos += inc;
        }
        stretch_width = zw;
      }
      const uint16_t* columns = stretch_columns.data();
      int pos = 0x10000, src_row = zy - 1;
      const int inc = (zh << 16) / h;
      const uint16_t* previous = nullptr;
      int previous_row = -1;
      for (int row = 0; row < h; ++row) {
        while (pos >= 0x10000) {
          ++src_row;
          pos -= 0x10000;
        }
        uint16_t* dst = &screen[static_cast<size_t>(row) * w];
        if (src_row == previous_row) {
          std::memcpy(dst, previous, static_cast<size_t>(w) * 2);
        } else {
          const uint16_t* line = &frame[static_cast<size_t>(src_row) * w + zx];
          for (int i = 0; i < w; ++i) dst[i] = line[columns[i]];
          previous = dst;
          previous_row = src_row;
        }
        pos += inc;
      }
      return;
    }
  }
  std::memcpy(screen.data(), frame.data(), frame.size() * 2);
}

// ---------------------------------------------------------------------------
// Sound

ZT_Platform_Sound* ZT_PlatformSoft::sound_load(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string reason;
  std::vector<int16_t> samples;
  if (!zt_soft::file_read(path, &bytes, &reason) ||
      !zt_soft::wav_decode(bytes.data(), bytes.size(), &samples, &reason)) {
    throw ZT_Exception("Unable to load sound sample " + path + ": " + reason);
  }
  ZT_PlatformSoft_Sound* sound = new ZT_PlatformSoft_Sound;
  sound->samples.swap(samples);
  sound->platform = this;
  sounds.push_back(sound);
  return sound;
}

void ZT_PlatformSoft::sound_forget(ZT_PlatformSoft_Sound* sound) {
  for (Channel& c : channels) {
    if (c.sound == sound) c.sound = nullptr;
  }
  sounds.erase(std::remove(sounds.begin(), sounds.end(), sound), sounds.end());
  sound->platform = nullptr;
}

void ZT_PlatformSoft::sound_play(ZT_Platform_Sound* sound) {
  ZT_PlatformSoft_Sound* sample = dynamic_cast<ZT_PlatformSoft_Sound*>(sound);
  if (!sample || sample->platform != this || sample->samples.empty()) return;
  for (Channel& c : channels) {
    if (!c.sound) {
      c.sound = sample;
      c.position = 0;
      return;
    }
  }
  // All six busy: the sample is dropped, as the mixer drops it.
}

int ZT_PlatformSoft::sound_volume(unsigned short v) {
  volume = v > kMaxVolume ? kMaxVolume : v;
  return volume;
}

void ZT_PlatformSoft::sound_stop_all() {
  for (Channel& c : channels) c.sound = nullptr;
}

void ZT_PlatformSoft::audio_mix(int16_t* out, int frames, int rate) {
  if (!out || frames <= 0) return;
  if (rate <= 0) rate = kMixRate;
  if (rate != mix_rate) {
    mix_rate = rate;
    mix_phase = 0;
  }
  const unsigned long step = static_cast<unsigned long>(rate);
  for (int i = 0; i < frames; ++i) {
    // Each channel at the mixer's volume, added with saturation in channel
    // order as SDL_mixer adds them.
    int32_t sum = 0;
    for (const Channel& c : channels) {
      if (!c.sound) continue;
      const int32_t s = c.sound->samples[c.position] * volume / kMixMaxVolume;
      sum += s;
      if (sum > 32767) sum = 32767;
      if (sum < -32768) sum = -32768;
    }
    out[i] = static_cast<int16_t>(sum);
    // Step the channels through their samples at the mixer's rate.
    mix_phase += kMixRate;
    while (mix_phase >= step) {
      mix_phase -= step;
      for (Channel& c : channels) {
        if (c.sound && ++c.position >= c.sound->samples.size()) c.sound = nullptr;
      }
    }
  }
}
