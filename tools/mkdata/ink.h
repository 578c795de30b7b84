// SPDX-License-Identifier: MIT
// Monochrome drawing for LCD segment pictures: shapes are filled on a canvas
// several times larger than the picture, then averaged down and thresholded,
// which gives crisp segments with smooth outlines at small sizes.
#ifndef ZT_TOOLS_MKDATA_INK_H
#define ZT_TOOLS_MKDATA_INK_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct P {
  double x;
  double y;
};

// An affine map from design coordinates to picture pixels.
struct Xf {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  P apply(P p) const { return {a * p.x + b * p.y + e, c * p.x + d * p.y + f}; }
  double scale() const;
  // The design box [x0,x1] x [y0,y1] onto the picture box [X0,X1] x [Y0,Y1], no rotation.
  static Xf box(double x0, double y0, double x1, double y1, double X0, double Y0, double X1,
                double Y1);
  // This map followed by a rotation of deg degrees (clockwise on screen) around picture point c.
  Xf rotated(double deg, P centre) const;
  // This map preceded by a mirror of design x around design x = mx.
  Xf mirrored_x(double mx) const;
};

// A picture as ink coverage: true where the segment is dark.
struct Mask {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> px;
  bool at(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && px[y * w + x]; }
  int count() const;
};

// The bold text face used inside pictures; opened once by the generator.
void ink_font_set(TTF_Font* font);

class Ink {
 public:
  Ink(int w, int h);
  ~Ink();
  Ink(const Ink&) = delete;
  Ink& operator=(const Ink&) = delete;

  Xf xf;  // design coordinates of the calls below; identity is picture pixels

  void poly(const std::vector<P>& pts, bool ink = true);
  void ellipse(double cx, double cy, double rx, double ry, bool ink = true);
  void circle(double cx, double cy, double r, bool ink = true) { ellipse(cx, cy, r, r, ink); }
  void rect(double x0, double y0, double x1, double y1, bool ink = true);
  void round_rect(double x0, double y0, double x1, double y1, double r, bool ink = true);
  // A stroke of the given width with round ends.
  void line(double x1, double y1, double x2, double y2, double width, bool ink = true);
  void polyline(const std::vector<P>& pts, double width, bool ink = true);
  // Arc of a circle from angle a0 to a1 (degrees, 0 = right, 90 = down).
  void arc(double cx, double cy, double r, double a0, double a1, double width, bool ink = true);
  // Pie slice, angles as for arc.
  void pie(double cx, double cy, double r, double a0, double a1, bool ink = true);
  // Text centred and scaled to fit the design box (ignores rotation).
  void text(const std::string& s, double x0, double y0, double x1, double y1, bool ink = true);

  Mask reduce() const;

  int w;
  int h;

 private:
  void fill_hires(const std::vector<P>& pixel_pts, bool ink);
  SDL_Surface* hi;
  int* poly_ints = nullptr;
  int poly_allocated = 0;
};

// Points of an ellipse outline, in design coordinates.
std::vector<P> ellipse_points(double cx, double cy, double rx, double ry, int n = 48);

// Copy a 24-bit-on-disk BMP of the mask: ink in colour ink, everything else white.
bool mask_save(const Mask& m, SDL_Color ink, const std::string& path);

}  // namespace mkdata

#endif
