// SPDX-License-Identifier: MIT
// The Pirate handheld, its segment layout and its catalogue entry.
#include "engines/dev_pirate.h"

// Stations, then lanes (index 9 sits on step 5), then the watch items.
// clang-format off
const ZT_Game_Pirate::Layout ZT_Game_Pirate::layout[] = {
    {13, 1, 205,  91}, {13, 2, 199,  82}, {13, 3, 186,  95},
    {14, 1, 258,  95}, {14, 2, 266,  89}, {14, 3, 273, 109},
    {15, 1, 325, 111}, {15, 2, 333, 105}, {15, 3, 340, 123},
    {16, 1, 201, 224}, {16, 2, 170, 215}, {16, 3, 170, 184}, {16, 4, 179, 150}, {16, 5, 178, 127},
    {16, 6, 196, 188}, {16, 7, 211, 139}, {16, 9, 178, 127},
    {17, 1, 269, 202}, {17, 2, 293, 202}, {17, 3, 291, 174}, {17, 4, 289, 143}, {17, 5, 290, 114},
    {17, 6, 252, 172}, {17, 7, 263, 134}, {17, 9, 290, 114},
    {18, 1, 338, 217}, {18, 2, 359, 213}, {18, 3, 366, 186}, {18, 4, 365, 161}, {18, 5, 353, 132},
    {18, 6, 331, 185}, {18, 7, 327, 150}, {18, 9, 353, 132},
    { 0, 1, 252,  53}, { 0, 2, 267,  53}, { 0, 3, 287,  53}, { 0, 4, 302,  53},
    { 1, 0, 282,  58},
    { 2, 1, 336,  52}, { 2, 2, 350,  52}, { 2, 3, 363,  52}, { 2, 4, 376,  52}, { 2, 5, 389,  52},
    { 2, 6, 337,  72}, { 2, 7, 350,  73}, { 2, 8, 364,  72}, { 2, 9, 377,  73}, { 2, 10, 390, 72},
    { 3, 0, 159,  53}, { 4, 0, 159,  68}, { 5, 0, 202,  69}, { 6, 0, 185,  55}, { 7, 0, 219,  69},
    { 8, 0, 233,  69}, { 9, 0, 225,  53}, {10, 0, 202,  53}, {11, 0, 320,  53}, {12, 0, 320,  68},
};
// clang-format on

const size_t ZT_Game_Pirate::layout_size = sizeof layout / sizeof layout[0];

ZT_Game_Pirate::ZT_Game_Pirate() : ZT_GameEngine_VTech_Monkey(0, 0) {
  folder = "pirate";
  layout_apply(layout, layout_size);
}

ZT_Game_Pirate::~ZT_Game_Pirate() {}

ZT_Game* ZT_Game_Pirate_Info::create() { return new ZT_Game_Pirate; }
