// SPDX-License-Identifier: MIT
// Fuzz target: the SDL platform loading arbitrary bytes as a picture and as a
// sound sample, through a file as the program loads them, then using what loaded.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/plat_sdl.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace {

ZT_PlatformSDL* platform = nullptr;
TempDir* data_dir = nullptr;
std::string media_file;

void shut_down() {
  delete platform;  // finalises
  platform = nullptr;
  delete data_dir;
  data_dir = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  data_dir = new TempDir("zt-fuzz-media");  // throws, and so aborts, if it cannot
  data_dir->add_font();
  media_file = data_dir->file("media");

  platform = new ZT_PlatformSDL(640, 480, false, true);
  platform->datapath_set(data_dir->path);
  try {
    platform->initialize();
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "platform start-up failed: %s\n", e.message.c_str());
    std::abort();
  }
  std::atexit(shut_down);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!write_file(media_file, data, size)) std::abort();

  // As a picture: with a colour key on odd sizes, then drawn at the edges of the
  // frame, zoomed and presented, as the device and the menu use pictures.
  ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
  ZT_Platform_Image* image = nullptr;
  try {
    image = platform->image_load(media_file, size % 2 ? &magenta : nullptr);
  } catch (const ZT_Exception&) {
  }
  if (image) {
    const int w = image->width_get();
    const int h = image->height_get();
    if (w <= 0 || h <= 0) std::abort();  // such pictures must be refused
    platform->draw_clear();
    platform->draw_image(image, 0, 0);
    platform->draw_image(image, -w / 2, -h / 2);
    platform->draw_image(image, 640 - w / 2, 480 - h / 2);
    platform->draw_flip(0, 0);
    // Fitting a thin picture to the screen can make it very large; fit small boxes.
    image->resize_fit(64, 48);
    platform->draw_image(image, 10, 10);
    platform->draw_flip(320, 240);
    delete image;
  }

  // As a sound: loaded, played beside itself and stopped.
  ZT_Platform_Sound* sound = nullptr;
  try {
    sound = platform->sound_load(media_file);
  } catch (const ZT_Exception&) {
  }
  if (sound) {
    platform->sound_play(sound);
    platform->sound_play(sound);
    platform->sound_stop_all();
    delete sound;
  }
  return 0;
}
