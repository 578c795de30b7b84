// SPDX-License-Identifier: MIT
// Monochrome shape drawing on an oversampled SDL surface with SDL_gfx.
#include "mkdata/ink.h"

#include <SDL_gfxPrimitives.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mkdata {

namespace {
const int kScale = 4;  // oversampling of the drawing canvas
const double kPi = 3.14159265358979323846;
TTF_Font* g_font = nullptr;

uint32_t* pixel(SDL_Surface* s, int x, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch) + x;
}

SDL_Surface* rgb_surface(int w, int h) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
}
}  // namespace

double Xf::scale() const { return std::sqrt(std::fabs(a * d - b * c)); }

Xf Xf::box(double x0, double y0, double x1, double y1, double X0, double Y0, double X1, double Y1) {
  Xf t;
  t.a = (X1 - X0) / (x1 - x0);
  t.d = (Y1 - Y0) / (y1 - y0);
  t.e = X0 - t.a * x0;
  t.f = Y0 - t.d * y0;
  return t;
}

Xf Xf::rotated(double deg, P centre) const {
  double r = deg * kPi / 180.0, cs = std::cos(r), sn = std::sin(r);
  // q = R (p - centre) + centre, applied after this map.
  Xf o;
  o.a = cs * a - sn * c;
  o.b = cs * b - sn * d;
  o.c = sn * a + cs * c;
  o.d = sn * b + cs * d;
  o.e = cs * (e - centre.x) - sn * (f - centre.y) + centre.x;
  o.f = sn * (e - centre.x) + cs * (f - centre.y) + centre.y;
  return o;
}

Xf Xf::mirrored_x(double mx) const {
  // p -> (2 mx - x, y), then this map.
  Xf o = *this;
  o.a = -a;
  o.c = -c;
  o.e = e + 2 * mx * a;
  o.f = f + 2 * mx * c;
  return o;
}

int Mask::count() const {
  int n = 0;
  for (uint8_t v : px) n += v ? 1 : 0;
  return n;
}

void ink_font_set(TTF_Font* font) { g_font = font; }

std::vector<P> ellipse_points(double cx, double cy, double rx, double ry, int n) {
  std::vector<P> pts;
  for (int i = 0; i < n; ++i) {
    double t = 2 * kPi * i / n;
    pts.push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
  }
  return pts;
}

Ink::Ink(int w, int h) : w(w), h(h) {
  hi = rgb_surface(w * kScale, h * kScale);
  if (hi) SDL_FillRect(hi, nullptr, 0xffffff);
}

Ink::~Ink() {
  if (hi) SDL_FreeSurface(hi);
  std::free(poly_ints);
}

void Ink::fill_hires(const std::vector<P>& pts, bool ink) {
  if (!hi || pts.size() < 3) return;
  std::vector<Sint16> vx, vy;
  for (const P& p : pts) {
    vx.push_back(static_cast<Sint16>(std::lround(p.x * kScale)));
    vy.push_back(static_cast<Sint16>(std::lround(p.y * kScale)));
  }
  Uint8 v = ink ? 0 : 255;
  filledPolygonRGBAMT(hi, vx.data(), vy.data(), static_cast<int>(vx.size()), v, v, v, 255,
                      &poly_ints, &poly_allocated);
}

void Ink::poly(const std::vector<P>& pts, bool ink) {
  std::vector<P> out;
  for (const P& p : pts) out.push_back(xf.apply(p));
  fill_hires(out, ink);
}

void Ink::ellipse(double cx, double cy, double rx, double ry, bool ink) {
  double size = (std::fabs(rx) + std::fabs(ry)) * xf.scale() * kScale;
  int n = std::max(16, std::min(120, static_cast<int>(size * 1.5)));
  poly(ellipse_points(cx, cy, rx, ry, n), ink);
}

void Ink::rect(double x0, double y0, double x1, double y1, bool ink) {
  poly({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, ink);
}

void Ink::round_rect(double x0, double y0, double x1, double y1, double r, bool ink) {
  r = std::min(r, std::min(std::fabs(x1 - x0), std::fabs(y1 - y0)) / 2);
  std::vector<P> pts;
  const P corners[4] = {{x1 - r, y0 + r}, {x1 - r, y1 - r}, {x0 + r, y1 - r}, {x0 + r, y0 + r}};
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i <= 8; ++i) {
      double t = (-90 + 90 * k + 90.0 * i / 8) * kPi / 180;
      pts.push_back({corners[k].x + r * std::cos(t), corners[k].y + r * std::sin(t)});
    }
  poly(pts, ink);
}

void Ink::line(double x1, double y1, double x2, double y2, double width, bool ink) {
  double dx = x2 - x1, dy = y2 - y1, len = std::sqrt(dx * dx + dy * dy);
  double r = width / 2;
  if (len > 1e-9) {
    double nx = -dy / len * r, ny = dx / len * r;
    poly({{x1 + nx, y1 + ny}, {x2 + nx, y2 + ny}, {x2 - nx, y2 - ny}, {x1 - nx, y1 - ny}}, ink);
  }
  circle(x1, y1, r, ink);
  circle(x2, y2, r, ink);
}

