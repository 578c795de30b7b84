// SPDX-License-Identifier: MIT
// The handheld's picture: a rounded body in the game's colours around the LCD,
// the LCD panel with every segment printed faintly, title and labelled buttons.
#include <SDL_gfxPrimitives.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "mkdata/art.h"

namespace mkdata {

namespace {

struct Scheme {
  const char* folder;
  SDL_Color body;    // the case
  SDL_Color rim;     // its darker edge
  SDL_Color accent;  // big buttons and the title's band
  SDL_Color text;    // title and labels
};

// One colour scheme per handheld; none comes near the see-through magenta.
const Scheme kSchemes[] = {
    {"condor", {38, 84, 150, 0}, {20, 46, 90, 0}, {236, 140, 40, 0}, {250, 246, 230, 0}},
    {"defendo", {84, 96, 84, 0}, {46, 54, 46, 0}, {196, 48, 40, 0}, {240, 240, 226, 0}},
    {"monkey", {232, 184, 52, 0}, {150, 104, 24, 0}, {120, 70, 30, 0}, {70, 40, 16, 0}},
    {"pancake", {242, 232, 206, 0}, {176, 150, 110, 0}, {216, 110, 40, 0}, {110, 60, 30, 0}},
    {"pirate", {146, 34, 44, 0}, {86, 16, 24, 0}, {228, 184, 60, 0}, {250, 230, 170, 0}},
    {"rollerc", {28, 138, 120, 0}, {14, 80, 70, 0}, {250, 210, 50, 0}, {246, 250, 240, 0}},
};
const Scheme kDefault = {
    "", {120, 120, 128, 0}, {70, 70, 76, 0}, {200, 60, 40, 0}, {250, 250, 250, 0}};

const SDL_Color kPanel = {198, 210, 186, 0};
const SDL_Color kUnlit = {184, 197, 172, 0};
const SDL_Color kBezel = {44, 46, 52, 0};
const SDL_Color kButton = {52, 54, 60, 0};

SDL_Color shade(SDL_Color c, double k) {
  auto f = [k](int v) { return static_cast<Uint8>(std::max(0.0, std::min(255.0, v * k))); };
  return {f(c.r), f(c.g), f(c.b), 0};
}

void rbox(SDL_Surface* s, double x0, double y0, double x1, double y1, double r, SDL_Color c) {
  roundedBoxRGBA(s, static_cast<Sint16>(std::lround(x0)), static_cast<Sint16>(std::lround(y0)),
                 static_cast<Sint16>(std::lround(x1)), static_cast<Sint16>(std::lround(y1)),
                 static_cast<Sint16>(std::lround(r)), c.r, c.g, c.b, 255);
}

void disc(SDL_Surface* s, double x, double y, double r, SDL_Color c) {
  filledCircleRGBA(s, static_cast<Sint16>(std::lround(x)), static_cast<Sint16>(std::lround(y)),
                   static_cast<Sint16>(std::lround(r)), c.r, c.g, c.b, 255);
}

class Fonts {
 public:
  Fonts(const std::string& bold, const std::string& regular)
      : bold_path(bold), regular_path(regular) {}
  ~Fonts() {
    for (auto& f : open) TTF_CloseFont(f.second);
  }
  // Width of text at the size, -1 if the face cannot be opened.
  int width(const std::string& text, int size, bool bold, int style = TTF_STYLE_NORMAL) {
    TTF_Font* f = get(size, bold, style);
    int w = -1, h = 0;
    if (f) TTF_SizeText(f, text.c_str(), &w, &h);
    return w;
  }
  // Draw text with its centre at (cx, cy), with a soft shadow below it.
  void draw(SDL_Surface* s, const std::string& text, int size, bool bold, double cx, double cy,
            SDL_Color c, SDL_Color shadow, int style = TTF_STYLE_NORMAL) {
    TTF_Font* f = get(size, bold, style);
    if (!f) return;
    SDL_Surface* under = TTF_RenderText_Blended(f, text.c_str(), shadow);
    SDL_Surface* over = TTF_RenderText_Blended(f, text.c_str(), c);
    if (under && over) {
      SDL_Rect r = {static_cast<Sint16>(std::lround(cx - over->w / 2.0)),
                    static_cast<Sint16>(std::lround(cy - over->h / 2.0)), 0, 0};
      SDL_Rect d = {static_cast<Sint16>(r.x + 1), static_cast<Sint16>(r.y + 1), 0, 0};
      SDL_BlitSurface(under, nullptr, s, &d);
      SDL_BlitSurface(over, nullptr, s, &r);
    }
    if (under) SDL_FreeSurface(under);
    if (over) SDL_FreeSurface(over);
  }

