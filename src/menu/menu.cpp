// SPDX-License-Identifier: MIT
// The menu page: list of games over the selected handheld's darkened picture,
// its event loop, and running the chosen game in a device.
#include "menu/menu.h"

namespace {
const int kFrameInset = 10;
const int kTitleGap = 10;
const int kVeilAlpha = 140;
const char kTitle[] = "Zentick Simulator";
const char kCredit[] = "by Quorvex and Selvane";
}  // namespace

ZT_Menu::ZT_Menu(ZT_Platform* platform, ZT_GameList* gamelist)
    : platform(platform),
      gamelist(gamelist),
      redraw(true),
      current(-1),
      bgimage(nullptr),
      game(nullptr),
      device(nullptr),
      started(false),
      event{ZT_EVENT_QUIT, 0},
      random(&own_random) {}

ZT_Menu::~ZT_Menu() {
  // A host may stop while a game runs: its pictures and sounds go first.
  endgame(true);
  delete bgimage;
}

void ZT_Menu::Run() {
  while (Step()) {
  }
}

bool ZT_Menu::Step() {
  if (device != nullptr) {
    bool playing;
    try {
      playing = device->Step();
    } catch (...) {
      endgame(false);
      throw;
    }
    if (playing) return true;
    endgame(true);
    redraw = true;
    return true;
  }
  if (!started) {
    started = true;
    if (gamelist->count() > 0) current_set(0);
  }
  if (platform->event(ZT_GAMETYPE_NONE, &event)) {
    // Starting a game must not run it here: the host's next steps do.
    if (event.type == ZT_EVENT_KEY && (event.key == ZT_KEY_ENTER || event.key == ZT_KEY_POWER)) {
      if (game_start()) redraw = true;
      return true;
    }
    return process_event(&event);
  }
  if (redraw) {
    platform->draw_clear();
    draw_bg();
    draw_title();
    draw_gamelist();
    platform->draw_flip(0, 0);
    redraw = false;
  }
  return true;
}

bool ZT_Menu::process_event(ZT_Platform_Event* event) {
  if (event->type == ZT_EVENT_QUIT) return false;
  if (event->type != ZT_EVENT_KEY) return true;
  switch (event->key) {
    case ZT_KEY_UP:
      current_set(current - 1);
      break;
    case ZT_KEY_DOWN:
      current_set(current + 1);
      break;
    case ZT_KEY_ENTER:
    case ZT_KEY_POWER:
      // With nothing selected there is no game to start and nothing to repaint.
      if (current < 0 || current >= gamelist->count()) break;
      rungame();
      redraw = true;
      break;
    case ZT_KEY_ESCAPE:
      return false;
    default:
      break;
  }
  return true;
}

void ZT_Menu::current_set(int index) {
  current = index;
  if (index < 0) {
    index = 0;
    current = 0;
  }
  int count = gamelist->count();
  if (index >= count) {
    index = count - 1;
    current = index;
    if (index < 0) {
      // An empty catalogue: no picture to show; release the one held.
      delete bgimage;
      bgimage = nullptr;
      redraw = true;
      return;
    }
  }
  ZT_Game_Info* info = gamelist->get(index);
  ZT_Platform_RGB* colour = info->has_transparent ? &info->transparent : nullptr;
  ZT_Platform_Image* image = platform->image_load(info->bgimg_path(), colour);
  if (image != bgimage) {
    delete bgimage;
    bgimage = image;
  }
  bgimage->resize_fit(platform->width_get(), platform->height_get());
  redraw = true;
}

void ZT_Menu::rungame() {
  if (!game_start()) return;
  try {
    while (device->Step()) {
    }
  } catch (...) {
    endgame(false);
    throw;
  }
  endgame(true);
}

bool ZT_Menu::game_start() {
  if (current < 0 || current >= gamelist->count()) return false;
  game = gamelist->get(current)->create();
  device = new ZT_Device(platform);
  device->random = random;
  try {
    device->Start(game);
  } catch (...) {
    endgame(false);
    throw;
  }
  return true;
}

void ZT_Menu::endgame(bool unload) {
  if (device != nullptr && unload) device->Finish();
  // The game goes before the device, also when an error ends the run.
  delete game;
  game = nullptr;
  delete device;
  device = nullptr;
}

