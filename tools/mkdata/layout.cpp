// SPDX-License-Identifier: MIT
// Roles from file names, places from the registry, sizes from the free space.
#include "mkdata/layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace mkdata {

namespace {

struct Pattern {
  const char* format;  // printf format of the file name with zero, one or two ints
  int args;
  Role role;
  int a;  // fixed parameters where the format has no ints for them
  int b;
};

const Pattern kPatterns[] = {
    {"bg.bmp", 0, R_BACKGROUND, 0, 0},
    {"im_number_%d_%d.bmp", 2, R_DIGIT, 0, 0},
    {"im_number_%d.bmp", 1, R_DIGIT, 0, 0},
    {"im_time_semicolon.bmp", 0, R_COLON, 0, 0},
    {"im_miss.bmp", 0, R_MISSMARK, 0, 0},
    {"im_miss_%02d.bmp", 1, R_MISSMARK, 0, 0},
    {"im_game_a.bmp", 0, R_GAME_A, 0, 0},
    {"im_game_b.bmp", 0, R_GAME_B, 0, 0},
    {"im_alarm.bmp", 0, R_ALARM, 0, 0},
    {"im_bell.bmp", 0, R_BELL, 0, 0},
    {"im_chrono.bmp", 0, R_CHRONO, 0, 0},
    {"im_date.bmp", 0, R_DATE, 0, 0},
    {"im_time_1.bmp", 0, R_TIME_1, 0, 0},
    {"im_time_2.bmp", 0, R_TIME_2, 0, 0},
    {"im_time_am.bmp", 0, R_AM, 0, 0},
    {"im_time_pm.bmp", 0, R_PM, 0, 0},
    {"im_char_%d_1.bmp", 1, R_BODY, 0, 0},
    {"im_char_%d_2.bmp", 1, R_REST, 0, 0},
    {"im_char_%d_3.bmp", 1, R_CATCH, 0, 0},
    {"im_item_%d_%d.bmp", 2, R_STEP, 0, 0},
    {"im_item_%d_got.bmp", 1, R_GOT, 0, 0},
    {"im_item_%d_miss.bmp", 1, R_LANE_MISS, 0, 0},
    {"im_item_%d_target.bmp", 1, R_TARGET, 0, 0},
    {"char_%d.bmp", 1, R_CHAR, 0, 0},
    {"item_%02d.bmp", 1, R_TRACK, 0, 0},
    {"miss_%d.bmp", 1, R_TRACK_MISS, 0, 0},
    {"item_left_%d.bmp", 1, R_LEFT, 0, 0},
    {"item_right_1a.bmp", 0, R_RIGHT, 0, 1},
    {"item_right_1b.bmp", 0, R_RIGHT, 1, 1},
    {"item_right_%d.bmp", 1, R_RIGHT, 0, 0},
};

bool match(const std::string& file, const Pattern& p, int* a, int* b) {
  int x = 0, y = 0;
  if (p.args == 2 && std::sscanf(file.c_str(), p.format, &x, &y) != 2) return false;
  if (p.args == 1 && std::sscanf(file.c_str(), p.format, &x) != 1) return false;
  char again[128];
  if (p.args == 2)
    std::snprintf(again, sizeof again, p.format, x, y);
  else if (p.args == 1)
    std::snprintf(again, sizeof again, p.format, x);
  else
    std::snprintf(again, sizeof again, "%s", p.format);
  if (file != again) return false;
  // Digits are written value-last: im_number_<position>_<digit>.
  if (p.role == R_DIGIT && p.args == 2) {
    *a = y;
    *b = x;
  } else {
    *a = p.args >= 1 ? x : p.a;
    *b = p.args == 2 ? y : p.b;
  }
  return true;
}

double clampd(double v, double lo, double hi) { return std::max(lo, std::min(hi, v)); }

void add_spot(Pic& p, P at) {
  for (const P& s : p.spots)
    if (s.x == at.x && s.y == at.y) return;
  p.spots.push_back(at);
}

struct Sizer {
  Layout* L;
  std::vector<std::pair<P, const Pic*> > anchors;

  explicit Sizer(Layout* layout) : L(layout) {
    for (const Pic& p : L->pics)
      for (const P& s : p.spots) anchors.push_back({s, &p});
  }