void Ink::polyline(const std::vector<P>& pts, double width, bool ink) {
  for (size_t i = 1; i < pts.size(); ++i)
    line(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y, width, ink);
}

void Ink::arc(double cx, double cy, double r, double a0, double a1, double width, bool ink) {
  std::vector<P> pts;
  int n = std::max(4, static_cast<int>(std::fabs(a1 - a0) / 8));
  for (int i = 0; i <= n; ++i) {
    double t = (a0 + (a1 - a0) * i / n) * kPi / 180;
    pts.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
  }
  polyline(pts, width, ink);
}

void Ink::pie(double cx, double cy, double r, double a0, double a1, bool ink) {
  std::vector<P> pts = {{cx, cy}};
  int n = std::max(4, static_cast<int>(std::fabs(a1 - a0) / 6));
  for (int i = 0; i <= n; ++i) {
    double t = (a0 + (a1 - a0) * i / n) * kPi / 180;
    pts.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
  }
  poly(pts, ink);
}

void Ink::text(const std::string& s, double x0, double y0, double x1, double y1, bool ink) {
  if (!hi || !g_font || s.empty()) return;
  // Coverage of the glyphs: the text rendered white and blended onto black.
  SDL_Color white = {255, 255, 255, 0};
  SDL_Surface* t = TTF_RenderText_Blended(g_font, s.c_str(), white);
  if (!t) return;
  SDL_Surface* cov = rgb_surface(t->w, t->h);
  if (!cov) {
    SDL_FreeSurface(t);
    return;
  }
  SDL_FillRect(cov, nullptr, 0);
  SDL_BlitSurface(t, nullptr, cov, nullptr);
  SDL_FreeSurface(t);
  // Ink bounds of the text.
  int bx0 = cov->w, by0 = cov->h, bx1 = -1, by1 = -1;
  for (int y = 0; y < cov->h; ++y)
    for (int x = 0; x < cov->w; ++x)
      if ((*pixel(cov, x, y) & 0xff) > 127) {
        bx0 = std::min(bx0, x);
        by0 = std::min(by0, y);
        bx1 = std::max(bx1, x);
        by1 = std::max(by1, y);
      }
  if (bx1 >= bx0) {
    P a = xf.apply({x0, y0}), b = xf.apply({x1, y1});
    double X0 = std::min(a.x, b.x) * kScale, X1 = std::max(a.x, b.x) * kScale;
    double Y0 = std::min(a.y, b.y) * kScale, Y1 = std::max(a.y, b.y) * kScale;
    double tw = bx1 - bx0 + 1, th = by1 - by0 + 1;
    double k = std::min((X1 - X0) / tw, (Y1 - Y0) / th);
    double ox = (X0 + X1 - tw * k) / 2, oy = (Y0 + Y1 - th * k) / 2;
    uint32_t colour = ink ? 0 : 0xffffff;
    int px0 = std::max(0, static_cast<int>(std::floor(ox)));
    int py0 = std::max(0, static_cast<int>(std::floor(oy)));
    int px1 = std::min(hi->w - 1, static_cast<int>(std::ceil(ox + tw * k)));
    int py1 = std::min(hi->h - 1, static_cast<int>(std::ceil(oy + th * k)));
    for (int y = py0; y <= py1; ++y)
      for (int x = px0; x <= px1; ++x) {
        int sx = bx0 + static_cast<int>(std::floor((x + 0.5 - ox) / k));
        int sy = by0 + static_cast<int>(std::floor((y + 0.5 - oy) / k));
        if (sx < bx0 || sy < by0 || sx > bx1 || sy > by1) continue;
        if ((*pixel(cov, sx, sy) & 0xff) > 127) *pixel(hi, x, y) = colour;
      }
  }
  SDL_FreeSurface(cov);
}

Mask Ink::reduce() const {
  Mask m;
  m.w = w;
  m.h = h;
  m.px.assign(static_cast<size_t>(w) * h, 0);
  if (!hi) return m;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int dark = 0;
      for (int j = 0; j < kScale; ++j)
        for (int i = 0; i < kScale; ++i)
          if ((*pixel(hi, x * kScale + i, y * kScale + j) & 0xff) < 128) ++dark;
      // At least half covered: the segment owns the pixel.
      m.px[y * w + x] = dark * 2 >= kScale * kScale ? 1 : 0;
    }
  return m;
}

bool mask_save(const Mask& m, SDL_Color ink, const std::string& path) {
  SDL_Surface* s = rgb_surface(m.w, m.h);
  if (!s) return false;
  uint32_t dark = (ink.r << 16) | (ink.g << 8) | ink.b;
  SDL_FillRect(s, nullptr, 0xffffff);
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x)
      if (m.at(x, y)) *pixel(s, x, y) = dark;
  bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

}  // namespace mkdata
