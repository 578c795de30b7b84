// SPDX-License-Identifier: MIT
// The Monkey handheld and its catalogue entry.
#include "engines/dev_monkey.h"

ZT_Game_Monkey::ZT_Game_Monkey() : ZT_GameEngine_VTech_Monkey(0, MF_TARGET) {}

ZT_Game_Monkey::~ZT_Game_Monkey() {}

ZT_Game* ZT_Game_Monkey_Info::create() { return new ZT_Game_Monkey; }
