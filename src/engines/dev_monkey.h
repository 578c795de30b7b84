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
  ZT_Game_Monkey_Info(const std::string& name, const std::string& title, const std::string& folder,
                      const std::string& datapath, const std::string& bgimg,
                      const ZT_Platform_RGB& transparent);
  ZT_Game* create() override;
};

#endif
