// SPDX-License-Identifier: MIT
// The software platform: the frame and its presentation, drawing with the
// arithmetic of SDL and SDL_gfx on a 16-bit frame, the clocks the host drives,
// the event queue the host fills, and six mixing channels the host pulls.
#include "platform/plat_soft.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <typeinfo>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/decode/media.h"
#include "platform/decode/pack.h"
#include "platform/plat_soft_media.h"

namespace {

const int kMixMaxVolume = 128;  // SDL_mixer's full volume

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

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
// One byte shuffle per block of eight screen pixels, on processors that have it.
__attribute__((target("ssse3"))) void shuffle_blocks(uint16_t* dst, const uint16_t* line,
                                                     const uint16_t* starts,
                                                     const uint8_t* shuffles, int blocks) {
  for (int b = 0; b < blocks; ++b) {
    const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + starts[b]));
    const __m128i order = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffles + 16 * b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 8 * b), _mm_shuffle_epi8(source, order));
  }
}
const bool kHaveShuffle = __builtin_cpu_supports("ssse3");
#define ZT_SOFT_SHUFFLE 1
#endif

// SDL_gfx's (Sint16) of a float as x86 computes it: truncated to 32 bits (a
// value beyond them, or none, giving the lowest), then cut to 16.
inline int16_t gfx_short(float v) {
  const int32_t i = v > -2147483648.0f && v < 2147483648.0f ? static_cast<int32_t>(v) : INT32_MIN;
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(i)));
}

// A run of pixels: segments are made of many short runs, for which a call to
// memcpy costs more than the copy.
inline void run_copy(uint16_t* dst, const uint16_t* src, int n) {
  if (n > 32) {
    std::memcpy(dst, src, static_cast<size_t>(n) * 2);
    return;
  }
  while (n >= 4) {
    uint64_t four;
    std::memcpy(&four, src, 8);
    std::memcpy(dst, &four, 8);
    dst += 4;
    src += 4;
    n -= 4;
  }
  while (n-- > 0) *dst++ = *src++;
}

// Pixels where the mask is set, four at a time.
inline void masked_copy(uint16_t* dst, const uint16_t* src, const uint16_t* mask, int n) {
#ifdef __SSE2__
  for (; n >= 8; n -= 8, dst += 8, src += 8, mask += 8) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                     _mm_or_si128(_mm_andnot_si128(m, d), _mm_and_si128(s, m)));
  }
#endif
  for (; n >= 4; n -= 4, dst += 4, src += 4, mask += 4) {
    uint64_t d, s, m;
    std::memcpy(&d, dst, 8);
    std::memcpy(&s, src, 8);
    std::memcpy(&m, mask, 8);
    d = (d & ~m) | (s & m);
    std::memcpy(dst, &d, 8);
  }
  for (; n > 0; --n, ++dst, ++src, ++mask) {
    *dst = static_cast<uint16_t>((*dst & ~*mask) | (*src & *mask));
  }
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

// `level` 256ths of the way from `d` to `s` (a segment part way between
// clear and dark), in 32 steps: the three channels spread apart in one word
// are mixed by one multiplication each.
inline uint16_t mix565(uint32_t d, uint32_t s, uint32_t level) {
  const uint32_t a = level >> 3;
  const uint32_t dw = (d | d << 16) & 0x07e0f81fu, sw = (s | s << 16) & 0x07e0f81fu;
  const uint32_t m = ((dw * (32 - a) + sw * a) >> 5) & 0x07e0f81fu;
  return static_cast<uint16_t>(m | m >> 16);
}

