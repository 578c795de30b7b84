// SPDX-License-Identifier: MIT
// The first and last screen: the list of games over the selected handheld's
// darkened picture; Return runs a game in a device, Escape quits.
#ifndef ZT_MENU_MENU_H
#define ZT_MENU_MENU_H

#include <string>

#include "framework/device.h"
#include "framework/game.h"
#include "framework/random.h"
#include "framework/state.h"
#include "menu/gamelist.h"
#include "platform/platform.h"

class ZT_Menu {
 public:
  ZT_Menu(ZT_Platform* platform, ZT_GameList* gamelist);
  ZT_Menu(const ZT_Menu&) = delete;
  ZT_Menu& operator=(const ZT_Menu&) = delete;
  ~ZT_Menu();

  // The menu loop: Step until the user quits.
  void Run();
  // One pass of the menu loop, or of the running game's device loop; false
  // when the user quits. Hosts that own the frame loop call this repeatedly:
  // a game started here runs in the steps that follow.
  bool Step();
  // Handles one event; Return and the power key run the selected game to
  // its end (rungame) before returning.
  bool process_event(ZT_Platform_Event* event);
  void current_set(int index);
  // Creates the selected game and runs it in a device until the user leaves.
  void rungame();
  // Creates the selected game and starts its device without running it:
  // the step-driven path. False with nothing selected.
  bool game_start();
  void draw_bg();
  void draw_title();
  void draw_gamelist();
  // The list's rows are one font line high, each title centred on its
  // row_y; row_at is the row at screen height y, -1 for none.
  int row_y(int index);
  int row_at(int y);
  void draw_text_center(int y, const std::string& s);
  void draw_textbox_center(int y, const std::string& s, ZT_Platform_RGB& colour);
  void draw_title_and_line(int y, int margin, const std::string& s);
  // Save states: the selection and whether a game runs (and which), with the
  // running device and game. Loading brings the menu to the saved screen,
  // ending or starting a game as needed (files are loaded then, never when
  // saving); false for a state that does not fit this catalogue or game, after
  // which the caller restores what it had.
  void state_save(ZT_StateWriter& out);
  bool state_load(ZT_StateReader& in);

  ZT_Platform* platform;
  ZT_GameList* gamelist;
  bool redraw;
  int current;
  ZT_Platform_Image* bgimage;
  // The game being run and its device (both owned); null in the menu.
  ZT_Game* game;
  ZT_Device* device;
  // The first step has selected the first entry.
  bool started;
  // Reused by every poll, as one record serves the whole loop.
  ZT_Platform_Event event;
  // The engines' pseudo-random numbers, handed to every device this menu
  // runs; the menu's own unless its owner (a session) points it elsewhere.
  ZT_Random* random;

 private:
  // Releases the game and its device (unloading the game first if asked).
  void endgame(bool unload);
  ZT_Random own_random;
};

#endif