 private:
  TTF_Font* get(int size, bool bold, int style) {
    auto key = std::make_tuple(size, bold, style);
    auto found = open.find(key);
    if (found != open.end()) return found->second;
    TTF_Font* f = TTF_OpenFont((bold ? bold_path : regular_path).c_str(), size);
    if (!f) return nullptr;
    TTF_SetFontStyle(f, style);
    open[key] = f;
    return f;
  }
  std::string bold_path;
  std::string regular_path;
  std::map<std::tuple<int, bool, int>, TTF_Font*> open;
};

// A box around the drawn shapes with a little room for a finger, inside the picture.
Button hit_box(const char* name, double x0, double y0, double x1, double y1, const SDL_Surface* s) {
  const int left = std::max(0, static_cast<int>(std::floor(x0)) - 2);
  const int top = std::max(0, static_cast<int>(std::floor(y0)) - 2);
  const int right = std::min(s->w, static_cast<int>(std::ceil(x1)) + 3);
  const int bottom = std::min(s->h, static_cast<int>(std::ceil(y1)) + 3);
  return {name, left, top, right - left, bottom - top};
}

// A small oblong button with its label above it; the label is part of the
// button for a tap.
Button small_button(SDL_Surface* s, Fonts& fonts, const char* name, const std::string& label,
                    double cx, double cy, double w, const Scheme& sc, int label_size) {
  double h = std::max(8.0, w * 0.3);
  rbox(s, cx - w / 2 + 1, cy - h / 2 + 2, cx + w / 2 + 1, cy + h / 2 + 2, h / 2,
       shade(sc.rim, 0.8));
  rbox(s, cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, h / 2, kButton);
  rbox(s, cx - w / 2 + 2, cy - h / 2 + 1, cx + w / 2 - 2, cy - h / 2 + 3, 1, shade(kButton, 1.8));
  const double label_y = cy - h / 2 - label_size * 0.75;
  fonts.draw(s, label, label_size, true, cx, label_y, sc.text, shade(sc.rim, 0.7));
  const double half = std::max(w, static_cast<double>(fonts.width(label, label_size, true))) / 2;
  return hit_box(name, cx - half, label_y - label_size * 0.7, cx + half, cy + h / 2 + 2, s);
}

// A big round button with an arrow: the character's left and right.
Button arrow_button(SDL_Surface* s, double cx, double cy, double r, bool left, const Scheme& sc) {
  disc(s, cx + 2, cy + 3, r, shade(sc.rim, 0.8));
  disc(s, cx, cy, r, sc.accent);
  disc(s, cx - r * 0.15, cy - r * 0.15, r * 0.7, shade(sc.accent, 1.12));
  double d = left ? -1 : 1;
  SDL_Color a = shade(sc.accent, 0.55);
  filledTrigonRGBA(s, static_cast<Sint16>(cx + d * r * 0.45), static_cast<Sint16>(cy),
                   static_cast<Sint16>(cx - d * r * 0.3), static_cast<Sint16>(cy - r * 0.4),
                   static_cast<Sint16>(cx - d * r * 0.3), static_cast<Sint16>(cy + r * 0.4), a.r,
                   a.g, a.b, 255);
  return hit_box(left ? "left" : "right", cx - r, cy - r, cx + r + 2, cy + r + 3, s);
}

uint32_t* pixel(SDL_Surface* s, int x, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch) + x;
}

}  // namespace

