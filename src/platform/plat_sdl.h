// SPDX-License-Identifier: MIT
// The SDL 1.2 platform: window and off-screen frame, BMP pictures, TrueType
// text, key translation, clocks and SDL_mixer sound.
#ifndef ZT_PLATFORM_PLAT_SDL_H
#define ZT_PLATFORM_PLAT_SDL_H

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <string>

#include "platform/platform.h"

class ZT_PlatformSDL_Image : public ZT_Platform_Image {
 public:
  explicit ZT_PlatformSDL_Image(SDL_Surface* surface) : surface(surface) {}
  ~ZT_PlatformSDL_Image() override;
  int width_get() override;
  int height_get() override;
  bool resize_fit(int width, int height) override;

  SDL_Surface* surface;
};

class ZT_PlatformSDL_Sound : public ZT_Platform_Sound {
 public:
  explicit ZT_PlatformSDL_Sound(Mix_Chunk* chunk) : chunk(chunk) {}
  ~ZT_PlatformSDL_Sound() override;

  Mix_Chunk* chunk;
};

class ZT_PlatformSDL : public ZT_Platform {
 public:
  ZT_PlatformSDL(int width, int height, bool fullscreen, bool use_blitsurface);
  ~ZT_PlatformSDL() override;

  void initialize() override;
  void finalize() override;
  int width_get() override;
  int height_get() override;
  unsigned int ticks_get() override;
  unsigned int time_ms_get() override;
  ZT_Platform_Time time_get() override;
  bool event(ZT_Platform_GameType type, ZT_Platform_Event* event) override;
  void draw_clear() override;
  void draw_image(ZT_Platform_Image* image, int x, int y) override;
  void draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) override;
  void draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                      ZT_Platform_RGB* fill, int alpha) override;
  void draw_flip(int width, int height) override;
  void text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) override;
  int text_fontheight() override;
  int text_width(const std::string& text) override;
  int text_height(const std::string& text) override;
  void sound_play(ZT_Platform_Sound* sound) override;
  int sound_volume(unsigned short volume) override;
  void sound_stop_all() override;
  ZT_Platform_Image* image_load(const std::string& path, ZT_Platform_RGB* transparent) override;
  ZT_Platform_Sound* sound_load(const std::string& path) override;

  // Hook run in initialize after the sound set-up, before the video mode.
  virtual void custom_initialize();
  // Hook run first in finalize.
  virtual void custom_finalize();
  // Flags for SDL_Init.
  virtual int sdlinit(int flags);
  // Flags for SDL_SetVideoMode.
  virtual int sdlvideomode(int flags);
  // The mixer's chunk size in sample frames.
  virtual int audiobufsize_get();
  // The font's point size.
  virtual int fontsize_get();
  // Translate one SDL event; false when it has no meaning here.
  virtual bool process_event(ZT_Platform_GameType type, SDL_Event* in, ZT_Platform_Event* out);

  int width;
  int height;
  bool fullscreen;
  bool use_blitsurface;
  bool initialized;
  TTF_Font* font;
  SDL_Surface* blitsurface;
  SDL_Surface* screen;
};

#endif
