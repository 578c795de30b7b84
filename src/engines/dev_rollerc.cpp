// SPDX-License-Identifier: MIT
// Time & Fun - Roller Coaster: flag 8 only, so items appear at track index 1
// and there is no left decoration index 0; its miss marks run right to left.
#include "engines/dev_rollerc.h"

typedef ZT_Game_RollerC G;

// clang-format off
const ZT_GameEngine_VTech_Condor::Layout ZT_Game_RollerC::layout[] = {
    {G::PS_CHAR,            1, 202, 261},
    {G::PS_CHAR,            2, 257, 259},
    {G::PS_CHAR,            3, 300, 264},
    {G::PS_ITEM,            1, 328, 161},
    {G::PS_ITEM,            2, 317, 164},
    {G::PS_ITEM,            3, 317, 177},
    {G::PS_ITEM,            4, 315, 193},
    {G::PS_ITEM,            5, 320, 211},
    {G::PS_ITEM,            6, 320, 233},
    {G::PS_ITEM,            7, 302, 246},
    {G::PS_ITEM,            8, 295, 228},
    {G::PS_ITEM,            9, 291, 203},
    {G::PS_ITEM,           10, 290, 180},
    {G::PS_ITEM,           11, 287, 158},
    {G::PS_ITEM,           12, 268, 163},
    {G::PS_ITEM,           13, 266, 185},
    {G::PS_ITEM,           14, 266, 206},
    {G::PS_ITEM,           15, 267, 228},
    {G::PS_ITEM,           16, 258, 244},
    {G::PS_ITEM,           17, 249, 224},
    {G::PS_ITEM,           18, 244, 201},
    {G::PS_ITEM,           19, 241, 179},
    {G::PS_ITEM,           20, 222, 180},
    {G::PS_ITEM,           21, 221, 205},
    {G::PS_ITEM,           22, 220, 228},
    {G::PS_ITEM,           23, 206, 243},
    {G::PS_ITEM,           24, 200, 230},
    {G::PS_ITEM,           25, 199, 207},
    {G::PS_ITEM,           26, 197, 185},
    {G::PS_ITEM,           27, 197, 172},
    {G::PS_ITEM,           28, 197, 261},
    {G::PS_ITEM,           29, 239, 262},
    {G::PS_ITEM,           30, 288, 260},
    {G::PS_ITEM_LEFT,       1, 201, 163},
    {G::PS_ITEM_LEFT,       2, 202, 157},
    {G::PS_ITEM_RIGHT,      1, 333, 172},
    {G::PS_ITEM_RIGHT,      2, 344, 185},
    {G::PS_ITEM_RIGHT,      3, 344, 182},
    {G::PS_ITEM_RIGHT,      4, 342, 162},
    {G::PS_ITEM_RIGHT,      5, 348, 172},
    {G::PS_ITEM_RIGHT,      6, 351, 164},
    {G::PS_NUMBER,          1, 253, 122},
    {G::PS_NUMBER,          2, 273, 122},
    {G::PS_NUMBER,          3, 298, 122},
    {G::PS_NUMBER,          4, 319, 122},
    {G::PS_TIME_SEMICOLON,  0, 288, 126},
    {G::PS_MISS,            1, 339, 100},
    {G::PS_MISS,            2, 328, 100},
    {G::PS_MISS,            3, 317, 100},
    {G::PS_MISS,            4, 306, 100},
    {G::PS_MISS,            5, 295, 100},
    {G::PS_MISS,            6, 277, 100},
    {G::PS_MISS,            7, 266, 100},
    {G::PS_MISS,            8, 253, 100},
    {G::PS_MISS,            9, 242, 100},
    {G::PS_MISS,           10, 231, 100},
    {G::PS_GAME_A,          0, 204, 105},
    {G::PS_GAME_B,          0, 216, 105},
    {G::PS_ALARM,           0, 208, 142},
    {G::PS_BELL,            0, 208, 125},
    {G::PS_CHRONO,          0, 228, 142},
    {G::PS_DATE,            0, 228, 154},
    {G::PS_TIME_1,          0, 229, 127},
    {G::PS_TIME_2,          0, 241, 127},
    {G::PS_TIME_AM,         0, 335, 121},
    {G::PS_TIME_PM,         0, 335, 134},
};
// clang-format on

const size_t ZT_Game_RollerC::layout_size = sizeof layout / sizeof layout[0];

ZT_Game_RollerC::ZT_Game_RollerC() : ZT_GameEngine_VTech_Condor(0, CF_RIGHT_EXTRA) {
  folder = "rollerc";
  zoom_width = 609;
  zoom_height = 377;
  lcd_x = 198;
  lcd_y = 96;
  lcd_width = 161;
  lcd_height = 210;
  layout_apply(layout, layout_size);
}

ZT_Game_RollerC::~ZT_Game_RollerC() {}

ZT_Game* ZT_Game_RollerC_Info::create() { return new ZT_Game_RollerC(); }