SDL_Surface* draw_background(const Layout& L, const std::string& title,
                             const std::string& bold_font, const std::string& regular_font,
                             std::vector<Button>* buttons) {
  const int W = L.zoom_w, H = L.zoom_h;
  SDL_Surface* s =
      SDL_CreateRGBSurface(SDL_SWSURFACE, W, H, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
  if (!s) return nullptr;
  const Scheme* sc = &kDefault;
  for (const Scheme& c : kSchemes)
    if (L.folder == c.folder) sc = &c;
  Fonts fonts(bold_font, regular_font);

  // The body fills the zoom box but stops at the screen's edges when the LCD
  // is centred on the screen (as the device places it), so that no part of
  // the handheld is ever cut off.
  const int at_x = (kScreenWidth - L.lcd_w) / 2 - L.lcd_x;
  const int at_y = (kScreenHeight - L.lcd_h) / 2 - L.lcd_y;
  const int X0 = std::max(0, -at_x), X1 = std::min(W, kScreenWidth - at_x);
  const int Y0 = std::max(0, -at_y), Y1 = std::min(H, kScreenHeight - at_y);

  // The body: a rounded case with a darker rim; magenta only outside it.
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
  const double radius = std::min(X1 - X0, Y1 - Y0) * 0.11;
  rbox(s, X0 + 1, Y0 + 1, X1 - 2, Y1 - 2, radius, sc->rim);
  rbox(s, X0 + 5, Y0 + 4, X1 - 6, Y1 - 8, radius - 4, sc->body);
  rbox(s, X0 + 9, Y0 + 7, X1 - 10, Y0 + (Y1 - Y0) * 0.45, radius - 8, shade(sc->body, 1.06));
  rbox(s, X0 + 9, Y0 + (Y1 - Y0) * 0.42, X1 - 10, Y1 - 12, radius - 8, sc->body);

  // The bezel and the screen window around the LCD.
  const double lx = L.lcd_x, ly = L.lcd_y, lr = L.lcd_x + L.lcd_w, lb = L.lcd_y + L.lcd_h;
  const double bez =
      std::max(6.0, std::min({14.0, lx - X0 - 12, ly - Y0 - 10, X1 - lr - 12, Y1 - lb - 14}));
  rbox(s, lx - bez - 3, ly - bez - 3, lr + bez + 2, lb + bez + 3, bez + 2, shade(sc->rim, 0.9));
  rbox(s, lx - bez, ly - bez, lr + bez - 1, lb + bez - 1, bez, kBezel);
  boxRGBA(s, static_cast<Sint16>(lx - 2), static_cast<Sint16>(ly - 2), static_cast<Sint16>(lr + 1),
          static_cast<Sint16>(lb + 1), 24, 26, 30, 255);

  // The panel, exactly the LCD rectangle, with the unlit segments.
  boxRGBA(s, static_cast<Sint16>(lx), static_cast<Sint16>(ly), static_cast<Sint16>(lr - 1),
          static_cast<Sint16>(lb - 1), kPanel.r, kPanel.g, kPanel.b, 255);
  const uint32_t unlit = SDL_MapRGB(s->format, kUnlit.r, kUnlit.g, kUnlit.b);
  for (const Pic& p : L.pics)
    for (const P& at : p.spots)
      for (int y = 0; y < p.mask.h; ++y)
        for (int x = 0; x < p.mask.w; ++x) {
          int X = static_cast<int>(at.x) + x, Y = static_cast<int>(at.y) + y;
          if (p.mask.at(x, y) && X >= lx && X < lr && Y >= ly && Y < lb) *pixel(s, X, Y) = unlit;
        }

  // Title: the brand and the game's own name in the band above the screen.
  std::string name = title;
  size_t dash = name.find(" - ");
  std::string brand = dash == std::string::npos ? "Time & Fun" : name.substr(0, dash);
  if (dash != std::string::npos) name = name.substr(dash + 3);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const double band_top = Y0 + 8, band_bottom = ly - bez - 3;
  const double band = band_bottom - band_top, mid = (lx + lr) / 2;
  if (band >= 56) {
    int big = static_cast<int>(std::min(30.0, band * 0.42));
    int small = static_cast<int>(std::min(18.0, band * 0.26));
    fonts.draw(s, brand, small, true, mid, band_top + band * 0.3, sc->text, shade(sc->rim, 0.7),
               TTF_STYLE_ITALIC);
    fonts.draw(s, name, big, true, mid, band_top + band * 0.68, sc->text, shade(sc->rim, 0.7));
  } else {
    int size = static_cast<int>(std::max(12.0, std::min(26.0, band * 0.62)));
    int small = static_cast<int>(size * 0.72);
    int bw = fonts.width(brand, small, true, TTF_STYLE_ITALIC);
    int nw = fonts.width(name, size, true);
    double gap = size * 0.8, total = bw + gap + nw, x0 = mid - total / 2;
    double cy = band_top + band / 2 + 1;
    fonts.draw(s, brand, small, true, x0 + bw / 2.0, cy, sc->text, shade(sc->rim, 0.7),
               TTF_STYLE_ITALIC);
    disc(s, x0 + bw + gap / 2, cy, 3, sc->accent);
    fonts.draw(s, name, size, true, x0 + bw + gap + nw / 2.0, cy, sc->text, shade(sc->rim, 0.7));
  }

  // The buttons: big arrows either side of the screen, and the four small
  // buttons below it when there is room, else in the wider side column.
  const double left_w = lx - bez - X0, right_w = X1 - (lr + bez);
  const double below = Y1 - (lb + bez) - 10;
  const char* labels[4] = {"GAME A", "GAME B", "TIME", "ON/OFF"};
  const char* names[4] = {"game_a", "game_b", "time", "power"};
  std::vector<Button> drawn;
  const double cy = (ly + lb) / 2;
  if (below >= 62) {
    double r = std::min({left_w, right_w}) * 0.3;
    r = std::min(r, 34.0);
    drawn.push_back(arrow_button(s, X0 + left_w / 2 + 2, cy + 10, r, true, *sc));
    drawn.push_back(arrow_button(s, lr + bez + right_w / 2 - 2, cy + 10, r, false, *sc));
    double step = std::min(78.0, (lr - lx + 2 * bez) / 4);
    double by = lb + bez + below * 0.58;
    for (int i = 0; i < 4; ++i)
      drawn.push_back(small_button(s, fonts, names[i], labels[i], mid + (i - 1.5) * step, by,
                                   step * 0.55, *sc, 11));
  } else {
    double r = std::min({left_w * 0.3, right_w * 0.22, 36.0});
    drawn.push_back(arrow_button(s, X0 + left_w / 2 + 2, cy + 20, r, true, *sc));
    double col_x0 = lr + bez, col_w = right_w;
    double bx = col_x0 + col_w * 0.3, ax = col_x0 + col_w * 0.72;
    drawn.push_back(arrow_button(s, ax, cy + 20, r, false, *sc));
    double top = ly + 10, step = std::min(56.0, (lb - ly - 10) / 4);
    for (int i = 0; i < 4; ++i)
      drawn.push_back(small_button(s, fonts, names[i], labels[i], bx, top + step * (i + 0.6),
                                   std::min(46.0, col_w * 0.3), *sc, 11));
  }
  // Speaker holes in the lower left corner.
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j)
      disc(s, X0 + 26 + i * 9, Y1 - 34 + j * 8 - (i % 2) * 4, 2, shade(sc->rim, 0.8));
  if (buttons) *buttons = drawn;
  return s;
}

std::string buttons_text(const std::vector<Button>& buttons) {
  std::string text =
      "# Buttons drawn on bg.bmp, for taps on the picture: NAME X Y WIDTH HEIGHT in its pixels\n";
  for (const Button& b : buttons)
    text += b.name + " " + std::to_string(b.x) + " " + std::to_string(b.y) + " " +
            std::to_string(b.w) + " " + std::to_string(b.h) + "\n";
  return text;
}

}  // namespace mkdata
