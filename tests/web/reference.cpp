// Writes the frames the browser tests compare the page with, drawn natively by
// the software platform: the menu as it first appears (menu_0.rgb565) and after
// one Down (menu_1.rgb565), each as 640 x 480 RGB565 values, little-endian.
// Usage: zt-web-reference DATA_DIR OUT_DIR
#include <cstdio>
#include <string>

#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/plat_soft.h"

namespace {
// Steps the menu until it presents a frame, then writes that frame.
bool write_next_frame(ZT_PlatformSoft& platform, ZT_Menu& menu, const std::string& path) {
  unsigned long before = platform.presented;
  for (int i = 0; i < 100 && platform.presented == before; ++i) menu.Step();
  if (platform.presented == before) return false;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  for (uint16_t pixel : platform.screen) {
    std::fputc(pixel & 0xff, out);
    std::fputc(pixel >> 8, out);
  }
  return std::fclose(out) == 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string out = argv[2];
  try {
    ZT_PlatformSoft platform(640, 480);
    platform.datapath_set(argv[1]);
    platform.initialize();
    ZT_GameList gamelist(&platform);
    ZT_Menu menu(&platform, &gamelist);
    bool written = write_next_frame(platform, menu, out + "/menu_0.rgb565");
    platform.key_push(ZT_KEY_DOWN);
    if (!written || !write_next_frame(platform, menu, out + "/menu_1.rgb565")) {
      std::fprintf(stderr, "no menu frame written to %s\n", out.c_str());
      return 1;
    }
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "%s\n", e.message.c_str());
    return 1;
  }
  return 0;
}