// Where the mask is set, the pixels mixed `level` 256ths of the way to
// `src`, eight at a time where the processor can: exactly as mix565 does.
inline void masked_mix(uint16_t* dst, const uint16_t* src, const uint16_t* mask, int n,
                       uint32_t level) {
#ifdef __SSE2__
  const __m128i a = _mm_set1_epi16(static_cast<short>(level >> 3));
  const __m128i keep = _mm_set1_epi16(static_cast<short>(32 - (level >> 3)));
  const __m128i five = _mm_set1_epi16(31), six = _mm_set1_epi16(63);
  for (; n >= 8; n -= 8, dst += 8, src += 8, mask += 8) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask));
    auto channel = [&](__m128i dc, __m128i sc) {
      return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(dc, keep), _mm_mullo_epi16(sc, a)), 5);
    };
    const __m128i r = channel(_mm_srli_epi16(d, 11), _mm_srli_epi16(s, 11));
    const __m128i g =
        channel(_mm_and_si128(_mm_srli_epi16(d, 5), six), _mm_and_si128(_mm_srli_epi16(s, 5), six));
    const __m128i b = channel(_mm_and_si128(d, five), _mm_and_si128(s, five));
    const __m128i mixed =
        _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 11), _mm_slli_epi16(g, 5)), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                     _mm_or_si128(_mm_andnot_si128(m, d), _mm_and_si128(mixed, m)));
  }
#endif
  for (; n > 0; --n, ++dst, ++src, ++mask)
    if (*mask) *dst = mix565(*dst, *src, level);
}

}  // namespace

// ---------------------------------------------------------------------------
// Samples

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
      volume(ZT_Platform_StartVolume),
      channels() {}

ZT_PlatformSoft::~ZT_PlatformSoft() {
  if (initialized) finalize();
  for (ZT_PlatformSoft_Sound* sound : sounds) sound->platform = nullptr;
  for (ZT_PlatformSoft_Image* image : images) image->platform = nullptr;
}