  // The largest scale (at most 1) of a w0 x h0 box that, at every place of
  // every picture of the family, stays inside the LCD and keeps clear of every
  // other place to its lower right. Boxes that start at the same point are
  // alternatives shown in turn, and skip() names pictures meant to overlap.
  double scale(const std::vector<Pic*>& family, double w0, double h0,
               const std::function<bool(const Pic*, const Pic*)>& skip = nullptr) const {
    double s = 1.0;
    const double right = L->lcd_x + L->lcd_w, bottom = L->lcd_y + L->lcd_h;
    for (const Pic* p : family)
      for (const P& a : p->spots) {
        s = std::min(s, (right - a.x) / w0);
        s = std::min(s, (bottom - a.y) / h0);
        for (const auto& q : anchors) {
          if (q.second == p || (skip && skip(p, q.second))) continue;
          double dx = q.first.x - a.x, dy = q.first.y - a.y;
          if (dx == 0 && dy == 0) continue;
          if (dx >= 0 && dy >= 0)
            s = std::min(s, std::max((dx - 1) / w0, (dy - 1) / h0));
          else if (dx > 0 && dy > -h0 / 4)  // level with it on the right
            s = std::min(s, (dx - 1) / w0);
          else if (dy > 0 && dx > -w0 / 4)  // just below it
            s = std::min(s, (dy - 1) / h0);
        }
      }
    return std::max(s, 0.0);
  }

  // Whether a w x h box at every place of the family keeps clear of others.
  bool clear(const std::vector<Pic*>& family, double w, double h,
             const std::function<bool(const Pic*, const Pic*)>& skip) const {
    return scale(family, w, h, skip) >= 1.0;
  }

  // Size the family: the nominal proportions scaled down to the free space,
  // then each side grown back towards nominal where the other one leaves room.
  void fit(std::vector<Pic*> family, double w0, double h0,
           const std::function<bool(const Pic*, const Pic*)>& skip = nullptr) const {
    family.erase(std::remove(family.begin(), family.end(), nullptr), family.end());
    if (family.empty()) return;
    double s = scale(family, w0, h0, skip);
    int w = std::max(3, static_cast<int>(std::floor(w0 * s)));
    int h = std::max(3, static_cast<int>(std::floor(h0 * s)));
    while (h < h0 && clear(family, w, h + 1, skip)) ++h;
    while (w < w0 && clear(family, w + 1, h, skip)) ++w;
    for (Pic* p : family) {
      p->w = w;
      p->h = h;
    }
  }
};

void size_digits(Layout& L) {
  std::vector<Pic*> digits = L.all(R_DIGIT);
  if (digits.empty()) return;
  // Every digit place, left to right, with the colon as a further obstacle.
  std::vector<P> places;
  for (Pic* p : digits)
    for (const P& s : p->spots)
      if (std::find_if(places.begin(), places.end(),
                       [&](const P& q) { return q.x == s.x && q.y == s.y; }) == places.end())
        places.push_back(s);
  std::sort(places.begin(), places.end(), [](const P& a, const P& b) { return a.x < b.x; });
  Pic* colon = L.find(R_COLON);
  double w = 14;
  for (size_t i = 0; i < places.size(); ++i) {
    double limit = L.lcd_x + L.lcd_w - places[i].x;
    if (i + 1 < places.size()) limit = places[i + 1].x - places[i].x - 2;
    if (colon && colon->spot().x > places[i].x &&
        (i + 1 == places.size() || colon->spot().x < places[i + 1].x))
      limit = std::min(limit, colon->spot().x - places[i].x - 1);
    // Whatever starts right of a digit on its row (AM and PM) bounds the last one.
    for (const Pic& o : L.pics)
      if (o.role != R_DIGIT && o.role != R_COLON)
        for (const P& s : o.spots)
          if (std::fabs(s.y - places[i].y) < 6 && s.x > places[i].x)
            limit = std::min(limit, s.x - places[i].x - 2);
    w = std::min(w, limit);
  }
  w = std::max(5.0, w);
  double h = std::round(w * 1.7);
  for (const P& s : places) h = std::min(h, static_cast<double>(L.lcd_y + L.lcd_h) - s.y);
  for (Pic* p : digits) {
    p->w = static_cast<int>(w);
    p->h = static_cast<int>(h);
  }
  if (colon) {
    const P c = colon->spot();
    double right = L.lcd_x + L.lcd_w;
    for (const P& s : places)
      if (s.x > c.x) right = std::min(right, s.x);
    colon->w = static_cast<int>(clampd(right - c.x - 1, 2, 4));
    // Symmetric about the digits' middle.
    double top = places[0].y, bottom = places[0].y + h;
    colon->h = static_cast<int>(std::max(4.0, (bottom - c.y) - (c.y - top)));
  }
}

// Rows of marks: the gap to the next mark in the same row bounds the width.
void size_missmarks(Layout& L, const Sizer& sizer) {
  std::vector<Pic*> marks = L.all(R_MISSMARK);
  if (marks.empty()) return;
  std::vector<P> places;
  for (Pic* p : marks) places.insert(places.end(), p->spots.begin(), p->spots.end());
  double gap = 16;
  for (const P& a : places)
    for (const P& b : places)
      if (std::fabs(a.y - b.y) < 4 && b.x > a.x) gap = std::min(gap, b.x - a.x);
  double w0 = std::max(4.0, gap - 2);
  sizer.fit(marks, w0, w0);
}

}  // namespace

