// SPDX-License-Identifier: MIT
// The application icon: a Condor-blue handheld with its orange buttons and an
// LCD on which the catcher waits for a falling item, drawn from a few shapes at
// every size (8 x 8 samples a pixel), so that small sizes stay sharp.
#include "mkdata/icon.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace mkdata {

const int kIconSizes[7] = {32, 48, 64, 128, 192, 256, 512};

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// The colours of the Condor handheld and its LCD in the built-in pictures.
const Rgb kRim = {20, 46, 90};
const Rgb kBody = {38, 84, 150};
const Rgb kAccent = {236, 140, 40};
const Rgb kBezel = {44, 46, 52};
const Rgb kButton = {52, 54, 60};
const Rgb kPanel = {198, 210, 186};
const Rgb kUnlit = {184, 197, 172};
const Rgb kInk = {34, 40, 38};

// One filled shape in design units (the icon is 100 x 100).
struct Shape {
  enum Kind { kRoundRect, kCircle, kStroke } kind;
  double x0, y0, x1, y1, r;  // corners (or centre) and radius (or half width)
  Rgb colour;

  bool covers(double x, double y) const {
    switch (kind) {
      case kRoundRect: {
        const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
        const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
        return x >= x0 && x <= x1 && y >= y0 && y <= y1 && dx * dx + dy * dy <= r * r;
      }
      case kCircle:
        return (x - x0) * (x - x0) + (y - y0) * (y - y0) <= r * r;
      case kStroke: {
        const double vx = x1 - x0, vy = y1 - y0;
        const double t =
            std::clamp(((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
        const double dx = x - (x0 + t * vx), dy = y - (y0 + t * vy);
        return dx * dx + dy * dy <= r * r;
      }
    }
    return false;
  }
};

Shape box(double x0, double y0, double x1, double y1, double r, Rgb c) {
  return {Shape::kRoundRect, x0, y0, x1, y1, r, c};
}
Shape disc(double x, double y, double r, Rgb c) { return {Shape::kCircle, x, y, 0, 0, r, c}; }
Shape stroke(double x0, double y0, double x1, double y1, double w, Rgb c) {
  return {Shape::kStroke, x0, y0, x1, y1, w / 2, c};
}

// Back to front.
// clang-format off
const Shape kScene[] = {
    box(3, 20, 97, 86, 13, kRim),  // the case's edge, seen below it
    box(3, 16, 97, 82, 13, kBody),
    box(21, 23, 79, 69, 5, kBezel),
    box(25, 27, 75, 65, 1.5, kPanel),
    // Left and right: the big buttons, with the small ones above them.
    disc(12, 62, 6.5, kRim),
    disc(12, 61, 6, kAccent),
    disc(88, 62, 6.5, kRim),
    disc(88, 61, 6, kAccent),
    box(7, 30, 17, 35, 2.5, kButton),
    box(83, 30, 93, 35, 2.5, kButton),
    // The LCD: an item's unlit path, the item falling, the catcher below it.
    disc(39, 35, 3, kUnlit),
    disc(61, 35, 3, kUnlit),
    disc(61, 44, 3, kUnlit),
    disc(39, 44, 3.2, kInk),
    disc(50, 46, 3.6, kInk),
    box(46.5, 50, 53.5, 58, 2, kInk),
    stroke(47, 52, 40.5, 49, 2.6, kInk),  // arms up, ready to catch
    stroke(53, 52, 59.5, 49, 2.6, kInk),
    stroke(48, 57, 45, 62.5, 2.8, kInk),  // legs
    stroke(52, 57, 55, 62.5, 2.8, kInk),
    stroke(29, 62.5, 71, 62.5, 1.2, kUnlit),  // the ground
};
// clang-format on

}  // namespace

std::vector<uint8_t> icon_pixels(int size) {
  const int kSamples = 8;
  std::vector<uint8_t> px(static_cast<size_t>(size) * size * 4, 0);
  const double unit = 100.0 / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Premultiplied sums over the samples of the pixel.
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double dx = (x + (sx + 0.5) / kSamples) * unit;
          const double dy = (y + (sy + 0.5) / kSamples) * unit;
          for (int i = static_cast<int>(std::size(kScene)) - 1; i >= 0; --i) {
            if (!kScene[i].covers(dx, dy)) continue;
            r += kScene[i].colour.r;
            g += kScene[i].colour.g;
            b += kScene[i].colour.b;
            a += 1;
            break;
          }
        }
      }
      uint8_t* p = &px[(static_cast<size_t>(y) * size + x) * 4];
      if (a == 0) continue;
      p[0] = static_cast<uint8_t>(std::lround(r / a));
      p[1] = static_cast<uint8_t>(std::lround(g / a));
      p[2] = static_cast<uint8_t>(std::lround(b / a));
      p[3] = static_cast<uint8_t>(std::lround(255.0 * a / (kSamples * kSamples)));
    }
  }
  return px;
}

bool icons_write(const std::string& dir, const std::string& name) {
  for (int size : kIconSizes) {
    const std::string sub = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = std::filesystem::path(dir) / "hicolor" / sub / "apps";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::vector<uint8_t> px = icon_pixels(size);
    const std::string file = (folder / (name + ".png")).string();
    if (!stbi_write_png(file.c_str(), size, size, 4, px.data(), size * 4)) return false;
  }
  return true;
}

}  // namespace mkdata
