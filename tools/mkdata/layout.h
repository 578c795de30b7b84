// SPDX-License-Identifier: MIT
// What a game shows: its pictures with their roles (read from the file names)
// and the places where they appear (read from the game's registry), and the
// size each picture gets from the free space around those places.
#ifndef ZT_TOOLS_MKDATA_LAYOUT_H
#define ZT_TOOLS_MKDATA_LAYOUT_H

#include <string>
#include <vector>

#include "framework/game.h"
#include "mkdata/ink.h"

namespace mkdata {

enum Role {
  R_UNKNOWN,
  R_BACKGROUND,
  // Watch items common to every handheld.
  R_DIGIT,  // a = digit value
  R_COLON,
  R_MISSMARK,
  R_GAME_A,
  R_GAME_B,
  R_ALARM,
  R_BELL,
  R_CHRONO,
  R_DATE,
  R_TIME_1,
  R_TIME_2,
  R_AM,
  R_PM,
  // Three stations and three lanes (a = station or lane 1..3).
  R_BODY,
  R_REST,
  R_CATCH,
  R_STEP,  // b = step 1..5
  R_GOT,
  R_LANE_MISS,
  R_TARGET,
  // One track through three stations (a = station or track index).
  R_CHAR,
  R_TRACK,
  R_TRACK_MISS,
  R_LEFT,   // a = index
  R_RIGHT,  // a = index; b = 1 for the "a"/"b" pair of always-shown pieces
};

struct Pic {
  int id = 0;
  int index = 0;
  std::string file;
  Role role = R_UNKNOWN;
  int a = 0;
  int b = 0;
  std::vector<P> spots;  // top-left corners in background pixels
  int w = 0;
  int h = 0;
  Mask mask;
  P spot() const { return spots.empty() ? P{0, 0} : spots[0]; }
  // Centre of the picture at its first place.
  P centre() const { return {spot().x + w / 2.0, spot().y + h / 2.0}; }
};

struct Layout {
  std::string folder;
  int zoom_w = 0;
  int zoom_h = 0;
  int lcd_x = 0;
  int lcd_y = 0;
  int lcd_w = 0;
  int lcd_h = 0;
  std::string background;  // file of the background picture
  std::vector<Pic> pics;   // every segment picture, in key order
  std::vector<std::string> sounds;

  Pic* find(Role role, int a = -1, int b = -1);
  std::vector<Pic*> all(Role role);
};

// An arm of a pose: a stroke from the body's shoulder to the hand.
struct Arm {
  P shoulder;
  P hand;
  double width = 2;
  double reach = 2;  // radius of the hand
};

// The arm that a pose picture (R_REST or R_CATCH) draws, in background pixels.
Arm arm_of(Layout& layout, const Pic& pose);

// Role of a picture from its file name.
Role role_of(const std::string& file, int* a, int* b);

// Read the game's registry and size every picture to its places.
Layout layout_of(ZT_Game* game);

}  // namespace mkdata

#endif
