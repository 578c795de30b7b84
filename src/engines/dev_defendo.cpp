// SPDX-License-Identifier: MIT
// The Defendo handheld, its geometry, its segment layout and its catalogue entry.
#include "engines/dev_defendo.h"

// Stations, then lanes (index 9 sits on step 5), then the watch items. The
// miss marks form one row, mark 1 at the right end.
// clang-format off
const ZT_Game_Defendo::Layout ZT_Game_Defendo::layout[] = {
    {13, 1, 237, 151}, {13, 2, 225, 151}, {13, 3, 213, 152},
    {14, 1, 275, 152}, {14, 2, 268, 150}, {14, 3, 261, 151},
    {15, 1, 295, 153}, {15, 2, 314, 149}, {15, 3, 315, 147},
    {16, 1, 212, 268}, {16, 2, 238, 268}, {16, 3, 227, 253}, {16, 4, 228, 222}, {16, 5, 232, 187},
    {16, 6, 207, 196}, {16, 7, 207, 229}, {16, 9, 232, 187},
    {17, 1, 288, 293}, {17, 2, 273, 259}, {17, 3, 283, 238}, {17, 4, 281, 203}, {17, 5, 280, 172},
    {17, 6, 250, 183}, {17, 7, 256, 224}, {17, 9, 280, 172},
    {18, 1, 342, 291}, {18, 2, 322, 281}, {18, 3, 320, 253}, {18, 4, 314, 220}, {18, 5, 307, 183},
    {18, 6, 328, 155}, {18, 7, 331, 207}, {18, 9, 307, 183},
    { 0, 1, 268, 124}, { 0, 2, 284, 124}, { 0, 3, 306, 124}, { 0, 4, 323, 124},
    { 1, 0, 297, 129},
    { 2, 1, 342, 104}, { 2, 2, 329, 104}, { 2, 3, 316, 104}, { 2, 4, 303, 104}, { 2, 5, 290, 104},
    { 2, 6, 275, 104}, { 2, 7, 263, 104}, { 2, 8, 253, 104}, { 2, 9, 243, 104}, { 2, 10, 232, 104},
    { 3, 0, 211, 112}, { 4, 0, 222, 111}, { 5, 0, 212, 134}, { 6, 0, 248, 117}, { 7, 0, 252, 136},
    { 8, 0, 231, 136}, { 9, 0, 212, 125}, {10, 0, 224, 125}, {11, 0, 339, 124}, {12, 0, 339, 136},
};
// clang-format on

const size_t ZT_Game_Defendo::layout_size = sizeof layout / sizeof layout[0];

ZT_Game_Defendo::ZT_Game_Defendo() : ZT_GameEngine_VTech_Monkey(VTF_NUMBER_PER_DIGIT, 0) {
  folder = "defendo";
  zoom_width = 614;
  zoom_height = 378;
  lcd_x = 201;
  lcd_y = 99;
  lcd_width = 161;
  lcd_height = 209;
  layout_apply(layout, layout_size);
}

ZT_Game_Defendo::~ZT_Game_Defendo() {}

ZT_Game* ZT_Game_Defendo_Info::create() { return new ZT_Game_Defendo; }
