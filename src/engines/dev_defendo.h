// SPDX-License-Identifier: MIT
// The Defendo handheld: the catching game without targets, with a picture set
// per digit, moved to the Defendo background, and its catalogue entry.
#ifndef ZT_ENGINES_DEV_DEFENDO_H
#define ZT_ENGINES_DEV_DEFENDO_H

#include <cstddef>
#include <string>

#include "engines/deveng_vtech_monkey.h"
#include "framework/gameinfo.h"

class ZT_Game_Defendo : public ZT_GameEngine_VTech_Monkey {
 public:
  ZT_Game_Defendo();
  ~ZT_Game_Defendo() override;

  // Where the Defendo background puts each segment.
  static const Layout layout[];
  static const size_t layout_size;
};

class ZT_Game_Defendo_Info : public ZT_Game_Info {
 public:
  // The same six parameters as every catalogue entry.
  using ZT_Game_Info::ZT_Game_Info;
  ZT_Game* create() override;
};

#endif
