// SPDX-License-Identifier: MIT
// Time & Fun - Roller Coaster: the Condor engine with the extra right
// decoration, laid out on the Roller Coaster artwork.
#ifndef ZT_ENGINES_DEV_ROLLERC_H
#define ZT_ENGINES_DEV_ROLLERC_H

#include <string>

#include "engines/deveng_vtech_condor.h"
#include "framework/gameinfo.h"

class ZT_Game_RollerC : public ZT_GameEngine_VTech_Condor {
 public:
  ZT_Game_RollerC();
  ~ZT_Game_RollerC() override;

  // Where the Roller Coaster artwork puts every display item.
  static const Layout layout[];
  static const size_t layout_size;
};

class ZT_Game_RollerC_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  // A new Roller Coaster game.
  ZT_Game* create() override;
};

#endif
