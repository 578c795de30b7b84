// The first and last screen: the list of games over the selected handheld's
// darkened picture; Return runs a game in a device, Escape quits.
#ifndef ZT_MENU_MENU_H
#define ZT_MENU_MENU_H

#include <string>

#include "menu/gamelist.h"
#include "platform/platform.h"

class ZT_Menu {
 public:
  ZT_Menu(ZT_Platform* platform, ZT_GameList* gamelist);
  ZT_Menu(const ZT_Menu&) = delete;
  ZT_Menu& operator=(const ZT_Menu&) = delete;
  ~ZT_Menu();

  void Run();
  bool process_event(ZT_Platform_Event* event);
  void current_set(int index);
  void rungame();
  void draw_bg();
  void draw_title();
  void draw_gamelist();
  void draw_text_center(int y, const std::string& s);
  void draw_textbox_center(int y, const std::string& s, ZT_Platform_RGB& colour);
  void draw_title_and_line(int y, int margin, const std::string& s);

  ZT_Platform* platform;
  ZT_GameList* gamelist;
  bool redraw;
  int current;
  ZT_Platform_Image* bgimage;
};

#endif
