// SPDX-License-Identifier: MIT
// The Pirate handheld: the catching game without targets, moved to the Pirate
// background, and its catalogue entry.
#ifndef ZT_ENGINES_DEV_PIRATE_H
#define ZT_ENGINES_DEV_PIRATE_H

#include <cstddef>
#include <string>

#include "engines/deveng_vtech_monkey.h"
#include "framework/gameinfo.h"

class ZT_Game_Pirate : public ZT_GameEngine_VTech_Monkey {
 public:
  ZT_Game_Pirate();
  ~ZT_Game_Pirate() override;

  // Where the Pirate background puts each segment.
  static const Layout layout[];
  static const size_t layout_size;
};

class ZT_Game_Pirate_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  ZT_Game* create() override;
};

#endif