void ZT_Menu::draw_bg() {
  if (bgimage == nullptr) return;
  int iw = bgimage->width_get();
  int ih = bgimage->height_get();
  int x = platform->width_get() / 2 - iw / 2;
  int y = platform->height_get() / 2 - ih / 2;
  platform->draw_image(bgimage, x, y);
  ZT_Platform_RGB black = ZT_Platform_RGB_create(0, 0, 0);
  platform->draw_rectangle(x, y, x + iw, y + ih, nullptr, &black, kVeilAlpha);
}

void ZT_Menu::draw_title() {
  int w = platform->width_get();
  int h = platform->height_get();
  draw_title_and_line(kFrameInset, kTitleGap, kTitle);
  draw_title_and_line(h - kFrameInset, kTitleGap, kCredit);
  platform->draw_line(kFrameInset, kFrameInset, kFrameInset, h - kFrameInset, nullptr);
  platform->draw_line(w - kFrameInset, kFrameInset, w - kFrameInset, h - kFrameInset, nullptr);
}

void ZT_Menu::draw_gamelist() {
  int count = gamelist->count();
  if (count == 0) return;
  ZT_Platform_RGB red = ZT_Platform_RGB_create(255, 0, 0);
  for (int i = 0; i < count; ++i) {
    const std::string& title = gamelist->get(i)->title;
    if (i == current)
      draw_textbox_center(row_y(i), title, red);
    else
      draw_text_center(row_y(i), title);
  }
}

int ZT_Menu::row_y(int index) { return (2 + index) * platform->text_fontheight() + 5; }

int ZT_Menu::row_at(int y) {
  const int line = platform->text_fontheight();
  const int top = row_y(0) - line / 2;
  if (line <= 0 || y < top || y >= top + gamelist->count() * line) return -1;
  return (y - top) / line;
}

void ZT_Menu::draw_text_center(int y, const std::string& s) {
  int x = platform->width_get() / 2 - platform->text_width(s) / 2;
  int top = y - platform->text_height(s) / 2;
  platform->text_draw(x, top, s, nullptr);
}

void ZT_Menu::draw_textbox_center(int y, const std::string& s, ZT_Platform_RGB& colour) {
  int tw = platform->text_width(s);
  int x = platform->width_get() / 2 - tw / 2;
  int top = y - platform->text_height(s) / 2;
  // The box is as high as a line of the font, not as the text itself.
  platform->draw_rectangle(x, top, x + tw, top + platform->text_fontheight(), nullptr, &colour, -1);
  platform->text_draw(x, top, s, nullptr);
}

void ZT_Menu::draw_title_and_line(int y, int margin, const std::string& s) {
  int w = platform->width_get();
  int tw = platform->text_width(s);
  draw_text_center(y, s);
  int left = (w - tw) / 2;
  platform->draw_line(margin, y, left - margin, y, nullptr);
  platform->draw_line(left + tw + margin, y, w - margin, y, nullptr);
}

void ZT_Menu::state_save(ZT_StateWriter& out) {
  out.i32(current);
  out.b(started);
  out.b(redraw);
  out.b(game != nullptr);
  if (game == nullptr) return;
  out.text(gamelist->get(current)->name);
  device->state_save(out);
  game->state_save(out);
}

bool ZT_Menu::state_load(ZT_StateReader& in) {
  int32_t index = in.i32_in(-1, gamelist->count() - 1);
  bool was_started = in.b();
  bool was_redraw = in.b();
  bool running = in.b();
  // A running game is the selected entry's: refuse a name this catalogue
  // does not have at that place.
  if (running && (!in.ok() || index < 0 || !in.text_is(gamelist->get(index)->name))) in.fail();
  // The first step selects the first entry: a started menu over a catalogue
  // always has a selection, one not yet started none.
  if (gamelist->count() > 0 && was_started != (index >= 0)) in.fail();
  if (!in.ok()) return false;
  try {
    if (game != nullptr && (!running || index != current)) {
      endgame(true);
      redraw = true;
    }
    if (index >= 0 && index != current) current_set(index);
    current = index;
    if (running && game == nullptr) game_start();
  } catch (const ZT_Exception&) {
    return false;
  }
  started = was_started;
  redraw = was_redraw || !running;  // the menu page is painted afresh
  if (!running) return true;
  return device->state_load(in) && game->state_load(in);
}
