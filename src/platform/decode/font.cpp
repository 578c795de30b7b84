// SPDX-License-Identifier: MIT
// TrueType fonts through stb_truetype, measured with SDL_ttf's arithmetic
// (FreeType's rounding of the font's metrics, glyph boxes on whole pixels) and
// rendered in one bit like SDL_ttf's solid text, so that the software
// platform's menu is laid out as the desktop program's.
#include <cmath>
#include <cstring>
#include <memory>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include "platform/decode/media.h"
#include "stb_truetype.h"

namespace {

// FreeType's 16.16 and 26.6 fixed-point helpers, as SDL_ttf applies them.
// FreeType's longs are 64-bit on the desktop program's systems: int64_t here,
// so that a 32-bit build lays text out the same.
int64_t mul_fix(int64_t a, int64_t b) {
  const int64_t c = a * b;
  return (c + 0x8000 - (c < 0)) >> 16;
}
int64_t div_fix(int64_t a, int64_t b) { return (a * 65536 + b / 2) / b; }
int ceil26(int64_t v) { return static_cast<int>(((v + 63) & -64) / 64); }

uint32_t be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (be16(p) << 16) | be16(p + 2); }

// stb_truetype trusts the file and reads wherever its offsets point. What it
// will read is checked here first: the tables it uses lie in the file, and
// each glyph the platform renders (with the glyphs it is built of) lies in the
// glyph table with every field it holds. Characters are looked up here too,
// with bounds, rather than by stb_truetype.
class FontCheck {
 public:
  explicit FontCheck(const std::vector<uint8_t>& font) : d(font.data()), size(font.size()) {}

  bool tables_sound() {
    if (size < 12) return false;
    const uint32_t version = be32(d);
    if (version != 0x00010000 && version != 0x74727565) return false;  // TrueType outlines only
    const uint32_t tables = be16(d + 4);
    if (12 + 16 * static_cast<size_t>(tables) > size) return false;
    static const char* const kNeeded[] = {"cmap", "loca", "head", "glyf", "hhea", "hmtx", "maxp"};
    uint32_t found = 0, offsets[7] = {}, lengths[7] = {};
    for (uint32_t i = 0; i < tables; ++i) {
      const uint8_t* entry = d + 12 + 16 * i;
      const uint32_t offset = be32(entry + 8), length = be32(entry + 12);
      if (offset > size || length > size - offset) return false;
      for (int n = 0; n < 7; ++n) {
        if (found & (1u << n) || std::memcmp(entry, kNeeded[n], 4) != 0) continue;
        found |= 1u << n;  // the first of a name, as stb_truetype takes it
        offsets[n] = offset;
        lengths[n] = length;
      }
    }
    if (found != 0x7f) return false;
    cmap = offsets[0], cmap_len = lengths[0];
    glyf = offsets[3], glyf_len = lengths[3];
    const uint32_t loca = offsets[1], head = offsets[2], hhea = offsets[4], maxp = offsets[6];
    if (lengths[2] < 54 || lengths[6] < 6 || lengths[4] < 36 || cmap_len < 4) return false;
    if (4 + 8 * static_cast<size_t>(be16(d + cmap + 2)) > cmap_len) return false;
    glyphs = be16(d + maxp + 4);
    const bool long_loca = be16(d + head + 50) != 0;
    const uint32_t metrics = be16(d + hhea + 34);
    if (metrics == 0 || metrics > glyphs) return false;
    if (4 * metrics + 2 * (glyphs - metrics) > lengths[5]) return false;
    if ((long_loca ? 4u : 2u) * (glyphs + 1) > lengths[1]) return false;
    starts.resize(glyphs + 1);
    for (uint32_t g = 0; g <= glyphs; ++g) {
      starts[g] = long_loca ? be32(d + loca + 4 * g) : 2 * be16(d + loca + 2 * g);
      if ((g && starts[g] < starts[g - 1]) || starts[g] > glyf_len) return false;
    }
    return true;
  }

