// SPDX-License-Identifier: MIT
// Walks the catalogue, lays out and draws each game's pictures, synthesises its
// sounds and installs the font.
#include "mkdata/mkdata.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <vector>

#include "menu/gamelist.h"
#include "mkdata/art.h"
#include "mkdata/ink.h"
#include "mkdata/layout.h"
#include "mkdata/sound.h"

#ifndef ZT_MKDATA_FONT_DIR
#define ZT_MKDATA_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace {

const std::string kFontDir = ZT_MKDATA_FONT_DIR;

// The catalogue only asks its platform for the data path; nothing else is used.
class PathPlatform : public ZT_Platform {
 public:
  void initialize() override {}
  void finalize() override {}
  int width_get() override { return 0; }
  int height_get() override { return 0; }
  unsigned int ticks_get() override { return 0; }
  unsigned int time_ms_get() override { return 0; }
  ZT_Platform_Time time_get() override { return ZT_Platform_Time(); }
  bool event(ZT_Platform_GameType, ZT_Platform_Event*) override { return false; }
  void draw_clear() override {}
  void draw_image(ZT_Platform_Image*, int, int) override {}
  void draw_line(int, int, int, int, ZT_Platform_RGB*) override {}
  void draw_rectangle(int, int, int, int, ZT_Platform_RGB*, ZT_Platform_RGB*, int) override {}
  void draw_flip(int, int) override {}
  void text_draw(int, int, const std::string&, ZT_Platform_RGB*) override {}
  int text_fontheight() override { return 0; }
  int text_width(const std::string&) override { return -1; }
  int text_height(const std::string&) override { return -1; }
  void sound_play(ZT_Platform_Sound*) override {}
  int sound_volume(unsigned short volume) override { return volume; }
  void sound_stop_all() override {}
  ZT_Platform_Image* image_load(const std::string&, ZT_Platform_RGB*) override { return nullptr; }
  ZT_Platform_Sound* sound_load(const std::string&) override { return nullptr; }
};

void fail(const std::string& what) { throw std::runtime_error(what); }

void copy_file(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) fail("cannot read " + from);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) fail("cannot write " + to);
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) fail("cannot write " + path);
}

void write_game(ZT_Game_Info* info, const std::string& dir) {
  std::unique_ptr<ZT_Game> game(info->create());
  if (!game) fail("the catalogue entry " + info->name + " made no game");
  mkdata::Layout layout = mkdata::layout_of(game.get());
  const std::string base = dir + "/" + game->folder;
  const std::string images = base + "/image", sounds = base + "/sound";
  std::filesystem::create_directories(images);
  std::filesystem::create_directories(sounds);

  mkdata::draw_pictures(layout);
  for (const mkdata::Pic& p : layout.pics)
    if (!mkdata::mask_save(p.mask, mkdata::kLcdInk, images + "/" + p.file))
      fail("cannot write " + images + "/" + p.file + ": " + SDL_GetError());

  std::vector<mkdata::Button> buttons;
  SDL_Surface* bg = mkdata::draw_background(layout, info->title, kFontDir + "/DejaVuSans-Bold.ttf",
                                            kFontDir + "/DejaVuSans.ttf", &buttons);
  if (!bg) fail(std::string("cannot draw the background: ") + SDL_GetError());
  std::vector<std::string> names = {layout.background.empty() ? info->bgimg : layout.background};
  if (info->bgimg != names[0]) names.push_back(info->bgimg);
  for (const std::string& name : names)
    if (SDL_SaveBMP(bg, (images + "/" + name).c_str()) != 0) {
      SDL_FreeSurface(bg);
      fail("cannot write " + images + "/" + name + ": " + SDL_GetError());
    }
  SDL_FreeSurface(bg);
  write_text(base + "/buttons.txt", mkdata::buttons_text(buttons));

  for (const std::string& file : layout.sounds) {
    std::vector<int16_t> samples = mkdata::sound_effect(file);
    // A sound this tool does not know still gets a short beep.
    if (samples.empty()) samples = mkdata::sound_square({{1000.0, 60}}, 0.3);
    if (!mkdata::wav_write(sounds + "/" + file, samples))
      fail("cannot write " + sounds + "/" + file);
  }
}

}  // namespace

int zt_mkdata_write(const std::string& dir) {
  if (SDL_Init(0) < 0 || TTF_Init() < 0) {
    std::fprintf(stderr, "zentick-mkdata: cannot start SDL: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  int status = 0;
  TTF_Font* font = nullptr;
  try {
    std::filesystem::create_directories(dir + "/zentick");
    copy_file(kFontDir + "/DejaVuSansMono.ttf", dir + "/zentick/" + ZT_Platform_FontFile);
    font = TTF_OpenFont((kFontDir + "/DejaVuSans-Bold.ttf").c_str(), 96);
    if (!font) fail(std::string("cannot open the picture font: ") + TTF_GetError());
    mkdata::ink_font_set(font);

    PathPlatform platform;
    platform.datapath_set(dir);
    ZT_GameList list(&platform);
    for (int i = 0; i < list.count(); ++i) write_game(list.get(i), dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zentick-mkdata: %s\n", e.what());
    status = 1;
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "zentick-mkdata: %s\n", e.message.c_str());
    status = 1;
  }
  mkdata::ink_font_set(nullptr);
  if (font) TTF_CloseFont(font);
  TTF_Quit();
  SDL_Quit();
  return status;
}
