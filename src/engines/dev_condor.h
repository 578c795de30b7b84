// SPDX-License-Identifier: MIT
// Time & Fun - Condor: the Condor engine on its own reference artwork.
#ifndef ZT_ENGINES_DEV_CONDOR_H
#define ZT_ENGINES_DEV_CONDOR_H

#include <string>

#include "engines/deveng_vtech_condor.h"
#include "framework/gameinfo.h"

class ZT_Game_Condor : public ZT_GameEngine_VTech_Condor {
 public:
  ZT_Game_Condor();
  ~ZT_Game_Condor() override;
};

class ZT_Game_Condor_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  // A new Condor game.
  ZT_Game* create() override;
};

#endif