  // The glyph of a character from the first Unicode or Windows map of a
  // kind read here (formats 0, 4, 6 and 12); 0, the missing glyph, otherwise.
  uint32_t glyph_of(uint32_t c) {
    const uint32_t count = be16(d + cmap + 2);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* record = d + cmap + 4 + 8 * i;
      const uint32_t platform = be16(record), encoding = be16(record + 2);
      if (!(platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10)))) continue;
      const uint32_t at = be32(record + 4);
      if (at > cmap_len || cmap_len - at < 4) continue;
      const uint8_t* t = d + cmap + at;
      const size_t room = cmap_len - at;
      uint32_t g = 0;
      if (lookup(t, room, c, &g)) return g < glyphs ? g : 0;
    }
    return 0;
  }

  // The glyph and the glyphs it is built of lie in the glyph table with all
  // their fields; composites nest at most a few deep and place their parts
  // by offsets (stb_truetype stops on the other kind).
  bool glyph_sound(uint32_t g, int depth = 0) {
    if (g >= glyphs || depth > 8) return false;
    const uint32_t start = starts[g], end = starts[g + 1];
    if (start == end) return true;  // an empty glyph
    if (end - start < 10) return false;
    const uint8_t* p = d + glyf + start;
    const size_t n = end - start;
    const int contours = static_cast<int16_t>(be16(p));
    size_t at = 10;
    if (contours > 0) {
      if (at + 2 * static_cast<size_t>(contours) + 2 > n) return false;
      const size_t points = be16(p + at + 2 * (contours - 1)) + 1u;
      at += 2 * static_cast<size_t>(contours);
      at += 2 + be16(p + at);  // instructions
      size_t xs = 0, ys = 0;
      std::vector<uint8_t>& on = on_curve;
      on.assign(points, 0);
      for (size_t i = 0; i < points;) {
        if (at >= n) return false;
        const uint8_t flags = p[at++];
        size_t repeat = 1;
        if (flags & 8) {
          if (at >= n) return false;
          repeat += p[at++];
        }
        if (repeat > points - i) repeat = points - i;  // flags past the last point are not read
        const size_t x = flags & 2 ? 1 : (flags & 16 ? 0 : 2);
        const size_t y = flags & 4 ? 1 : (flags & 32 ? 0 : 2);
        xs += x * repeat;
        ys += y * repeat;
        for (size_t k = 0; k < repeat; ++k) on[i + k] = flags & 1;
        i += repeat;
      }
      if (at + xs + ys > n) return false;
      // stb_truetype starts a contour where the last one ended (as the end
      // points say, in whatever order), reads the point after an off-curve
      // first point, and has room for as many contours as the glyph declares.
      size_t next = 0, started = 0;
      for (size_t i = 0; i < points; ++i) {
        if (i != next) continue;
        if (++started > static_cast<size_t>(contours)) return false;
        if (!on[i]) {
          if (i + 1 >= points) return false;
          if (on[i + 1]) ++i;
        }
        next = 1 + be16(p + 10 + 2 * (started - 1));
      }
      return true;
    }
    if (contours == 0) return true;
    for (;;) {
      if (at + 4 > n) return false;
      const uint32_t flags = be16(p + at), part = be16(p + at + 2);
      if (!(flags & 2)) return false;  // parts matched by points
      at += 4 + (flags & 1 ? 4 : 2);
      // One scale at most, in stb_truetype's order of looking.
      if (flags & 8) {
        at += 2;
      } else if (flags & 0x40) {
        at += 4;
      } else if (flags & 0x80) {
        at += 8;
      }
      if (at > n || !glyph_sound(part, depth + 1)) return false;
      if (!(flags & 0x20)) return true;
    }
  }

 private:
  bool lookup(const uint8_t* t, size_t room, uint32_t c, uint32_t* g) {
    const uint32_t format = be16(t);
    if (format == 0) {
      if (room < 262) return false;
      *g = c < 256 ? t[6 + c] : 0;
      return true;
    }
    if (format == 6) {
      if (room < 10) return false;
      const uint32_t first = be16(t + 6), entries = be16(t + 8);
      if (10 + 2 * static_cast<size_t>(entries) > room) return false;
      *g = c >= first && c - first < entries ? be16(t + 10 + 2 * (c - first)) : 0;
      return true;
    }
    if (format == 4) {
      if (room < 14) return false;
      const size_t segments = be16(t + 6) / 2;
      if (16 + 8 * segments > room) return false;
      for (size_t i = 0; i < segments; ++i) {
        const uint32_t end = be16(t + 14 + 2 * i), start = be16(t + 16 + 2 * segments + 2 * i);
        if (c > end || c < start) continue;
        const uint32_t delta = be16(t + 16 + 4 * segments + 2 * i);
        const size_t range_at = 16 + 6 * segments + 2 * i;
        const uint32_t range = be16(t + range_at);
        if (range == 0) {
          *g = (c + delta) & 0xffff;
          return true;
        }
        const size_t at = range_at + range + 2 * (c - start);
        if (at + 2 > room) return false;
        const uint32_t v = be16(t + at);
        *g = v ? (v + delta) & 0xffff : 0;
        return true;
      }
      *g = 0;
      return true;
    }
    if (format == 12) {
      if (room < 16) return false;
      const uint32_t groups = be32(t + 12);
      if (groups > (room - 16) / 12) return false;
      for (uint32_t i = 0; i < groups; ++i) {
        const uint8_t* group = t + 16 + 12 * static_cast<size_t>(i);
        const uint32_t start = be32(group), end = be32(group + 4);
        if (c >= start && c <= end) {
          *g = be32(group + 8) + (c - start);
          return true;
        }
      }
      *g = 0;
      return true;
    }
    return false;
  }

  const uint8_t* d;
  size_t size;
  std::vector<uint8_t> on_curve;  // of the glyph being checked
  uint32_t cmap = 0, cmap_len = 0, glyf = 0, glyf_len = 0, glyphs = 0;
  std::vector<uint32_t> starts;
};

