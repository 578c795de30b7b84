// The Monkey handheld and its catalogue entry.
#include "engines/dev_monkey.h"

ZT_Game_Monkey::ZT_Game_Monkey() : ZT_GameEngine_VTech_Monkey(0, MF_TARGET) {}

ZT_Game_Monkey::~ZT_Game_Monkey() {}

ZT_Game_Monkey_Info::ZT_Game_Monkey_Info(const std::string& name, const std::string& title,
                                         const std::string& folder, const std::string& datapath,
                                         const std::string& bgimg,
                                         const ZT_Platform_RGB& transparent)
    : ZT_Game_Info(name, title, folder, datapath, bgimg, transparent) {}

ZT_Game* ZT_Game_Monkey_Info::create() { return new ZT_Game_Monkey; }
