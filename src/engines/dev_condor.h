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
  ZT_Game_Condor_Info(const std::string& name, const std::string& title, const std::string& folder,
                      const std::string& datapath, const std::string& bgimg,
                      const ZT_Platform_RGB& transparent);
  // A new Condor game.
  ZT_Game* create() override;
};

#endif
