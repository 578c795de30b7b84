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
  static const Placement layout[];
  static const int layout_count;
};

class ZT_Game_RollerC_Info : public ZT_Game_Info {
 public:
  ZT_Game_RollerC_Info(const std::string& name, const std::string& title, const std::string& folder,
                       const std::string& datapath, const std::string& bgimg,
                       const ZT_Platform_RGB& transparent);
  // A new Roller Coaster game.
  ZT_Game* create() override;
};

#endif
