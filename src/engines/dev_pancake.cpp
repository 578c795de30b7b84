// SPDX-License-Identifier: MIT
// Time & Fun - Pancake: flags 1, 2, 4 and 8, and the layout of its artwork.
#include "engines/dev_pancake.h"

typedef ZT_Game_Pancake G;

// clang-format off
const ZT_GameEngine_VTech_Condor::Layout ZT_Game_Pancake::layout[] = {
    {G::PS_CHAR,            1, 177, 171},
    {G::PS_CHAR,            2, 262, 177},
    {G::PS_CHAR,            3, 306, 177},
    {G::PS_ITEM,            0, 372, 117},
    {G::PS_ITEM,            1, 365, 106},
    {G::PS_ITEM,            2, 343, 103},
    {G::PS_ITEM,            3, 328, 114},
    {G::PS_ITEM,            4, 320, 130},
    {G::PS_ITEM,            5, 314, 148},
    {G::PS_ITEM,            6, 312, 166},
    {G::PS_ITEM,            7, 311, 179},
    {G::PS_ITEM,            8, 308, 156},
    {G::PS_ITEM,            9, 306, 136},
    {G::PS_ITEM,           10, 300, 119},
    {G::PS_ITEM,           11, 290, 104},
    {G::PS_ITEM,           12, 277, 115},
    {G::PS_ITEM,           13, 270, 131},
    {G::PS_ITEM,           14, 267, 148},
    {G::PS_ITEM,           15, 266, 165},
    {G::PS_ITEM,           16, 267, 178},
    {G::PS_ITEM,           17, 263, 156},
    {G::PS_ITEM,           18, 258, 136},
    {G::PS_ITEM,           19, 248, 118},
    {G::PS_ITEM,           20, 233, 132},
    {G::PS_ITEM,           21, 225, 149},
    {G::PS_ITEM,           22, 220, 165},
    {G::PS_ITEM,           23, 221, 178},
    {G::PS_ITEM,           24, 218, 156},
    {G::PS_ITEM,           25, 213, 140},
    {G::PS_ITEM,           26, 205, 131},
    {G::PS_ITEM,           27, 191, 137},
    {G::PS_ITEM,           28, 219, 191},
    {G::PS_ITEM,           29, 243, 189},
    {G::PS_ITEM,           30, 306, 193},
    {G::PS_ITEM_LEFT,       0, 162, 117},
    {G::PS_ITEM_LEFT,       1, 180, 138},
    {G::PS_ITEM_LEFT,       2, 179, 129},
    {G::PS_ITEM_RIGHT,      0, 335, 123},
    {G::PS_ITEM_RIGHT,      1, 366, 163},
    {G::PS_ITEM_RIGHT,      2, 370, 146},
    {G::PS_ITEM_RIGHT,      3, 375, 146},
    {G::PS_ITEM_RIGHT,      4, 360, 110},
    {G::PS_ITEM_RIGHT,      5, 366, 129},
    {G::PS_ITEM_RIGHT,      6, 366, 122},
    {G::PS_NUMBER,          1, 253,  63},
    {G::PS_NUMBER,          2, 268,  63},
    {G::PS_NUMBER,          3, 288,  63},
    {G::PS_NUMBER,          4, 303,  63},
    {G::PS_TIME_SEMICOLON,  0, 283,  68},
    {G::PS_MISS,            1, 332,  63},
    {G::PS_MISS,            2, 347,  63},
    {G::PS_MISS,            3, 361,  63},
    {G::PS_MISS,            4, 375,  63},
    {G::PS_MISS,            5, 389,  63},
    {G::PS_MISS,            6, 333,  77},
    {G::PS_MISS,            7, 348,  77},
    {G::PS_MISS,            8, 362,  77},
    {G::PS_MISS,            9, 375,  77},
    {G::PS_MISS,           10, 389,  77},
    {G::PS_GAME_A,          0, 155,  63},
    {G::PS_GAME_B,          0, 155,  79},
    {G::PS_ALARM,           0, 201,  79},
    {G::PS_BELL,            0, 182,  65},
    {G::PS_CHRONO,          0, 219,  79},
    {G::PS_DATE,            0, 233,  79},
    {G::PS_TIME_1,          0, 224,  63},
    {G::PS_TIME_2,          0, 201,  63},
    {G::PS_TIME_AM,         0, 317,  63},
    {G::PS_TIME_PM,         0, 317,  78},
};
// clang-format on

const size_t ZT_Game_Pancake::layout_size = sizeof layout / sizeof layout[0];

ZT_Game_Pancake::ZT_Game_Pancake()
    : ZT_GameEngine_VTech_Condor(0, CF_TRACK_ZERO | CF_LEFT_ZERO | CF_RIGHT_AB | CF_RIGHT_EXTRA) {
  folder = "pancake";
  zoom_width = 560;
  zoom_height = 372;
  lcd_x = 151;
  lcd_y = 52;
  lcd_width = 257;
  lcd_height = 192;
  layout_apply(layout, layout_size);
}

ZT_Game_Pancake::~ZT_Game_Pancake() {}

ZT_Game* ZT_Game_Pancake_Info::create() { return new ZT_Game_Pancake(); }