Pic* Layout::find(Role role, int a, int b) {
  for (Pic& p : pics)
    if (p.role == role && (a < 0 || p.a == a) && (b < 0 || p.b == b)) return &p;
  return nullptr;
}

std::vector<Pic*> Layout::all(Role role) {
  std::vector<Pic*> out;
  for (Pic& p : pics)
    if (p.role == role) out.push_back(&p);
  return out;
}

Role role_of(const std::string& file, int* a, int* b) {
  for (const Pattern& p : kPatterns)
    if (match(file, p, a, b)) return p.role;
  *a = *b = 0;
  return R_UNKNOWN;
}

namespace {

// Three stations, each a body always shown with one of two arm poses, above
// three lanes of five steps.
void size_station_art(Layout& L, const Sizer& sizer) {
  std::vector<Pic*> bodies = L.all(R_BODY);
  if (bodies.empty()) return;
  // A body overlaps its own arms but nothing else.
  auto own_arms = [](const Pic* p, const Pic* q) {
    return (q->role == R_REST || q->role == R_CATCH) && q->a == p->a;
  };
  sizer.fit(bodies, 22, 28, own_arms);
  sizer.fit(L.all(R_STEP), 18, 18);
  sizer.fit(L.all(R_GOT), 18, 18);
  sizer.fit(L.all(R_LANE_MISS), 18, 18);
  sizer.fit(L.all(R_TARGET), 16, 16);
  for (Role r : {R_REST, R_CATCH})
    for (Pic* p : L.all(r)) {
      Arm arm = arm_of(L, *p);
      // Room around the hand for what it holds.
      double room = arm.reach * 2 + 1;
      double x1 = std::max(arm.shoulder.x, arm.hand.x + room);
      double y1 = std::max(arm.shoulder.y, arm.hand.y + room);
      x1 = std::min(x1, static_cast<double>(L.lcd_x + L.lcd_w));
      y1 = std::min(y1, static_cast<double>(L.lcd_y + L.lcd_h));
      p->w = std::max(3, static_cast<int>(std::ceil(x1 - p->spot().x)));
      p->h = std::max(3, static_cast<int>(std::ceil(y1 - p->spot().y)));
    }
}

// Natural size of a decoration piece, by handheld and piece.
P decoration_size(const std::string& folder, Role role, int a) {
  if (folder == "condor") {
    if (role == R_LEFT) return a == 2 ? P{18, 22} : P{22, 15};
    static const P right[] = {{0, 0}, {24, 26}, {16, 16}, {18, 12}, {9, 11}};
    return a >= 1 && a <= 4 ? right[a] : P{16, 16};
  }
  if (folder == "pancake") {
    if (role == R_LEFT) return a == 0 ? P{22, 14} : P{10, 14};
    static const P right[] = {{18, 14}, {22, 18}, {12, 14}, {12, 14}, {18, 10}, {18, 10}, {18, 10}};
    return a >= 0 && a <= 6 ? right[a] : P{16, 16};
  }
  if (role == R_LEFT) return {14, 22};
  static const P right[] = {{16, 16}, {16, 18}, {14, 12}, {14, 12}, {8, 12}, {8, 12}, {8, 12}};
  return a >= 0 && a <= 6 ? right[a] : P{16, 16};
}

// Decoration pieces never shown together: the two frames on the left, the
// two alternating pieces and the three cycling pieces on the right.
bool never_together(const Pic* p, const Pic* q) {
  if (p->role != q->role) return false;
  if (p->role == R_LEFT) return p->a > 0 && q->a > 0;
  if (p->role != R_RIGHT || p->b || q->b) return false;
  auto group = [](int a) { return a == 2 || a == 3 ? 1 : a >= 4 ? 2 : 0; };
  return group(p->a) != 0 && group(p->a) == group(q->a);
}

// One track of items through three stations, with decorations at both ends.
void size_track_art(Layout& L, const Sizer& sizer) {
  if (L.all(R_CHAR).empty()) return;
  // A character holds the item that reaches its station, and a missed item
  // falls at its feet: both may overlap it.
  auto on_track = [](const Pic*, const Pic* q) {
    return q->role == R_TRACK || q->role == R_TRACK_MISS;
  };
  sizer.fit(L.all(R_CHAR), 30, 36, on_track);
  // Neighbouring points of the track never hold items at the same time.
  auto neighbour = [](const Pic* p, const Pic* q) {
    return (q->role == R_TRACK && std::abs(q->a - p->a) == 1) || q->role == R_CHAR;
  };
  sizer.fit(L.all(R_TRACK), 12, 12, neighbour);
  auto chars = [](const Pic*, const Pic* q) { return q->role == R_CHAR; };
  sizer.fit(L.all(R_TRACK_MISS), 18, 15, chars);
  for (Role r : {R_LEFT, R_RIGHT})
    for (Pic* p : L.all(r)) {
      P size = decoration_size(L.folder, r, p->a);
      sizer.fit({p}, size.x, size.y, never_together);
    }
}

}  // namespace

