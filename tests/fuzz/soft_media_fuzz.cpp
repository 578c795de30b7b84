// SPDX-License-Identifier: MIT
// Fuzz target: the software platform's BMP, WAV, font and data pack readers on
// arbitrary bytes, then what they made used as the device and the menu use it:
// pictures drawn at the frame's edges, rescaled and presented zoomed, samples
// mixed, text drawn. The bytes are also opened as a pack, and each file in it
// is read, loaded through the platform and fed to the same readers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/decode/media.h"
#include "platform/decode/pack.h"
#include "platform/plat_soft.h"
#include "platform/plat_soft_media.h"

namespace {

ZT_PlatformSoft* platform = nullptr;

void shut_down() {
  delete platform;
  platform = nullptr;
}

void media(const uint8_t* data, size_t size) {
  std::string reason;
  zt_decode::Bitmap bitmap;
  if (zt_decode::bmp_decode(data, size, &bitmap, &reason)) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.values.size() != static_cast<size_t>(bitmap.width) * bitmap.height) {
      std::abort();
    }
    ZT_Platform_RGB magenta = ZT_Platform_RGB_create(255, 0, 255);
    std::unique_ptr<ZT_PlatformSoft_Image> image(
        zt_soft::bitmap_image(bitmap, size % 2 ? &magenta : nullptr));
    const int w = image->width_get(), h = image->height_get();
    platform->draw_clear();
    platform->draw_image(image.get(), 0, 0);
    platform->draw_image(image.get(), -w / 2, -h / 2);
    platform->draw_image(image.get(), 640 - w / 2, 480 - h / 2);
    platform->draw_flip(0, 0);
    image->resize_fit(64, 48);
    platform->draw_image(image.get(), 10, 10);
    platform->draw_flip(320, 240);
  } else if (reason.empty()) {
    std::abort();  // a refusal always says why
  }

  // As a font: opened, and a line of every character drawn with it.
  reason.clear();
  std::unique_ptr<zt_decode::Font> font(
      zt_decode::font_parse(std::vector<uint8_t>(data, data + size), 16, &reason));
  if (font) {
    std::swap(platform->font, font);
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    platform->text_draw(-5, 470, all, nullptr);
    platform->text_width(all);
    std::swap(platform->font, font);
  } else if (reason.empty()) {
    std::abort();
  }

  std::vector<int16_t> samples;
  reason.clear();
  if (zt_decode::wav_decode(data, size, ZT_PlatformSoft::kMixRate, &samples, &reason)) {
    ZT_PlatformSoft_Sound sound;
    sound.samples.swap(samples);
    sound.platform = platform;
    platform->sound_play(&sound);
    platform->sound_play(&sound);
    int16_t out[256];
    platform->audio_mix(out, 256, 44100);
  } else if (reason.empty()) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform = new ZT_PlatformSoft;  // drawing and mixing need no font
  platform->datapath_set("pack");
  std::atexit(shut_down);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  media(data, size);

  std::string reason;
  std::shared_ptr<const ZT_Pack> pack = ZT_Pack::open_memory(data, size, &reason);
  if (!pack) {
    if (reason.empty()) std::abort();
    return 0;
  }
  platform->pack_set(pack);
  int files = 0;
  for (const ZT_Pack::Entry& entry : pack->entries()) {
    if (pack->find(entry.name) != &entry) std::abort();  // names are unique and found
    std::vector<uint8_t> bytes;
    reason.clear();
    if (pack->read(entry, &bytes, &reason)) {
      if (bytes.size() != entry.size) std::abort();
      media(bytes.data(), bytes.size());
    } else if (reason.empty()) {
      std::abort();
    }
    // Through the platform, as a game loads its files.
    try {
      delete platform->image_load("pack/" + entry.name, nullptr);
    } catch (const ZT_Exception&) {
    }
    try {
      delete platform->sound_load("pack/" + entry.name);
    } catch (const ZT_Exception&) {
    }
    if (++files == 8) break;
  }
  platform->pack_set(nullptr);
  return 0;
}
