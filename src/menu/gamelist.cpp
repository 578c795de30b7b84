// SPDX-License-Identifier: MIT
// The catalogue: the six built-in games in their fixed menu order.
#include "menu/gamelist.h"

#include "engines/dev_condor.h"
#include "engines/dev_defendo.h"
#include "engines/dev_monkey.h"
#include "engines/dev_pancake.h"
#include "engines/dev_pirate.h"
#include "engines/dev_rollerc.h"

ZT_GameList::ZT_GameList(ZT_Platform* platform) : platform(platform) { load(); }

ZT_GameList::~ZT_GameList() {}

void ZT_GameList::load() {
  // Each entry copies the data path in force now; a later change does not reach it.
  const std::string bg = "bg.bmp";
  const ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  add(new ZT_Game_Condor_Info("condor", "Time & Fun - Condor", "condor", platform->datapath_get(),
                              bg, magenta));
  add(new ZT_Game_Defendo_Info("defendo", "Time & Fun - Defendo", "defendo",
                               platform->datapath_get(), bg, magenta));
  add(new ZT_Game_Monkey_Info("monkey", "Time & Fun - Monkey", "monkey", platform->datapath_get(),
                              bg, magenta));
  add(new ZT_Game_Pancake_Info("pancake", "Time & Fun - Pancake", "pancake",
                               platform->datapath_get(), bg, magenta));
  add(new ZT_Game_Pirate_Info("pirate", "Time & Fun - Pirate", "pirate", platform->datapath_get(),
                              bg, magenta));
  add(new ZT_Game_RollerC_Info("rollerc", "Time & Fun - Roller Coaster", "rollerc",
                               platform->datapath_get(), bg, magenta));
}

void ZT_GameList::add(ZT_Game_Info* info) {
  // Owned from here on: if the append throws, the pointer's destructor deletes info.
  linked_ptr<ZT_Game_Info> entry(info);
  games.push_back(entry);
}

ZT_Game_Info* ZT_GameList::get(int index) { return games[index].get(); }

int ZT_GameList::count() { return static_cast<int>(games.size()); }