Arm arm_of(Layout& L, const Pic& pose) {
  Arm arm;
  const Pic* body = L.find(R_BODY, pose.a);
  const P a = pose.spot();
  if (!body) {
    arm.shoulder = arm.hand = a;
    return arm;
  }
  const bool catching = pose.role == R_CATCH;
  arm.width = std::max(1.6, body->w * 0.12);
  arm.reach = arm.width * 1.25;
  arm.shoulder = {body->spot().x + body->w * 0.5, body->spot().y + body->h * 0.42};
  const P& s = arm.shoulder;
  const double length = body->h * (catching ? 1.05 : 0.75);
  // Rest: the arm points at the corner of its picture that lies away from the
  // body. Catch: it reaches for the item on the lane's last step. A picture
  // that starts beyond the shoulder holds an arm stretched that way.
  P goal = {a.x < s.x ? a.x : a.x + length, a.y < s.y ? a.y : a.y + length};
  if (catching)
    if (const Pic* item = L.find(R_STEP, pose.a, 5)) goal = item->centre();
  if (a.x > s.x - arm.reach) goal.x = std::max(goal.x, a.x + length * 0.6);
  if (a.y > s.y - arm.reach) goal.y = std::max(goal.y, a.y + length * 0.6);
  double dx = goal.x - s.x, dy = goal.y - s.y, d = std::sqrt(dx * dx + dy * dy);
  double k = d > length ? length / d : 1.0;
  arm.hand = {std::max(s.x + dx * k, a.x + arm.reach), std::max(s.y + dy * k, a.y + arm.reach)};
  // The arm starts inside its own picture, so that it is never cut off.
  arm.shoulder = {std::max(s.x, a.x + arm.width / 2), std::max(s.y, a.y + arm.width / 2)};
  return arm;
}

Layout layout_of(ZT_Game* game) {
  Layout L;
  L.folder = game->folder;
  L.zoom_w = game->zoom_width;
  L.zoom_h = game->zoom_height;
  L.lcd_x = game->lcd_x;
  L.lcd_y = game->lcd_y;
  L.lcd_w = game->lcd_width;
  L.lcd_h = game->lcd_height;
  const int bg = game->bgimage_get();
  for (const auto& id : game->data.images)
    for (const auto& index : id.second) {
      if (id.first == bg && index.first == 0) {
        L.background = index.second->file;
        continue;
      }
      Pic p;
      p.id = id.first;
      p.index = index.first;
      p.file = index.second->file;
      p.role = role_of(p.file, &p.a, &p.b);
      L.pics.push_back(p);
    }
  for (const auto& id : game->data.positions)
    for (const auto& index : id.second) {
      const ZT_GameData_Position* pos = index.second.get();
      if (pos->image_id < 0) continue;
      const P at = {static_cast<double>(pos->x), static_cast<double>(pos->y)};
      for (Pic& p : L.pics)
        if (p.id == pos->image_id && p.index == pos->image_index) add_spot(p, at);
    }
  // Pictures that no place shows yet are alternatives of a sibling (the same
  // image id): digits shown in turn. A digit made for one digit place
  // (im_number_<place>_<d>) appears only at that place.
  for (Pic& p : L.pics) {
    if (!p.spots.empty()) continue;
    if (p.role == R_DIGIT && p.b > 0) {
      const ZT_GameData_Position* pos = game->data.position_get(p.id - 1, p.b);
      if (pos) add_spot(p, {static_cast<double>(pos->x), static_cast<double>(pos->y)});
      continue;
    }
    for (const Pic& q : L.pics)
      if (q.id == p.id && q.index != p.index)
        for (const P& s : q.spots) add_spot(p, s);
  }
  for (const auto& s : game->data.sounds) L.sounds.push_back(s.second->file);

  Sizer sizer(&L);
  size_digits(L);
  size_missmarks(L, sizer);
  sizer.fit({L.find(R_GAME_A), L.find(R_GAME_B)}, 24, 12);
  const Role symbols[] = {R_ALARM, R_BELL, R_CHRONO, R_DATE, R_TIME_1, R_TIME_2};
  for (Role r : symbols)
    if (Pic* p = L.find(r)) sizer.fit({p}, 15, 13);
  sizer.fit({L.find(R_AM), L.find(R_PM)}, 14, 10);
  size_station_art(L, sizer);
  size_track_art(L, sizer);
  return L;
}

}  // namespace mkdata
