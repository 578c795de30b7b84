// SPDX-License-Identifier: MIT
// The Monkey handheld: the catching game with targets, on the engine's own
// layout, and its catalogue entry.
#ifndef ZT_ENGINES_DEV_MONKEY_H
#define ZT_ENGINES_DEV_MONKEY_H

#include <string>

#include "engines/deveng_vtech_monkey.h"
#include "framework/gameinfo.h"

class ZT_Game_Monkey : public ZT_GameEngine_VTech_Monkey {
 public:
  ZT_Game_Monkey();
  ~ZT_Game_Monkey() override;
};

class ZT_Game_Monkey_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  ZT_Game* create() override;
};

#endif
