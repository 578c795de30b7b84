// SPDX-License-Identifier: MIT
// Time & Fun - Pancake: the Condor engine with every decoration variant, laid
// out on the Pancake artwork.
#ifndef ZT_ENGINES_DEV_PANCAKE_H
#define ZT_ENGINES_DEV_PANCAKE_H

#include <string>

#include "engines/deveng_vtech_condor.h"
#include "framework/gameinfo.h"

class ZT_Game_Pancake : public ZT_GameEngine_VTech_Condor {
 public:
  ZT_Game_Pancake();
  ~ZT_Game_Pancake() override;

  // Where the Pancake artwork puts every display item.
  static const Layout layout[];
  static const size_t layout_size;
};

class ZT_Game_Pancake_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  // A new Pancake game.
  ZT_Game* create() override;
};

#endif
