// SPDX-License-Identifier: MIT
// A catalogue entry: how a game is shown in the menu, and its factory.
#ifndef ZT_FRAMEWORK_GAMEINFO_H
#define ZT_FRAMEWORK_GAMEINFO_H

#include <string>

#include "framework/game.h"
#include "platform/platform.h"

class ZT_Game_Info {
 public:
  ZT_Game_Info(const std::string& name, const std::string& title, const std::string& folder,
               const std::string& datapath, const std::string& bgimg,
               const ZT_Platform_RGB& transparent)
      : name(name),
        title(title),
        folder(folder),
        bgimg(bgimg),
        datapath(datapath),
        has_transparent(true),
        transparent(transparent) {}
  virtual ~ZT_Game_Info() {}
  // A new game object; the caller owns it.
  virtual ZT_Game* create() = 0;
  // Full path of the background picture: datapath/folder/image/bgimg.
  std::string bgimg_path() const { return datapath + "/" + folder + "/image/" + bgimg; }

  std::string name;
  std::string title;
  std::string folder;
  std::string bgimg;
  std::string datapath;
  bool has_transparent;
  ZT_Platform_RGB transparent;
};

#endif
