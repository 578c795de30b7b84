// SPDX-License-Identifier: MIT
// The software platform's drawing primitives against the SDL platform's, on
// seeded random shapes, pictures of every BMP depth with colour keys that hit
// and nearly hit, rescaled pictures and zoom boxes: the presented frames must
// be equal pixel for pixel.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "platform/plat_soft.h"
#include "support/media_files.h"
#include "support/sdl_checks.h"

namespace {

class PrimitivesTest : public StartedPlatformTest {
 protected:
  void SetUp() override {
    soft.reset(new ZT_PlatformSoft);
    soft->datapath_set(data->path);
    soft->initialize();
  }
  // Differing pixels of the two presented frames.
  int differences() {
    SDL_Surface* s = SDL_GetVideoSurface();
    int count = 0;
    for (int y = 0; y < 480; ++y) {
      const uint16_t* row =
          reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
      for (int x = 0; x < 640; ++x) count += row[x] != soft->screen[y * 640 + x];
    }
    return count;
  }
  // Both platforms present with the same box; the frames must agree.
  void expect_same(int w, int h, const std::string& what) {
    platform->draw_flip(w, h);
    soft->draw_flip(w, h);
    EXPECT_EQ(0, differences()) << what << ", box " << w << " x " << h;
  }

  std::unique_ptr<ZT_PlatformSoft> soft;
  std::mt19937 random{20261208};
  int any(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
};

TEST_F(PrimitivesTest, LinesAndRectanglesBlendAsSdlGfxDoes) {
  for (int round = 0; round < 40; ++round) {
    ZT_Platform_RGB colours[3];
    for (ZT_Platform_RGB& c : colours)
      c = ZT_Platform_RGB_create(any(0, 255), any(0, 255), any(0, 255));
    platform->draw_clear();
    soft->draw_clear();
    for (int shape = 0; shape < 30; ++shape) {
      const int x1 = any(-80, 720), y1 = any(-80, 560);
      // Mostly small shapes, some straight and some single points.
      const int x2 = shape % 5 == 0 ? x1 : any(-80, 720), y2 = shape % 7 == 0 ? y1 : any(-80, 560);
      ZT_Platform_RGB* c = shape % 4 == 3 ? nullptr : &colours[shape % 3];
      if (shape % 3 == 0) {
        platform->draw_line(x1, y1, x2, y2, c);
        soft->draw_line(x1, y1, x2, y2, c);
      } else {
        const int alpha = shape % 6 == 1 ? -1 : any(0, 300);
        ZT_Platform_RGB* border = shape % 2 ? c : nullptr;
        ZT_Platform_RGB* fill = shape % 5 < 2 ? &colours[(shape + 1) % 3] : nullptr;
        platform->draw_rectangle(x1, y1, x2, y2, border, fill, alpha);
        soft->draw_rectangle(x1, y1, x2, y2, border, fill, alpha);
      }
    }
    // Coordinates beyond 16 bits wrap as SDL_gfx's do.
    platform->draw_line(70000, 5, 65536 + 600, 400, nullptr);
    soft->draw_line(70000, 5, 65536 + 600, 400, nullptr);
    expect_same(0, 0, "round " + std::to_string(round));
  }
}

TEST_F(PrimitivesTest, ZoomBoxesStretchAsSdlDoes) {
  platform->draw_clear();
  soft->draw_clear();
  for (int i = 0; i < 200; ++i) {
    ZT_Platform_RGB c = ZT_Platform_RGB_create(i * 7, i * 13, i * 29);
    const int x = any(0, 639), y = any(0, 479), w = any(1, 40), h = any(1, 40);
    platform->draw_rectangle(x, y, x + w, y + h, nullptr, &c, -1);
    soft->draw_rectangle(x, y, x + w, y + h, nullptr, &c, -1);
  }
  // Boxes from the device's zoom levels and odd ones; larger than the frame
  // shows the frame unscaled.
  const int boxes[][2] = {{282, 211}, {320, 240}, {400, 200}, {1, 1},    {639, 479},
                          {640, 480}, {700, 100}, {257, 192}, {13, 400}, {-5, 30}};
  for (const auto& b : boxes) expect_same(b[0], b[1], "stretch");
  for (int i = 0; i < 20; ++i) expect_same(any(1, 640), any(1, 480), "random box");
}

// A BMP of `bits` with random pixels drawn from a few colours, some equal to
// the key and some a bit off it.
Bytes picture(std::mt19937& random, int bits, int w, int h, const ZT_Platform_RGB& key,
              Bytes* palette_out) {
  std::uniform_int_distribution<int> byte(0, 255);
  Bytes palette, pixels, extra;
  const int entries = bits <= 8 ? 1 << bits : 0;
  for (int i = 0; i < entries; ++i) {
    // Entry 1 is the key; entry 2 differs from it only below the frame's bits.
    const int r = i == 1 ? key.r : i == 2 ? (key.r ^ 1) : byte(random);
    const int g = i == 1 ? key.g : i == 2 ? key.g : byte(random);
    const int b = i == 1 ? key.b : byte(random);
    palette.insert(palette.end(),
                   {static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 0});
  }
  const int row = ((w * bits + 31) / 32) * 4;
  for (int y = 0; y < h; ++y) {
    for (int i = 0; i < row; ++i) pixels.push_back(static_cast<uint8_t>(byte(random)));
    // A run of the key's pixel value in the formats that hold colours directly.
    uint8_t* p = &pixels[static_cast<size_t>(y) * row];
    for (int x = 0; x < w / 3; ++x) {
      if (bits == 24) {
        // In odd-width pictures one pixel nearly the key keeps them unconverted.
        const int near = y == 0 && x == 0 && w % 2;
        p[3 * x] = static_cast<uint8_t>(key.b ^ near), p[3 * x + 1] = key.g, p[3 * x + 2] = key.r;
      } else if (bits == 32) {
        p[4 * x] = key.b, p[4 * x + 1] = key.g, p[4 * x + 2] = key.r,
              p[4 * x + 3] = y % 2 ? 0 : 255;
      } else if (bits == 16) {
        const int v = ((key.r >> 3) << 10) | ((key.g >> 3) << 5) | (key.b >> 3);
        p[2 * x] = static_cast<uint8_t>(v), p[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      } else if (bits == 8) {
        p[x] = static_cast<uint8_t>(1 + x % 2);
      }
    }
  }
  *palette_out = palette;
  return bmp_bytes(w, h, bits, 0, extra, palette, pixels);
}

TEST_F(PrimitivesTest, PicturesOfEveryDepthDrawWithTheirKeyAndRescaleAsSdlDoes) {
  int n = 0;
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    for (int keyed = 0; keyed < 3; ++keyed) {
      ZT_Platform_RGB key = ZT_Platform_RGB_create(any(0, 255), any(0, 255), any(0, 255));
      if (keyed == 2) key = ZT_Platform_RGB_create(255, 255, 255);
      Bytes palette;
      const int w = any(1, 90), h = any(1, 70);
      const std::string path = data->write("p" + std::to_string(n++) + ".bmp",
                                           picture(random, bits, w, h, key, &palette));
      std::unique_ptr<ZT_Platform_Image> a(platform->image_load(path, keyed ? &key : nullptr));
      std::unique_ptr<ZT_Platform_Image> b(soft->image_load(path, keyed ? &key : nullptr));
      const std::string what = std::to_string(bits) + " bits, key " + std::to_string(keyed);
      ASSERT_EQ(a->width_get(), b->width_get()) << what;
      ASSERT_EQ(a->height_get(), b->height_get()) << what;
      ZT_Platform_RGB grey = ZT_Platform_RGB_create(90, 120, 150);
      for (int fit = 0; fit < 4; ++fit) {
        platform->draw_clear();
        soft->draw_clear();
        platform->draw_rectangle(0, 0, 639, 479, nullptr, &grey, -1);
        soft->draw_rectangle(0, 0, 639, 479, nullptr, &grey, -1);
        for (int i = 0; i < 6; ++i) {
          const int x = any(-100, 620), y = any(-80, 460);
          platform->draw_image(a.get(), x, y);
          soft->draw_image(b.get(), x, y);
        }
        expect_same(0, 0, what + ", fit " + std::to_string(fit));
        const int fw = any(1, 640), fh = any(1, 480);
        EXPECT_EQ(a->resize_fit(fw, fh), b->resize_fit(fw, fh));
        ASSERT_EQ(a->width_get(), b->width_get()) << what << " fit " << fw << " x " << fh;
        ASSERT_EQ(a->height_get(), b->height_get()) << what;
      }
    }
  }
}

TEST_F(PrimitivesTest, TextIsMeasuredAsSdlTtfMeasuresIt) {
  EXPECT_EQ(platform->text_fontheight(), soft->text_fontheight());
  std::string all;
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(platform->text_width(one), soft->text_width(one)) << "character " << c;
    all += one;
  }
  for (const std::string& s : {std::string(), std::string("by Quorvex and Selvane"), all}) {
    EXPECT_EQ(platform->text_width(s), soft->text_width(s)) << s;
    EXPECT_EQ(platform->text_height(s), soft->text_height(s)) << s;
  }
}

}  // namespace
