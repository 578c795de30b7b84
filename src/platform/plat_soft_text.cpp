// Text for the software platform: the TrueType font through stb_truetype, laid
// out and measured with SDL_ttf's arithmetic (FreeType's rounding of the font's
// metrics, glyph boxes on whole pixels) and drawn in one bit like SDL_ttf's
// solid text, so that the menu's layout is the desktop program's.
#include <cmath>
#include <cstring>
#include <memory>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include "platform/plat_soft_media.h"
#include "stb_truetype.h"

namespace {

// FreeType's 16.16 and 26.6 fixed-point helpers, as SDL_ttf applies them.
long mul_fix(long a, long b) {
  const long long c = static_cast<long long>(a) * b;
  return static_cast<long>((c + 0x8000 - (c < 0)) >> 16);
}
long div_fix(long a, long b) {
  return static_cast<long>((static_cast<long long>(a) * 65536 + b / 2) / b);
}
int ceil26(long v) { return static_cast<int>(((v + 63) & -64) / 64); }

uint32_t be16(const uint8_t* p) { return (p[0] << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (be16(p) << 16) | be16(p + 2); }

// stb_truetype trusts the file; the checks it needs before it reads one: every
// table it uses lies inside the file and every glyph inside the glyph table.
bool font_sound(const std::vector<uint8_t>& font) {
  const size_t size = font.size();
  if (size < 12) return false;
  const uint8_t* d = font.data();
  const uint32_t version = be32(d);
  if (version != 0x00010000 && version != 0x74727565) return false;  // TrueType outlines only
  const uint32_t tables = be16(d + 4);
  if (12 + 16 * static_cast<size_t>(tables) > size) return false;
  uint32_t found = 0, loca = 0, loca_len = 0, glyf_len = 0, head = 0, maxp = 0, hhea = 0,
           hmtx_len = 0;
  static const char* const kNeeded[] = {"cmap", "loca", "head", "glyf", "hhea", "hmtx", "maxp"};
  for (uint32_t i = 0; i < tables; ++i) {
    const uint8_t* entry = d + 12 + 16 * i;
    const uint32_t offset = be32(entry + 8), length = be32(entry + 12);
    if (offset > size || length > size - offset) return false;
    for (int n = 0; n < 7; ++n) {
      if (std::memcmp(entry, kNeeded[n], 4) != 0) continue;
      found |= 1u << n;
      if (n == 1) loca = offset, loca_len = length;
      if (n == 2) head = offset;
      if (n == 3) glyf_len = length;
      if (n == 4) hhea = offset;
      if (n == 5) hmtx_len = length;
      if (n == 6) maxp = offset;
    }
  }
  if (found != 0x7f) return false;
  if (size - head < 54 || size - maxp < 6 || size - hhea < 36) return false;
  const uint32_t glyphs = be16(d + maxp + 4);
  const bool long_loca = be16(d + head + 50) != 0;
  const uint32_t metrics = be16(d + hhea + 34);
  if (metrics == 0 || metrics > glyphs || 4 * metrics > hmtx_len) return false;
  if ((long_loca ? 4u : 2u) * (glyphs + 1) > loca_len) return false;
  uint32_t last = 0;
  for (uint32_t g = 0; g <= glyphs; ++g) {
    const uint32_t at = long_loca ? be32(d + loca + 4 * g) : 2 * be16(d + loca + 2 * g);
    if (at < last || at > glyf_len) return false;
    last = at;
  }
  return true;
}

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

namespace zt_soft {

ZT_PlatformSoft_Font* font_open(const std::string& path, int size, std::string* reason) {
  std::vector<uint8_t> file;
  if (!file_read(path, &file, reason)) {
    // SDL_ttf tells a file it cannot open from one it cannot use.
    if (reason->compare(0, 13, "Couldn't open") != 0) *reason = "Couldn't load font file";
    return nullptr;
  }
  stbtt_fontinfo info;
  if (!font_sound(file) || !stbtt_InitFont(&info, file.data(), 0)) {
    *reason = "Couldn't load font file";
    return nullptr;
  }
  std::unique_ptr<ZT_PlatformSoft_Font> font(new ZT_PlatformSoft_Font);
  const long units = be16(info.data + info.head + 18);
  if (units <= 0) {
    *reason = "Couldn't load font file";
    return nullptr;
  }
  int ascender, descender, gap;
  stbtt_GetFontVMetrics(&info, &ascender, &descender, &gap);
  const long y_scale = div_fix(static_cast<long>(size) * 64, units);
  font->ascent = ceil26(mul_fix(ascender, y_scale));
  const int descent = ceil26(mul_fix(descender, y_scale));
  font->height = font->ascent - descent + 1;
  font->lineskip = ceil26(mul_fix(ascender - descender + gap, y_scale));

  const float scale = static_cast<float>(size) / static_cast<float>(units);
  for (int c = 0; c < 256; ++c) {
    ZT_PlatformSoft_Glyph& g = font->glyphs[c];
    const int index = stbtt_FindGlyphIndex(&info, c);
    int advance, bearing;
    stbtt_GetGlyphHMetrics(&info, index, &advance, &bearing);
    g.advance = static_cast<int>(std::floor(advance * scale + 0.5f));
    int x0, y0, x1, y1;
    stbtt_GetGlyphBitmapBox(&info, index, scale, scale, &x0, &y0, &x1, &y1);
    if (x1 <= x0 || y1 <= y0) continue;
    g.minx = x0;
    g.maxx = x1;
    g.maxy = -y0;
    g.miny = -y1;
    const int w = x1 - x0, h = y1 - y0;
    glyph_centres(info, index, scale, x0, y0, w, h, &g.bits);
  }
  return font.release();
}

}  // namespace zt_soft

// SDL_ttf's size of a line: the pen's extent, widened by glyphs that reach
// past it; the height is always the font's.
static void text_extent(const ZT_PlatformSoft_Font* font, const std::string& text, int* minx,
                        int* maxx) {
  int x = 0, lo = 0, hi = 0;
  for (unsigned char c : text) {
    const ZT_PlatformSoft_Glyph& g = font->glyphs[c];
    if (x + g.minx < lo) lo = x + g.minx;
    const int z = x + (g.advance > g.maxx ? g.advance : g.maxx);
    if (z > hi) hi = z;
    x += g.advance;
  }
  *minx = lo;
  *maxx = hi;
}

int ZT_PlatformSoft::text_fontheight() { return font ? font->lineskip : -1; }

int ZT_PlatformSoft::text_width(const std::string& text) {
  if (!font) return -1;
  int lo, hi;
  text_extent(font.get(), text, &lo, &hi);
  return hi - lo;
}

int ZT_PlatformSoft::text_height(const std::string& text) {
  (void)text;
  return font ? font->height : -1;
}

void ZT_PlatformSoft::text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) {
  if (!font) return;
  int lo, hi;
  text_extent(font.get(), text, &lo, &hi);
  const int w = hi - lo, h = font->height;
  if (w <= 0) return;  // SDL_ttf renders nothing for a line without width
  clear_settle();
  // The line in one bit first, as SDL_ttf renders it: glyphs are ORed into a
  // box of the line's size and clipped to it.
  std::vector<uint8_t>& line = font->line;
  line.assign(static_cast<size_t>(w) * h, 0);
  int pen = 0;
  bool first = true;
  for (unsigned char c : text) {
    const ZT_PlatformSoft_Glyph& g = font->glyphs[c];
    if (first && g.minx < 0) pen -= g.minx;
    first = false;
    const int gw = g.maxx - g.minx, yoffset = font->ascent - g.maxy;
    for (int row = 0; row < g.maxy - g.miny; ++row) {
      const int ly = row + yoffset;
      if (ly < 0 || ly >= h) continue;
      for (int col = 0; col < gw; ++col) {
        const int lx = pen + g.minx + col;
        if (lx < 0 || lx >= w) continue;
        line[static_cast<size_t>(ly) * w + lx] |= g.bits[static_cast<size_t>(row) * gw + col];
      }
    }
    pen += g.advance;
  }
  const uint16_t ink = colour ? rgb565_get(colour->r, colour->g, colour->b) : 0xffff;
  for (int ly = 0; ly < h; ++ly) {
    const int fy = y + ly;
    if (fy < 0 || fy >= height) continue;
    for (int lx = 0; lx < w; ++lx) {
      const int fx = x + lx;
      if (fx < 0 || fx >= width) continue;
      if (line[static_cast<size_t>(ly) * w + lx]) frame[static_cast<size_t>(fy) * width + fx] = ink;
    }
  }
}