// Where a pixel is sampled, from its top-left corner. FreeType's monochrome
// renderer sets a pixel whose centre lies inside the outline, but SDL_ttf's
// glyphs are hinted first and their stems come out left of and above the
// unhinted outline's; sampling past the centre by these amounts (measured on
// the menu's lines) puts most stems where SDL_ttf puts them.
const float kSampleShiftX = 0.5f;
const float kSampleShiftY = 0.25f;

// The one-bit picture of a glyph: a pixel is set when its sample point lies
// inside the outline (non-zero winding), curves followed in short pieces.
void glyph_centres(const stbtt_fontinfo& info, int index, float scale, int x0, int y0, int w, int h,
                   std::vector<uint8_t>* bits) {
  struct Edge {
    float ax, ay, bx, by;
  };
  std::vector<Edge> edges;
  stbtt_vertex* v = nullptr;
  const int n = stbtt_GetGlyphShape(&info, index, &v);
  float px = 0, py = 0;
  for (int i = 0; i < n; ++i) {
    const float x = v[i].x * scale - x0, y = -v[i].y * scale - y0;
    if (v[i].type == STBTT_vline) {
      edges.push_back(Edge{px, py, x, y});
    } else if (v[i].type == STBTT_vcurve) {
      const float cx = v[i].cx * scale - x0, cy = -v[i].cy * scale - y0;
      const int pieces = 16;
      float lx = px, ly = py;
      for (int k = 1; k <= pieces; ++k) {
        const float t = static_cast<float>(k) / pieces, u = 1 - t;
        const float qx = u * u * px + 2 * u * t * cx + t * t * x;
        const float qy = u * u * py + 2 * u * t * cy + t * t * y;
        edges.push_back(Edge{lx, ly, qx, qy});
        lx = qx;
        ly = qy;
      }
    }
    px = x;
    py = y;
  }
  stbtt_FreeShape(&info, v);
  bits->assign(static_cast<size_t>(w) * h, 0);
  for (int row = 0; row < h; ++row) {
    const float cy = row + 0.5f + kSampleShiftY;
    for (int col = 0; col < w; ++col) {
      const float cx = col + 0.5f + kSampleShiftX;
      int winding = 0;
      for (const Edge& e : edges) {
        if ((e.ay <= cy) == (e.by <= cy)) continue;
        const float x = e.ax + (cy - e.ay) * (e.bx - e.ax) / (e.by - e.ay);
        if (x > cx) winding += e.by > e.ay ? 1 : -1;
      }
      (*bits)[static_cast<size_t>(row) * w + col] = winding != 0;
    }
  }
}

}  // namespace

namespace zt_decode {

Font* font_parse(const std::vector<uint8_t>& file, int size, std::string* reason) {
  stbtt_fontinfo info;
  FontCheck check(file);
  if (!check.tables_sound() || !stbtt_InitFont(&info, file.data(), 0)) {
    *reason = "Couldn't load font file";
    return nullptr;
  }
  std::unique_ptr<Font> font(new Font);
  const int64_t units = be16(info.data + info.head + 18);
  if (units <= 0) {
    *reason = "Couldn't load font file";
    return nullptr;
  }
  int ascender, descender, gap;
  stbtt_GetFontVMetrics(&info, &ascender, &descender, &gap);
  const int64_t y_scale = div_fix(static_cast<int64_t>(size) * 64, units);
  font->ascent = ceil26(mul_fix(ascender, y_scale));
  const int descent = ceil26(mul_fix(descender, y_scale));
  font->height = font->ascent - descent + 1;
  font->lineskip = ceil26(mul_fix(ascender - descender + gap, y_scale));
  // Metrics far beyond the size are those of a damaged file; they would ask
  // for glyph pictures of any size.
  const int limit = 8 * size;
  if (units < 16 || units > 16384 || font->height < 1 || font->height > limit ||
      font->ascent < -limit || font->ascent > limit) {
    *reason = "Couldn't load font file";
    return nullptr;
  }

  const float scale = static_cast<float>(size) / static_cast<float>(units);
  for (int c = 0; c < 256; ++c) {
    Glyph& g = font->glyphs[c];
    const uint32_t glyph = check.glyph_of(static_cast<uint32_t>(c));
    if (!check.glyph_sound(glyph)) {
      *reason = "Couldn't load font file";
      return nullptr;
    }
    const int index = static_cast<int>(glyph);
    int advance, bearing;
    stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
    g.advance = static_cast<int>(std::floor(advance * scale + 0.5f));
    if (g.advance < 0 || g.advance > limit) {
      *reason = "Couldn't load font file";
      return nullptr;
    }
    int x0, y0, x1, y1;
    stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
    if (x1 <= x0 || y1 <= y0) continue;
    if (x1 - x0 > limit || y1 - y0 > limit || x0 < -limit || y0 < -limit || y1 > limit) {
      *reason = "Couldn't load font file";
      return nullptr;
    }
    g.minx = x0;
    g.maxx = x1;
    g.maxy = -y0;
    g.miny = -y1;
    const int w = x1 - x0, h = y1 - y0;
    glyph_centres(info, index, scale, x0, y0, w, h, &g.bits);
  }
  return font.release();
}

}  // namespace zt_decode
