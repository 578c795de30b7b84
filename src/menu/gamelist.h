// SPDX-License-Identifier: MIT
// The catalogue: the fixed list of the six games with their titles,
// background pictures and factories.
#ifndef ZT_MENU_GAMELIST_H
#define ZT_MENU_GAMELIST_H

#include <deque>

#include "framework/gameinfo.h"
#include "framework/linked_ptr.h"
#include "platform/platform.h"

class ZT_GameList {
 public:
  explicit ZT_GameList(ZT_Platform* platform);
  ZT_GameList(const ZT_GameList&) = delete;
  ZT_GameList& operator=(const ZT_GameList&) = delete;
  ~ZT_GameList();

  // Make the built-in entries; called once by the constructor.
  void load();
  // Take ownership of info and append it.
  void add(ZT_Game_Info* info);
  // The entry at index (0 .. count() - 1); the catalogue keeps it.
  ZT_Game_Info* get(int index);
  int count();

  ZT_Platform* platform;
  std::deque<linked_ptr<ZT_Game_Info> > games;
};

#endif