void ZT_PlatformSoft::initialize() {
  if (initialized) return;
  std::string reason;
  std::vector<uint8_t> bytes;
  zt_decode::Font* opened = nullptr;
  if (data_read(platformdata_get() + "/" + ZT_Platform_FontFile, &bytes, &reason)) {
    opened = zt_decode::font_parse(bytes, ZT_Platform_FontSize, &reason);
  } else if (reason.compare(0, 13, "Couldn't open") != 0) {
    // SDL_ttf tells a file it cannot open from one it cannot use.
    reason = "Couldn't load font file";
  }
  if (!opened) throw ZT_Exception("Unable to load font: " + reason);
  font.reset(opened);
  sound_volume(ZT_Platform_StartVolume);
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

void ZT_PlatformSoft::ticks_advance(unsigned int ms) {
  // In steps the anchor's carry can follow without its difference wrapping.
  const unsigned int kStep = 1u << 31;
  while (ms > kStep) {
    ticks += kStep;
    ms -= kStep;
    time_carry();
  }
  ticks += ms;
  time_carry();
}

void ZT_PlatformSoft::time_carry() {
  if (!time_anchored) return;
  while (ticks - anchor_ticks >= kAnchorSpan) {
    anchor = ZT_Platform_Time_add(anchor, kAnchorSpan / 1000);
    anchor_ticks += kAnchorSpan;
  }
}

void ZT_PlatformSoft::time_pin(const ZT_Platform_Time& time) {
  pinned = time;
  time_pinned = true;
  time_anchored = false;
}

void ZT_PlatformSoft::time_anchor(const ZT_Platform_Time& start) {
  anchor = start;
  anchor_ticks = ticks;
  time_anchored = true;
  time_pinned = false;
}

void ZT_PlatformSoft::time_unpin() {
  time_pinned = false;
  time_anchored = false;
}

ZT_Platform_Time ZT_PlatformSoft::time_get() {
  if (time_pinned) return pinned;
  // Unsigned, so that the clock's wrap after 49 days still counts forward.
  if (time_anchored)
    return ZT_Platform_Time_add(anchor, (static_cast<uint32_t>(ticks) - anchor_ticks) / 1000);
  return ZT_Platform_Time_local();
}

unsigned int ZT_PlatformSoft::time_ms_get() { return ZT_Platform_Time_ms(time_get()); }

void ZT_PlatformSoft::key_push(int key) {
  // Only the codes the desktop program's keyboard can give (and the power key).
  if (key < 0 || key >= ZT_KEY_COUNT) return;
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
// Data files

void ZT_PlatformSoft::pack_set(std::shared_ptr<const ZT_Pack> data_pack) {
  pack = std::move(data_pack);
}

bool ZT_PlatformSoft::data_read(const std::string& path, std::vector<uint8_t>* bytes,
                                std::string* reason) {
  const std::string folder = datapath_get() + "/";
  if (!pack || path.compare(0, folder.size(), folder) != 0) {
    return zt_decode::file_read(path, bytes, reason);
  }
  const ZT_Pack::Entry* entry = pack->find(path.substr(folder.size()));
  if (!entry) {
    *reason = "Couldn't open " + path;
    return false;
  }
  return pack->read(*entry, bytes, reason);
}

// ---------------------------------------------------------------------------
// Pictures and drawing

ZT_Platform_Image* ZT_PlatformSoft::image_load(const std::string& path,
                                               ZT_Platform_RGB* transparent) {
  std::vector<uint8_t> bytes;
  std::string reason;
  zt_decode::Bitmap bitmap;
  if (!data_read(path, &bytes, &reason) ||
      !zt_decode::bmp_decode(bytes.data(), bytes.size(), &bitmap, &reason)) {
    throw ZT_Exception("Unable to load image " + path + ": " + reason);
  }
  ZT_PlatformSoft_Image* image = zt_soft::bitmap_image(bitmap, transparent);
  image->platform = this;
  images.push_back(image);
  return image;
}

void ZT_PlatformSoft::image_forget(ZT_PlatformSoft_Image* image) {
  images.erase(std::remove(images.begin(), images.end(), image), images.end());
  image->platform = nullptr;
  fades.erase(std::remove_if(fades.begin(), fades.end(),
                             [image](const Fade& f) { return f.picture == image; }),
              fades.end());
  auto holds = [image](const std::vector<Layer>& list) {
    return std::any_of(list.begin(), list.end(),
                       [image](const Layer& l) { return l.picture == image; });
  };
  if (holds(layers)) layers_valid = false;
  if (holds(drawing)) drawing_pictures = false;
}

// draw_clear is applied when the next drawing needs it, and then only where a
// picture drawn over the whole of it does not cover the frame anyway.
void ZT_PlatformSoft::frame_prepare(int x0, int y0, int x1, int y1) {
  if (clear_pending) {
    clear_pending = false;
    std::fill(frame.begin(), frame.end(), 0);
    black_known = true;
    black_x0 = black_y0 = black_x1 = black_y1 = 0;
    base_valid = false;
  }
  if (x0 >= x1 || y0 >= y1) return;
  if (x0 < black_x0 || y0 < black_y0 || x1 > black_x1 || y1 > black_y1) black_known = false;
  if (base_valid) {
    // Past a few hundred boxes, or one of the whole frame, repainting costs as much.
    if (drawn_since_base.size() >= 256 || (x0 == 0 && y0 == 0 && x1 == width && y1 == height)) {
      base_valid = false;
    } else {
      drawn_since_base.push_back(Box{x0, y0, x1, y1});
    }
  }
}

// The picture at (x, y) over a cleared frame, painted in the window
// [wx0, wx1) x [wy0, wy1): each row copied whole, then black in the gaps
// between its runs; black around the picture too when `around` is set.
void ZT_PlatformSoft::background_pass(const ZT_PlatformSoft_Image* picture, int x, int y, int wx0,
                                      int wy0, int wx1, int wy1, bool around) {
  wx0 = std::max(wx0, 0);
  wy0 = std::max(wy0, 0);
  wx1 = std::min(wx1, width);
  wy1 = std::min(wy1, height);
  if (wx0 >= wx1 || wy0 >= wy1) return;
  const int w = picture->width;
  const int px0 = std::max(x, wx0), px1 = std::min(x + w, wx1);
  const int py0 = std::max(y, wy0), py1 = std::min(y + picture->height, wy1);
  const ZT_PlatformSoft_Image::Run* runs = picture->runs.data();
  for (int row = wy0; row < wy1; ++row) {
    uint16_t* dst = &frame[static_cast<size_t>(row) * width];
    if (row < py0 || row >= py1 || px0 >= px1) {
      if (around) std::fill(dst + wx0, dst + wx1, 0);
      continue;
    }
    if (around) {
      std::fill(dst + wx0, dst + px0, 0);
      std::fill(dst + px1, dst + wx1, 0);
    }
    const int py = row - y;
    std::memcpy(dst + px0, &picture->pixels[static_cast<size_t>(py) * w + (px0 - x)],
                static_cast<size_t>(px1 - px0) * 2);
    int done = px0;  // columns before this are final
    for (uint32_t r = picture->row_runs[py]; r != picture->row_runs[py + 1]; ++r) {
      int a = x + runs[r].x, b = a + runs[r].length;
      if (a < px0) a = px0;
      if (b > px1) b = px1;
      if (a >= b) continue;
      if (done < a) std::fill(dst + done, dst + a, 0);
      done = b;
    }
    if (done < px1) std::fill(dst + done, dst + px1, 0);
  }
}

void ZT_PlatformSoft::draw_clear() {
  clear_pending = true;
  if (fade_rise == 0 && fade_fall == 0) return;
  drawing.clear();
  drawing_pictures = true;
  for (Fade& f : fades) f.drawn = false;
}

void ZT_PlatformSoft::draw_image(ZT_Platform_Image* image, int x, int y) {
  // The exact type is checked first: a dynamic_cast per segment is measurable.
  ZT_PlatformSoft_Image* picture = image && typeid(*image) == typeid(ZT_PlatformSoft_Image)
                                       ? static_cast<ZT_PlatformSoft_Image*>(image)
                                       : dynamic_cast<ZT_PlatformSoft_Image*>(image);
  if (!picture || picture->width <= 0 || picture->height <= 0) return;
  const int w = picture->width, h = picture->height;
  if (picture->row_runs.size() != static_cast<size_t>(h) + 1) picture->runs_update();
  const bool fading = drawing_pictures && (fade_rise != 0 || fade_fall != 0);
  if (fading) drawing.push_back(Layer{picture, x, y});
  const int x0 = std::max(x, 0), x1 = std::min(x + w, width);
  const int y0 = std::max(y, 0), y1 = std::min(y + h, height);
  if (clear_pending && x0 < x1 && y0 < y1 && !picture->blended) {
    // A picture drawn first after a clear (the handheld's background): the
    // clear is done in the same pass, around the picture and in its holes.
    clear_pending = false;
    if (base_valid && base == picture && base_generation == picture->generation && base_x == x &&
        base_y == y) {
      // As the last frame began: only what was drawn over it since is undone.
      for (const Box& box : drawn_since_base) {
        background_pass(picture, x, y, box.x0, box.y0, box.x1, box.y1, true);
      }
    } else {
      const bool around_black =
          black_known && (black_x0 >= black_x1 || black_y0 >= black_y1 ||
                          (black_x0 >= x0 && black_y0 >= y0 && black_x1 <= x1 && black_y1 <= y1));
      background_pass(picture, x, y, 0, 0, width, height, !around_black);
      base_valid = true;
      base = picture;
      base_generation = picture->generation;
      base_x = x;
      base_y = y;
    }
    drawn_since_base.clear();
    black_known = true;
    black_x0 = x0, black_y0 = y0, black_x1 = x1, black_y1 = y1;
    return;
  }
  int level = kFadeFull;
  if (fading && drawing.size() > 1) {
    // A segment: found where it was seen before, dark or on its way; turned
    // back on from where it stands when it was clearing.
    Fade* f = fade_find(picture, x, y);
    if (f == nullptr) {
      fades.push_back(Fade{picture, x, y, ticks, 0, true, false});
      f = &fades.back();
    } else if (!f->rising) {
      f->from = fade_level(*f);
      f->since = ticks;
      f->rising = true;
    }
    f->drawn = true;
    level = fade_level(*f);
    if (level == kFadeFull) f->from = kFadeFull;  // settled: the clock may run on and wrap
  }
  picture_draw(picture, x, y, level);
}

ZT_PlatformSoft::Fade* ZT_PlatformSoft::fade_find(const ZT_PlatformSoft_Image* picture, int x,
                                                  int y) {
  // Frames draw their segments in the same order: the next one is most
  // likely where the last one was found.
  for (size_t n = 0; n < fades.size(); ++n) {
    const size_t i = (fade_hint + n) % fades.size();
    if (fades[i].picture == picture && fades[i].x == x && fades[i].y == y) {
      fade_hint = i + 1;
      return &fades[i];
    }
  }
  return nullptr;
}

int ZT_PlatformSoft::fade_level(const Fade& f) const {
  const uint32_t span = f.rising ? fade_rise : fade_fall;
  const uint32_t elapsed = ticks - f.since;
  if (span == 0 || elapsed >= span) return f.rising ? kFadeFull : 0;
  // (In 32 bits for spans of the usual fraction of a second: the divisions
  // are a measurable part of a frame of fading segments.)
  const int step =
      static_cast<int>(span < (1u << 23) ? elapsed * kFadeFull / span
                                         : static_cast<uint64_t>(elapsed) * kFadeFull / span);
  return f.rising ? std::min(kFadeFull, f.from + step) : std::max(0, f.from - step);
}

void ZT_PlatformSoft::fade_set(unsigned rise_ms, unsigned fall_ms) {
  fade_rise = rise_ms;
  fade_fall = fall_ms;
  if (rise_ms == 0 && fall_ms == 0) {
    fades.clear();
    layers_valid = drawing_pictures = fade_pending = false;
  }
}

void ZT_PlatformSoft::fade_refresh() {
  if (!layers_valid) {
    fade_pending = false;  // nothing left to draw them in
    return;
  }
  draw_clear();
  for (const Layer& l : layers) draw_image(l.picture, l.x, l.y);
  draw_flip(layers_view_width, layers_view_height);
}

void ZT_PlatformSoft::picture_draw(const ZT_PlatformSoft_Image* picture, int x, int y, int level) {
  const int w = picture->width, h = picture->height;
  const int x0 = std::max(x, 0), x1 = std::min(x + w, width);
  const int y0 = std::max(y, 0), y1 = std::min(y + h, height);
  if (level <= 0) return;
  frame_prepare(x0, y0, x1, y1);
  if (x0 >= x1 || y0 >= y1) return;
  const ZT_PlatformSoft_Image::Run* runs = picture->runs.data();
  const uint32_t* row_runs = picture->row_runs.data();
  if (level < kFadeFull) {
    // Part way: each drawn pixel (along the runs, or by the row mask of a
    // segment's many short runs) mixed with what lies under it.
    const uint32_t mix = static_cast<uint32_t>(level);
    if (!picture->mask.empty() && !picture->blended) {
      for (int row = y0; row < y1; ++row) {
        const size_t from = static_cast<size_t>(row - y) * w + (x0 - x);
        masked_mix(&frame[static_cast<size_t>(row) * width + x0], &picture->pixels[from],
                   &picture->mask[from], x1 - x0, mix);
      }
      return;
    }
    for (int row = y0; row < y1; ++row) {
      const int py = row - y;
      const size_t from = static_cast<size_t>(py) * w - x;
      uint16_t* dst = &frame[static_cast<size_t>(row) * width];
      for (uint32_t r = row_runs[py]; r != row_runs[py + 1]; ++r) {
        const int a = std::max(x + runs[r].x, x0), b = std::min(x + runs[r].x + runs[r].length, x1);
        if (picture->blended) {
          for (int col = a; col < b; ++col)
            dst[col] = mix565(dst[col], blend_opaque(picture->rgb[from + col], dst[col]), mix);
        } else {
          for (int col = a; col < b; ++col)
            dst[col] = mix565(dst[col], picture->pixels[from + col], mix);
        }
      }
    }
    return;
  }
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
  if (!picture->mask.empty()) {
    for (int row = y0; row < y1; ++row) {
      const size_t from = static_cast<size_t>(row - y) * w + (x0 - x);
      masked_copy(&frame[static_cast<size_t>(row) * width + x0], &picture->pixels[from],
                  &picture->mask[from], x1 - x0);
    }
    return;
  }
  if (x0 == x && x1 == x + w) {
    // Whole rows inside the frame: the runs need no clipping.
    for (int row = y0; row < y1; ++row) {
      const int py = row - y;
      const uint16_t* src = &picture->pixels[static_cast<size_t>(py) * w];
      uint16_t* dst = &frame[static_cast<size_t>(row) * width + x];
      for (uint32_t r = row_runs[py]; r != row_runs[py + 1]; ++r) {
        run_copy(dst + runs[r].x, src + runs[r].x, runs[r].length);
      }
    }
    return;
  }
  for (int row = y0; row < y1; ++row) {
    const int py = row - y;
    const uint16_t* src = &picture->pixels[static_cast<size_t>(py) * w];
    uint16_t* dst = &frame[static_cast<size_t>(row) * width];
    for (uint32_t r = row_runs[py]; r != row_runs[py + 1]; ++r) {
      int a = x + runs[r].x, b = a + runs[r].length;
      if (a < x0) a = x0;
      if (b > x1) b = x1;
      if (a < b) run_copy(dst + a, src + (a - x), b - a);
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
  drawing_pictures = false;
  if (width <= 0 || height <= 0) return;
  frame_prepare(0, 0, width, height);
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
      ay = static_cast<int16_t>(ay + gfx_short((left - ax) * m));
      ax = static_cast<int16_t>(left);
    } else if (c1 & 2) {
      ay = static_cast<int16_t>(ay + gfx_short((right - ax) * m));
      ax = static_cast<int16_t>(right);
    } else if (c1 & 8) {
      if (bx != ax) ax = static_cast<int16_t>(ax + gfx_short((bottom - ay) / m));
      ay = static_cast<int16_t>(bottom);
    } else if (c1 & 4) {
      if (bx != ax) ax = static_cast<int16_t>(ax + gfx_short((top - ay) / m));
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
  int64_t step_major = sx, step_minor = static_cast<int64_t>(sy) * width;
  if (dx < dy) {
    std::swap(dx, dy);
    std::swap(step_major, step_minor);
  }
  int64_t at = static_cast<int64_t>(ay) * width + ax;
  for (int i = 0, e = 0; i < dx; ++i, at += step_major) {
    if (at >= 0 && at < static_cast<int64_t>(frame.size())) frame[static_cast<size_t>(at)] = c;
    e += dy;
    if (e >= dx) {
      e -= dx;
      at += step_minor;
    }
  }
}

void ZT_PlatformSoft::draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                                     ZT_Platform_RGB* fill, int alpha) {
  drawing_pictures = false;
  if (width <= 0 || height <= 0) return;
  frame_prepare(0, 0, width, height);
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

// Screen pixels of one stretched row made by whole blocks; returns how many.
int ZT_PlatformSoft::stretch_blocks(uint16_t* dst, const uint16_t* line) {
#ifdef ZT_SOFT_SHUFFLE
  if (kHaveShuffle) {
    const int blocks = static_cast<int>(stretch_block_start.size());
    shuffle_blocks(dst, line, stretch_block_start.data(), stretch_block_shuffle.data(), blocks);
    return 8 * blocks;
  }
#endif
  (void)dst;
  (void)line;
  return 0;
}

void ZT_PlatformSoft::draw_flip(int view_width, int view_height) {
  if (fade_rise != 0 || fade_fall != 0) {
    if (drawing_pictures && !drawing.empty()) {
      // The segments not drawn this time clear from where they stand, drawn
      // over the rest until they are gone.
      // Those gone clear are forgotten; any other on its way keeps the host drawing.
      size_t kept = 0;
      fade_pending = false;
      for (Fade& f : fades) {
        const int level = fade_level(f);
        if (!f.drawn) {
          if (f.rising) {
            f.from = level;
            f.since = ticks;
            f.rising = false;
          }
          picture_draw(f.picture, f.x, f.y, level);
          if (level == 0) continue;
        }
        fade_pending = fade_pending || !f.rising || level < kFadeFull;
        fades[kept++] = f;
      }
      fades.resize(kept);
      layers.swap(drawing);
      layers_valid = true;
      layers_view_width = view_width;
      layers_view_height = view_height;
    } else {
      fades.clear();  // a frame with more than pictures (the menu) is drawn sharp
      layers_valid = fade_pending = false;
    }
    drawing_pictures = false;
  }
  frame_prepare(0, 0, 0, 0);
  ++presented;
  const int w = width, h = height;
  int zx, zy, zw, zh;
  if (ZT_Platform_zoom_rect(w, h, view_width, view_height, &zx, &zy, &zw, &zh)) {
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
      // Enlarging, each step moves at most one source column, so eight
      // screen pixels come from eight source pixels or fewer.
      const int blocks = w / 8;
      stretch_block_start.resize(static_cast<size_t>(blocks));
      stretch_block_shuffle.resize(static_cast<size_t>(blocks) * 16);
      for (int b = 0; b < blocks; ++b) {
        const uint16_t first = stretch_columns[static_cast<size_t>(b) * 8];
        stretch_block_start[static_cast<size_t>(b)] = first;
        for (int k = 0; k < 8; ++k) {
          const int at = 2 * (stretch_columns[static_cast<size_t>(b) * 8 + k] - first);
          stretch_block_shuffle[static_cast<size_t>(b) * 16 + 2 * k] = static_cast<uint8_t>(at);
          stretch_block_shuffle[static_cast<size_t>(b) * 16 + 2 * k + 1] =
              static_cast<uint8_t>(at + 1);
        }
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
        const size_t start = static_cast<size_t>(src_row) * w + zx;
        const uint16_t* line = &frame[start];
        int i = 0;
        // Each block reads eight source pixels, which must lie in the frame.
        if (!stretch_block_start.empty() &&
            start + stretch_block_start.back() + 8 <= frame.size()) {
          i = stretch_blocks(dst, line);
        }
        for (; i < w; ++i) dst[i] = line[columns[i]];
        previous = dst;
        previous_row = src_row;
      }
      pos += inc;
    }
    return;
  }
  std::memcpy(screen.data(), frame.data(), frame.size() * 2);
}

// ---------------------------------------------------------------------------
// Sound

ZT_Platform_Sound* ZT_PlatformSoft::sound_load(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string reason;
  std::vector<int16_t> samples;
  if (!data_read(path, &bytes, &reason) ||
      !zt_decode::wav_decode(bytes.data(), bytes.size(), kMixRate, &samples, &reason)) {
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
  volume = v > ZT_Platform_MaxVolume ? ZT_Platform_MaxVolume : v;
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
  const uint32_t step = static_cast<uint32_t>(rate);
  bool silent = true;
  for (const Channel& c : channels) silent = silent && c.sound == nullptr;
  if (silent) {
    // Nothing plays, as on most frames: silence, the resampling phase moved on.
    std::memset(out, 0, static_cast<size_t>(frames) * sizeof *out);
    mix_phase = static_cast<uint32_t>(
        (static_cast<uint64_t>(mix_phase) + static_cast<uint64_t>(frames) * kMixRate) % step);
    return;
  }
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
