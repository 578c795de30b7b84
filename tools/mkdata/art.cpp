// SPDX-License-Identifier: MIT
// Segment pictures: the watch's digits and symbols, and per handheld a
// character with its poses, the items it handles and the decorations.
#include "mkdata/art.h"

#include <algorithm>
#include <cmath>

namespace mkdata {

const SDL_Color kLcdInk = {34, 40, 38, 0};

namespace {

const double kPi = 3.14159265358979323846;

// Design box [0,dw] x [0,dh], proportions kept, centred in the picture.
Xf fit(const Ink& k, double dw, double dh) {
  double s = std::min(k.w / dw, k.h / dh);
  double ox = (k.w - dw * s) / 2, oy = (k.h - dh * s) / 2;
  return Xf::box(0, 0, dw, dh, ox, oy, ox + dw * s, oy + dh * s);
}

// Background pixels, for pictures drawn in the handheld's own coordinates.
Xf at_place(const Pic& p) {
  Xf x;
  x.e = -p.spot().x;
  x.f = -p.spot().y;
  return x;
}

P centre_of(const Ink& k) { return {k.w / 2.0, k.h / 2.0}; }

// ---- Watch items ----

void seg_h(Ink& k, double x0, double x1, double y, double t) {
  k.poly({{x0, y},
          {x0 + t / 2, y - t / 2},
          {x1 - t / 2, y - t / 2},
          {x1, y},
          {x1 - t / 2, y + t / 2},
          {x0 + t / 2, y + t / 2}});
}

void seg_v(Ink& k, double x, double y0, double y1, double t) {
  k.poly({{x, y0},
          {x + t / 2, y0 + t / 2},
          {x + t / 2, y1 - t / 2},
          {x, y1},
          {x - t / 2, y1 - t / 2},
          {x - t / 2, y0 + t / 2}});
}

void draw_digit(Ink& k, int digit) {
  static const char* const kSegments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                            "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
  if (digit < 0 || digit > 9) return;
  // 100 x 170 design units, slanted a little like a watch's digits.
  double sx = k.w / 100.0, sy = k.h / 170.0;
  Xf x;
  x.a = 0.86 * sx;
  x.b = -14.0 / 170 * sx;
  x.e = 14 * sx;
  x.d = sy;
  k.xf = x;
  const double t = 22, g = 6, L = t / 2, R = 100 - t / 2, T = t / 2, M = 85, B = 170 - t / 2;
  for (const char* s = kSegments[digit]; *s; ++s) switch (*s) {
      case 'a':
        seg_h(k, L + g, R - g, T, t);
        break;
      case 'g':
        seg_h(k, L + g, R - g, M, t);
        break;
      case 'd':
        seg_h(k, L + g, R - g, B, t);
        break;
      case 'f':
        seg_v(k, L, T + g, M - g, t);
        break;
      case 'b':
        seg_v(k, R, T + g, M - g, t);
        break;
      case 'e':
        seg_v(k, L, M + g, B - g, t);
        break;
      case 'c':
        seg_v(k, R, M + g, B - g, t);
        break;
    }
}

void draw_colon(Ink& k) {
  double d = std::min(static_cast<double>(k.w), k.h / 4.0);
  double x0 = (k.w - d) / 2;
  k.rect(x0, k.h * 0.22 - d / 2, x0 + d, k.h * 0.22 + d / 2);
  k.rect(x0, k.h * 0.78 - d / 2, x0 + d, k.h * 0.78 + d / 2);
}

void draw_clock(Ink& k, double cx, double cy, double r) {
  k.circle(cx, cy, r);
  k.circle(cx, cy, r * 0.74, false);
  k.line(cx, cy, cx, cy - r * 0.55, r * 0.2);
  k.line(cx, cy, cx + r * 0.42, cy + r * 0.1, r * 0.2);
}

void draw_symbol(Ink& k, Role role) {
  switch (role) {
    case R_MISSMARK:
      k.xf = fit(k, 100, 100);
      k.circle(50, 50, 49);
      k.line(29, 29, 71, 71, 17, false);
      k.line(71, 29, 29, 71, 17, false);
      break;
    case R_GAME_A:
    case R_GAME_B:
      k.round_rect(0, 0, k.w, k.h, k.h * 0.3);
      k.text(role == R_GAME_A ? "A" : "B", k.w * 0.2, k.h * 0.16, k.w * 0.8, k.h * 0.84, false);
      break;
    case R_ALARM:
      k.xf = fit(k, 100, 100);
      k.circle(17, 18, 16);
      k.circle(83, 18, 16);
      draw_clock(k, 50, 54, 40);
      k.line(26, 86, 14, 98, 9);
      k.line(74, 86, 86, 98, 9);
      break;
    case R_BELL:
      k.xf = fit(k, 100, 100);
      k.circle(50, 9, 9);
      k.poly({{50, 12},
              {68, 18},
              {74, 34},
              {76, 58},
              {94, 80},
              {6, 80},
              {24, 58},
              {26, 34},
              {32, 18}});
      k.circle(50, 89, 11);
      break;
    case R_CHRONO:
      k.xf = fit(k, 100, 100);
      k.rect(40, 0, 60, 10);
      k.rect(45, 8, 55, 20);
      k.line(82, 20, 90, 12, 9);
      draw_clock(k, 50, 59, 40);
      break;
    case R_DATE:
      k.xf = fit(k, 100, 100);
      k.round_rect(4, 12, 96, 98, 10);
      k.rect(14, 36, 86, 88, false);
      k.line(30, 3, 30, 22, 11);
      k.line(70, 3, 70, 22, 11);
      for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) k.rect(20 + c * 23, 44 + r * 23, 34 + c * 23, 58 + r * 23);
      break;
    case R_TIME_1:
    case R_TIME_2:
      k.xf = fit(k, 130, 100);
      draw_clock(k, 40, 52, 40);
      k.text(role == R_TIME_1 ? "1" : "2", 86, 0, 130, 100);
      break;
    case R_AM:
    case R_PM:
      k.text(role == R_AM ? "AM" : "PM", 0, 0, k.w, k.h);
      break;
    default:
      break;
  }
}

// ---- Shapes shared by the themes ----

void star(Ink& k, double cx, double cy, double r0, double r1, int points, double turn = -90) {
  std::vector<P> pts;
  for (int i = 0; i < points * 2; ++i) {
    double a = (turn + 180.0 * i / points) * kPi / 180, r = i % 2 ? r1 : r0;
    pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  k.poly(pts);
}

void egg(Ink& k, double cx, double cy, double r) {
  k.poly({{cx, cy - r},
          {cx + r * 0.5, cy - r * 0.75},
          {cx + r * 0.72, cy - r * 0.1},
          {cx + r * 0.68, cy + r * 0.45},
          {cx + r * 0.4, cy + r * 0.8},
          {cx, cy + r * 0.9},
          {cx - r * 0.4, cy + r * 0.8},
          {cx - r * 0.68, cy + r * 0.45},
          {cx - r * 0.72, cy - r * 0.1},
          {cx - r * 0.5, cy - r * 0.75}});
}

// An irregular splash of ink with droplets.
void splat(Ink& k, double cx, double cy, double r) {
  static const double kRadii[] = {1.0, 0.55, 0.85, 0.5, 0.95, 0.45, 0.8, 0.6, 1.0, 0.5, 0.75, 0.55};
  std::vector<P> pts;
  for (int i = 0; i < 12; ++i) {
    double a = (i * 30 - 90) * kPi / 180;
    pts.push_back({cx + r * kRadii[i] * std::cos(a), cy + r * kRadii[i] * std::sin(a) * 0.8});
  }
  k.poly(pts);
  k.circle(cx - r * 1.05, cy - r * 0.6, r * 0.13);
  k.circle(cx + r * 1.1, cy - r * 0.3, r * 0.11);
}

// An arc-shaped band, thickest in the middle and pointed at both tips.
void banana(Ink& k, double cx, double cy, double r) {
  const double ox = cx, oy = cy - r * 0.67, thick = r * 0.72;
  std::vector<P> pts;
  const int n = 16;
  for (int i = 0; i <= n; ++i) {
    double a = (20 + 140.0 * i / n) * kPi / 180;
    pts.push_back({ox + r * std::cos(a), oy + r * std::sin(a)});
  }
  for (int i = n - 1; i > 0; --i) {
    double t = static_cast<double>(i) / n, a = (20 + 140 * t) * kPi / 180;
    double rr = r - thick * std::sin(kPi * t);
    pts.push_back({ox + rr * std::cos(a), oy + rr * std::sin(a)});
  }
  k.poly(pts);
  double a = 20 * kPi / 180;
  k.line(ox + r * std::cos(a), oy + r * std::sin(a), ox + r * 1.02, oy - r * 0.05, r * 0.14);
}

void coin(Ink& k) {
  k.xf = fit(k, 100, 100);
  k.circle(50, 50, 49);
  k.circle(50, 50, 38, false);
  k.circle(50, 50, 29);
  k.text("$", 36, 26, 64, 74, false);
}

void invader(Ink& k) {
  static const char* const kRows[] = {"..X.....X..", "...X...X...", "..XXXXXXX..", ".XX.XXX.XX.",
                                      "XXXXXXXXXXX", "X.XXXXXXX.X", "X.X.....X.X", "...XX.XX..."};
  k.xf = fit(k, 11, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 11; ++x)
      if (kRows[y][x] == 'X') k.rect(x, y, x + 1, y + 1);
}

// A person seen from the front; arms 0 = down, 1 = one up, 2 = both up.
void person(Ink& k, int arms) {
  k.xf = fit(k, 100, 120);
  k.circle(50, 18, 15);
  k.poly({{36, 38}, {64, 38}, {70, 80}, {30, 80}});
  k.line(42, 80, 38, 114, 11);
  k.line(58, 80, 62, 114, 11);
  if (arms == 2) {
    k.line(38, 44, 16, 10, 9);
    k.line(62, 44, 84, 10, 9);
  } else if (arms == 1) {
    k.line(38, 44, 24, 74, 9);
    k.line(62, 44, 84, 10, 9);
  } else {
    k.line(38, 44, 26, 78, 9);
    k.line(62, 44, 74, 78, 9);
  }
}

// ---- Three stations above three lanes ----

void draw_body(Ink& k, const std::string& theme) {
  k.xf = fit(k, 100, 125);
  if (theme == "monkey") {
    k.circle(22, 26, 12);
    k.circle(78, 26, 12);
    k.circle(50, 28, 25);
    k.ellipse(50, 36, 17, 14, false);
    k.circle(42, 32, 4.5);
    k.circle(58, 32, 4.5);
    k.arc(50, 38, 8, 30, 150, 4);
    k.ellipse(50, 80, 22, 27);
    k.ellipse(50, 84, 11, 15, false);
    k.line(40, 100, 30, 122, 11);
    k.line(60, 100, 70, 122, 11);
    k.arc(82, 96, 14, -100, 110, 6);
  } else if (theme == "pirate") {
    k.poly({{4, 26}, {50, 0}, {96, 26}, {74, 30}, {26, 30}});
    k.circle(50, 42, 18);
    k.circle(42, 40, 4.5, false);
    k.line(34, 32, 66, 48, 3.5, false);
    k.poly({{24, 60}, {76, 60}, {72, 100}, {28, 100}});
    for (int i = 0; i < 3; ++i) k.rect(20, 67 + i * 11, 80, 72 + i * 11, false);
    k.line(40, 100, 36, 123, 12);
    k.line(60, 100, 64, 123, 6);
  } else {
    k.line(50, 0, 50, 10, 8);
    k.pie(50, 34, 28, 180, 360);
    k.rect(22, 33, 78, 52);
    k.rect(28, 36, 72, 42, false);
    k.poly({{16, 56}, {84, 56}, {72, 100}, {28, 100}});
    k.rect(28, 82, 72, 88, false);
    k.line(40, 100, 37, 123, 13);
    k.line(60, 100, 63, 123, 13);
  }
}

void draw_arm(Ink& k, Layout& L, const Pic& p, const std::string& theme) {
  Arm arm = arm_of(L, p);
  k.xf = at_place(p);
  const P& s = arm.shoulder;
  const P& h = arm.hand;
  const double r = arm.reach, w = arm.width;
  k.line(s.x, s.y, h.x, h.y, w);
  double dx = h.x - s.x, dy = h.y - s.y, d = std::max(1e-6, std::sqrt(dx * dx + dy * dy));
  double ux = dx / d, uy = dy / d;
  const bool catching = p.role == R_CATCH;
  if (theme == "pirate" && !catching) {
    // A hook instead of a hand.
    k.arc(h.x + ux * r, h.y + uy * r, r * 1.1, 0, 220, w * 0.8);
  } else if (theme == "defendo" && catching) {
    // A round shield held out towards the lane.
    k.circle(h.x, h.y, r * 2);
    k.circle(h.x, h.y, r * 1.2, false);
    k.circle(h.x, h.y, r * 0.6);
  } else if (theme == "defendo") {
    // A sword held up.
    k.circle(h.x, h.y, r);
    k.line(h.x - uy * r * 1.6, h.y + ux * r * 1.6, h.x + uy * r * 1.6, h.y - ux * r * 1.6, w * 0.8);
    k.line(h.x, h.y, h.x + ux * r * 4, h.y + uy * r * 4, w * 0.8);
  } else if (theme == "monkey" && !catching) {
    // Hanging on to a branch.
    k.circle(h.x, h.y, r);
    k.line(h.x - r * 3, h.y - r * 0.8, h.x + r * 3, h.y - r * 1.4, w * 0.7);
  } else {
    k.circle(h.x, h.y, catching ? r * 1.3 : r);
  }
}

void draw_step(Ink& k, const Pic& p, const std::string& theme) {
  if (theme == "monkey") {
    // Tossed bananas turn over as they fly.
    k.xf = fit(k, 100, 100).rotated(p.b * 45 - 90, centre_of(k));
    banana(k, 50, 50, 48);
  } else if (theme == "pirate") {
    coin(k);
  } else {
    invader(k);
  }
}

void draw_got(Ink& k, const std::string& theme) {
  k.xf = fit(k, 100, 100);
  star(k, 50, 50, 49, 20, theme == "defendo" ? 8 : 5);
  k.circle(50, 50, 9, false);
}

void draw_lane_miss(Ink& k, const std::string& theme) {
  k.xf = fit(k, 100, 100);
  if (theme == "defendo") {
    star(k, 50, 52, 48, 22, 9, -80);
    star(k, 50, 52, 24, 12, 7, -60);
    k.circle(50, 52, 10, false);
  } else if (theme == "pirate") {
    // The coin lost in a splash of water.
    k.polyline({{2, 90}, {18, 80}, {34, 90}, {50, 80}, {66, 90}, {82, 80}, {98, 90}}, 10);
    egg(k, 50, 40, 26);
    egg(k, 20, 56, 16);
    egg(k, 80, 56, 16);
  } else {
    splat(k, 50, 56, 44);
  }
}

// A coconut hanging from the tree: the monkey's target.
void draw_target(Ink& k) {
  k.xf = fit(k, 100, 100);
  k.line(50, 0, 50, 16, 8);
  k.circle(50, 58, 42);
  k.circle(36, 46, 7, false);
  k.circle(64, 46, 7, false);
  k.circle(50, 68, 7, false);
}

// ---- One track through three stations ----

double track_angle(Layout& L, const Pic& p) {
  // Direction of travel at this point: from the previous to the next point.
  const Pic* prev = L.find(R_TRACK, p.a - 1);
  const Pic* next = L.find(R_TRACK, p.a + 1);
  P a = prev ? prev->centre() : p.centre(), b = next ? next->centre() : p.centre();
  if (!prev && !next) return 0;
  return std::atan2(b.y - a.y, b.x - a.x) * 180 / kPi;
}

void car(Ink& k) {
  k.circle(60, 13, 12);
  k.round_rect(2, 33, 98, 64, 8);
  k.circle(24, 85, 13);
  k.circle(76, 85, 13);
}

void draw_track_item(Ink& k, Layout& L, const Pic& p, const std::string& theme) {
  double angle = track_angle(L, p);
  Xf base = fit(k, 100, 100);
  if (theme == "condor") {
    k.xf = base.rotated(p.a * 47, centre_of(k));
    egg(k, 50, 52, 48);
    k.circle(38, 34, 7, false);
  } else if (theme == "pancake") {
    // Tossed pancakes turn over as they fly.
    k.xf = base.rotated(angle + (p.a % 2 ? 35 : -35), centre_of(k));
    k.ellipse(50, 50, 49, 28);
  } else {
    // Cars stay upright (a tilted car is unreadable this small) and face the
    // way they go.
    k.xf = base;
    if (std::cos(angle * kPi / 180) >= 0) k.xf = k.xf.mirrored_x(50);
    car(k);
  }
}

void draw_char(Ink& k, const std::string& theme) {
  if (theme == "condor") {
    // A condor with its wings raised to pass the egg on.
    k.xf = fit(k, 100, 120);
    const std::vector<P> wing = {{40, 62}, {30, 42}, {14, 24}, {2, 4},   {14, 10},
                                 {12, 0},  {24, 10}, {26, 2},  {34, 16}, {48, 48}};
    k.poly(wing);
    std::vector<P> other;
    for (const P& q : wing) other.push_back({100 - q.x, q.y});
    k.poly(other);
    k.ellipse(50, 78, 20, 28);
    k.circle(50, 38, 11);
    k.ellipse(50, 52, 15, 6, false);
    k.poly({{42, 34}, {28, 40}, {30, 48}, {36, 43}, {44, 42}});
    k.circle(47, 35, 2.5, false);
    k.line(42, 102, 38, 116, 6);
    k.line(58, 102, 62, 116, 6);
    k.line(28, 117, 44, 117, 5);
    k.line(56, 117, 72, 117, 5);
  } else if (theme == "pancake") {
    k.xf = fit(k, 100, 120);
    k.circle(36, 12, 11);
    k.circle(50, 9, 12);
    k.circle(64, 12, 11);
    k.rect(38, 12, 62, 26);
    k.rect(38, 24, 62, 27, false);
    k.circle(50, 38, 12);
    k.poly({{32, 52}, {68, 52}, {72, 92}, {28, 92}});
    k.poly({{40, 60}, {60, 60}, {62, 88}, {38, 88}}, false);
    k.line(66, 58, 80, 40, 8);
    k.ellipse(86, 34, 13, 5);
    k.line(34, 58, 22, 40, 8);
    k.line(42, 92, 40, 116, 10);
    k.line(58, 92, 60, 116, 10);
  } else {
    person(k, 2);
  }
}

void draw_track_miss(Ink& k, const std::string& theme) {
  if (theme == "condor") {
    // A broken egg: the spilt yolk between two halves of the shell.
    k.xf = fit(k, 120, 100);
    splat(k, 60, 70, 30);
    k.poly({{2, 100}, {4, 50}, {14, 26}, {22, 40}, {30, 22}, {38, 42}, {42, 100}});
    k.poly({{78, 100}, {82, 42}, {90, 22}, {98, 40}, {106, 26}, {116, 50}, {118, 100}});
  } else if (theme == "pancake") {
    k.xf = fit(k, 120, 100);
    splat(k, 60, 60, 52);
    k.ellipse(60, 58, 20, 9, false);
  } else {
    // A car on its roof, with a star of the crash.
    k.xf = fit(k, 100, 100).rotated(180, centre_of(k));
    car(k);
    k.xf = fit(k, 100, 100);
    star(k, 86, 14, 14, 6, 5);
  }
}

void draw_left(Ink& k, const Pic& p, const std::string& theme) {
  if (theme == "condor") {
    if (p.a == 2) {
      // A chick stretching up for the egg that just arrived.
      k.xf = fit(k, 80, 100);
      egg(k, 40, 16, 15);
      k.circle(40, 50, 16);
      k.poly({{30, 40}, {40, 24}, {50, 40}}, false);
      k.ellipse(40, 80, 26, 20);
      k.circle(34, 48, 3.5, false);
    } else {
      k.xf = fit(k, 100, 70);
      k.pie(50, 26, 48, 0, 180);
      k.arc(50, 26, 36, 25, 155, 5, false);
      egg(k, 32, 20, 18);
      egg(k, 66, 18, 18);
    }
  } else if (theme == "pancake") {
    if (p.a == 0) {
      k.xf = fit(k, 100, 50);
      k.ellipse(50, 42, 49, 8);
      for (int i = 0; i < 3; ++i) {
        k.ellipse(50, 30 - i * 11, 36, 7);
        k.ellipse(50, 35 - i * 11, 36, 1.8, false);
      }
    } else {
      // A fork: resting, then raised with a piece of pancake.
      k.xf = fit(k, 70, 100).rotated(p.a == 1 ? 25 : -15, centre_of(k));
      k.line(35, 44, 35, 98, 10);
      k.rect(17, 34, 53, 46);
      for (int i = 0; i < 4; ++i) k.rect(17 + i * 10.5, 4, 22 + i * 10.5, 40);
      if (p.a == 2) k.ellipse(35, 12, 30, 10);
    }
  } else {
    person(k, p.a == 2 ? 2 : 0);
  }
}

void draw_right(Ink& k, const Pic& p, const std::string& theme) {
  if (theme == "condor") {
    switch (p.a) {
      case 1:  // the mother condor on her rock, facing the track
        k.xf = fit(k, 100, 110);
        k.ellipse(62, 58, 32, 30);
        k.arc(70, 58, 20, 190, 330, 5, false);
        k.circle(34, 22, 13);
        k.ellipse(46, 36, 14, 6, false);
        k.circle(30, 19, 3, false);
        k.poly({{24, 18}, {4, 26}, {8, 34}, {14, 28}, {24, 28}});
        k.line(54, 86, 52, 94, 6);
        k.line(72, 86, 74, 94, 6);
        k.round_rect(14, 92, 100, 110, 6);
        break;
      case 2:  // wing raised
        k.xf = fit(k, 100, 100);
        k.poly({{0, 100},
                {10, 56},
                {50, 18},
                {100, 0},
                {84, 28},
                {96, 34},
                {64, 56},
                {74, 64},
                {30, 84}});
        break;
      case 3:  // wing spread
        k.xf = fit(k, 150, 100);
        k.poly(
            {{0, 90}, {40, 36}, {150, 14}, {120, 44}, {140, 52}, {90, 70}, {100, 84}, {30, 100}});
        break;
      default:  // the egg she is about to drop
        k.xf = fit(k, 80, 100);
        egg(k, 40, 52, 46);
        k.circle(28, 32, 7, false);
        break;
    }
  } else if (theme == "pancake") {
    switch (p.a) {
      case 0:  // batter bowl with a whisk
        k.xf = fit(k, 100, 80);
        k.pie(44, 40, 40, 0, 180);
        k.rect(0, 36, 88, 42);
        k.line(56, 38, 84, 6, 7);
        k.ellipse(88, 8, 9, 12);
        k.ellipse(88, 8, 4, 7, false);
        break;
      case 1:  // the stove
        k.xf = fit(k, 110, 90);
        k.rect(4, 10, 106, 88);
        k.rect(14, 24, 96, 50, false);
        k.circle(32, 70, 8, false);
        k.circle(78, 70, 8, false);
        k.rect(0, 0, 110, 8);
        break;
      case 2:
      case 3:  // flames, flickering
        k.xf = fit(k, 90, 100);
        for (int i = 0; i < 3; ++i) {
          double x = 15 + i * 30, top = (i + p.a) % 2 ? 4 : 36, lean = p.a == 2 ? -8 : 8;
          k.poly({{x - 13, 98}, {x - 11, 64}, {x + lean, top}, {x + 11, 64}, {x + 13, 98}});
        }
        break;
      default: {  // the pan, rising to toss
        k.xf = fit(k, 180, 100).rotated((p.a - 5) * 20, centre_of(k));
        k.pie(60, 40, 56, 0, 180);
        k.rect(4, 34, 116, 44);
        k.line(112, 40, 176, 24, 14);
        break;
      }
    }
  } else {
    switch (p.a) {
      case 1:  // the station booth
        k.xf = fit(k, 80, 100);
        k.poly({{0, 34}, {40, 2}, {80, 34}});
        k.rect(8, 34, 72, 100);
        k.rect(20, 46, 60, 66, false);
        break;
      case 2:  // barrier raised
        k.xf = fit(k, 110, 100);
        k.rect(0, 60, 16, 100);
        k.line(8, 64, 70, 6, 12);
        break;
      case 3:  // barrier lowered
        k.xf = fit(k, 110, 100);
        k.rect(0, 60, 16, 100);
        k.line(8, 66, 104, 66, 12);
        break;
      default: {  // a waving flag
        k.xf = fit(k, 70, 100);
        k.line(10, 4, 10, 98, 10);
        double wave = (p.a - 5) * 12;
        k.poly({{12, 6}, {68, 22 + wave}, {12, 50}});
        break;
      }
    }
  }
}

void draw_picture(Ink& k, Layout& L, const Pic& p) {
  const std::string& theme = L.folder;
  switch (p.role) {
    case R_DIGIT:
      draw_digit(k, p.a);
      break;
    case R_COLON:
      draw_colon(k);
      break;
    case R_BODY:
      draw_body(k, theme);
      break;
    case R_REST:
    case R_CATCH:
      draw_arm(k, L, p, theme);
      break;
    case R_STEP:
      draw_step(k, p, theme);
      break;
    case R_GOT:
      draw_got(k, theme);
      break;
    case R_LANE_MISS:
      draw_lane_miss(k, theme);
      break;
    case R_TARGET:
      draw_target(k);
      break;
    case R_CHAR:
      draw_char(k, theme);
      break;
    case R_TRACK:
      draw_track_item(k, L, p, theme);
      break;
    case R_TRACK_MISS:
      draw_track_miss(k, theme);
      break;
    case R_LEFT:
      draw_left(k, p, theme);
      break;
    case R_RIGHT:
      draw_right(k, p, theme);
      break;
    case R_UNKNOWN:
    case R_BACKGROUND:
      // A file this tool has no drawing for still gets a plain block.
      k.rect(0, 0, k.w, k.h);
      break;
    default:
      draw_symbol(k, p.role);
      break;
  }
}

}  // namespace

void draw_pictures(Layout& L) {
  for (Pic& p : L.pics) {
    if (p.w <= 0 || p.h <= 0) p.w = p.h = 8;
    Ink k(p.w, p.h);
    draw_picture(k, L, p);
    p.mask = k.reduce();
    // Places that start just outside the LCD lose the rows or columns outside it.
    for (const P& s : p.spots)
      for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
          double X = s.x + x, Y = s.y + y;
          if (X < L.lcd_x || Y < L.lcd_y || X >= L.lcd_x + L.lcd_w || Y >= L.lcd_y + L.lcd_h)
            p.mask.px[y * p.w + x] = 0;
        }
  }
}

}  // namespace mkdata
